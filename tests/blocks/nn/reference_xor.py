#!/usr/bin/env python3
"""Independent computation of the expected numbers of the XOR training tests.

xor.net is a 2-2-1 net: Ident inputs, hidden and output neurons Sigmoide
(gain 1) with output function Ident. Batch backpropagation as the kernel does
it: per cycle the gradients of the four patterns (times the learning rate)
are summed; the update U = m*U + (1-m)*G (m the momentum constant while the
momentum switch is on, else 0) goes onto biases and connected weights; with a
momentum constant, an error ratio above the limit takes the step back, lowers
the rate and switches momentum off, a ratio up to the limit switches it on and
(ratio <= 1) raises the rate. Derivatives carry the gain: g*f*(1-f).

Run: python3 reference_xor.py   (prints the numbers the tests compare with)
"""
import math

PATTERNS = [((0, 0), 0), ((0, 1), 1), ((1, 0), 1), ((1, 1), 0)]


class Net:
    def __init__(self, momentum=0.9, ratio=1.04, inc=1.05, dec=0.7, lr=0.5):
        self.n, self.I, self.O, self.H = 5, 2, 1, 1
        self.W = [[0.0] * 5 for _ in range(5)]
        self.C = [[False] * 5 for _ in range(5)]
        for j, i, w in [(1, 3, 0.5), (1, 4, -0.4), (2, 3, 0.3), (2, 4, 0.6), (3, 5, 0.7), (4, 5, -0.5)]:
            self.W[j - 1][i - 1] = w
            self.C[j - 1][i - 1] = True
        self.b = [0.0, 0.0, 0.1, -0.2, 0.05]
        self.lr, self.mom, self.ratio, self.inc, self.dec = lr, momentum, ratio, inc, dec
        self.switch, self.err = 0.0, 0.0
        self.U = [[0.0] * 6 for _ in range(6)]

    def ff(self, inp):
        n, I = self.n, self.I
        x = [1.0] + list(inp) + [0.0] * (n - I)
        out, d = [0.0] * n, [0.0] * n
        for it in range(self.H + 1):
            y = [0.0] * (n + 1)
            for i in range(n):
                y[i + 1] = self.b[i] + sum(self.W[j][i] * x[j + 1] for j in range(n))
            for i in range(I, n):
                f = 1 / (1 + math.exp(-y[i + 1]))
                out[i], d[i] = f, f * (1 - f)
                y[i + 1] = f
            if it < self.H:
                for i in range(I, n):
                    x[i + 1] = y[i + 1]
        for i in range(I):
            out[i] = inp[i]
        return out, d

    def error(self):
        return sum((r - self.ff(inp)[0][4]) ** 2 for inp, r in PATTERNS)

    def gradient(self, inp, r):
        n, I, O = self.n, self.I, self.O
        o, d = self.ff(inp)
        e = r - o[4]
        delta = [0.0] * n
        delta[4] = e * d[4]
        for _ in range(self.H):
            nd = [sum(self.W[j][i] * delta[i] for i in range(n)) for j in range(n)]
            for j in range(n):
                nd[j] = 0.0 if j < I else (e * d[j] if j >= n - O else nd[j] * d[j])
            delta = nd
        G = [[0.0] * 6 for _ in range(6)]
        for i in range(n):
            G[0][i + 1] = self.lr * delta[i]
            for j in range(n):
                G[j + 1][i + 1] = self.lr * o[j] * delta[i]
        return G

    def add(self, sign):
        for i in range(5):
            self.b[i] += sign * self.U[0][i + 1]
        for j in range(5):
            for i in range(5):
                if self.C[j][i]:
                    self.W[j][i] += sign * self.U[j + 1][i + 1]

    def apply(self, G):
        m = self.mom if self.switch == 1.0 else 0.0
        for i in range(5):
            self.U[0][i + 1] = m * self.U[0][i + 1] + (1 - m) * G[0][i + 1]
        for j in range(5):
            for i in range(5):
                if self.C[j][i]:
                    self.U[j + 1][i + 1] = m * self.U[j + 1][i + 1] + (1 - m) * G[j + 1][i + 1]
        self.add(1)
        e = self.error()
        if self.mom != 0:
            r = e / self.err if self.err != 0 else float('inf')
            if r <= self.ratio:
                self.switch = 1.0
                if r <= 1.0:
                    self.lr *= self.inc
            else:
                self.add(-1)
                self.lr *= self.dec
                self.switch = 0.0
                e = self.error()
        self.err = e
        return e

    def train(self, cycles, limit):
        self.err = self.error()
        points = [self.err]
        for c in range(cycles):
            T = [[0.0] * 6 for _ in range(6)]
            for inp, r in PATTERNS:
                G = self.gradient(inp, r)
                for a in range(6):
                    for k in range(6):
                        T[a][k] += G[a][k]
            points.append(self.apply(T))
            if self.error() < limit:
                break
        return points


if __name__ == '__main__':
    net = Net()
    print('initial outputs', [net.ff(inp)[0][4] for inp, _ in PATTERNS])
    points = net.train(5000, 0.01)
    print('E0 %.15g' % points[0])
    print('cycles %d final error %.15g rate %.15g' % (len(points) - 1, points[-1], net.lr))
    off = Net(momentum=0.0, ratio=1.0, inc=1.0, dec=1.0)
    p = off.train(50, 0.01)
    print('momentum off, 50 cycles: error %.15g rate %.15g' % (p[-1], off.lr))
