#!/usr/bin/env python3
"""Reference G(z) for the conversion tests (DiscreteToContinuousTest.cpp).

Discretises a continuous G(s) forward, independently of the code under test:
state space in companion form, the zero-order hold by the exponential of the
augmented matrix [[A, B], [0, 0]] * T, the first-order (triangle) hold by the
integrals M1 = int_0^T e^(A s) ds B and M2 = int_0^T e^(A (T-t)) B t/T dt by
numerical quadrature, G(z) = C (zI - Phi)^-1 (M1 - M2 + z M2) + D. All in
mpmath at 40 digits; the polynomials of G(z) come from its values at n + 1
points. Prints theta (a1 .. an, b_m .. b_0) for each case.

Run: python3 c2d_reference.py   (needs mpmath)
"""
import mpmath as mp

mp.mp.dps = 40


def companion(num, den):
    """Controllable companion form of num/den (den monic, len(num) <= len(den))."""
    n = len(den) - 1
    den = [mp.mpf(x) for x in den]
    num = [mp.mpf(0)] * (n + 1 - len(num)) + [mp.mpf(x) for x in num]
    D = num[0]
    rest = [num[i] - D * den[i] for i in range(n + 1)]
    A = mp.zeros(n, n)
    for i in range(n - 1):
        A[i, i + 1] = 1
    for k in range(n):
        A[n - 1, k] = -den[n - k]
    B = mp.zeros(n, 1)
    B[n - 1] = 1
    C = mp.zeros(1, n)
    for k in range(n):
        C[0, k] = rest[n - k]
    return A, B, C, D


def polyfit_exact(f, degree, points):
    """Coefficients (highest first) of the polynomial of that degree through f."""
    V = mp.matrix([[x ** (degree - j) for j in range(degree + 1)] for x in points])
    y = mp.matrix([f(x) for x in points])
    c = mp.lu_solve(V, y)
    return [c[i] for i in range(degree + 1)]


def discretise(num, den, T, hold):
    A, B, C, D = companion(num, den)
    n = A.rows
    T = mp.mpf(T)
    if hold == "zoh":
        Mx = mp.zeros(n + 1, n + 1)
        for i in range(n):
            for j in range(n):
                Mx[i, j] = A[i, j] * T
            Mx[i, n] = B[i] * T
        E = mp.expm(Mx)
        Phi = E[0:n, 0:n]
        G0 = E[0:n, n]
        G1 = mp.zeros(n, 1)
    else:
        Phi = mp.expm(A * T)
        M1 = mp.zeros(n, 1)
        M2 = mp.zeros(n, 1)
        for i in range(n):
            M1[i] = mp.quad(lambda s: (mp.expm(A * s) * B)[i], [0, T])
            M2[i] = mp.quad(lambda t: (mp.expm(A * (T - t)) * B)[i] * t / T, [0, T])
        G0 = M1 - M2
        G1 = M2
    den_z = polyfit_exact(lambda z: mp.det(z * mp.eye(n) - Phi), n, [mp.mpf(k) / 3 + 2 for k in range(n + 1)])

    def numer(z):
        Bz = G0 + z * G1
        return (C * mp.lu_solve(z * mp.eye(n) - Phi, Bz))[0] * mp.det(z * mp.eye(n) - Phi) + D * mp.det(
            z * mp.eye(n) - Phi)

    num_z = polyfit_exact(numer, n, [mp.mpf(k) / 3 + 2 for k in range(n + 1)])
    a = [den_z[i] / den_z[0] for i in range(1, n + 1)]
    b = [num_z[i] / den_z[0] for i in range(n + 1)]
    return a, b


CASES = [
    ("1/(s+1) zoh 0.1", [1], [1, 1], 0.1, "zoh"),
    ("(s+2)/(s+1) zoh 0.1", [1, 2], [1, 1], 0.1, "zoh"),
    ("1/((s+1)(s+2)) zoh 0.1", [1], [1, 3, 2], 0.1, "zoh"),
    ("(s+3)/(s^2+2s+5) zoh 0.2", [1, 3], [1, 2, 5], 0.2, "zoh"),
    ("1/s zoh 0.5", [1], [1, 0], 0.5, "zoh"),
    ("1/(s+1) foh 0.1", [1], [1, 1], 0.1, "foh"),
    ("1/((s+1)(s+2)) foh 0.1", [1], [1, 3, 2], 0.1, "foh"),
    ("1/(s^2+s+1) foh 0.5", [1], [1, 1, 1], 0.5, "foh"),
    ("1/s foh 0.5", [1], [1, 0], 0.5, "foh"),
    # Third and fourth order in both holds (the Schur form of these never
    # ended once).
    ("2/(s(s+1)(s+2)) zoh 0.5", [2], [1, 3, 2, 0], 0.5, "zoh"),
    ("2/(s(s+1)(s+2)) foh 0.5", [2], [1, 3, 2, 0], 0.5, "foh"),
    ("(s+2)/((s+1)(s^2+s+4)) zoh 0.2", [1, 2], [1, 2, 5, 4], 0.2, "zoh"),
    ("(s+2)/((s+1)(s^2+s+4)) foh 0.2", [1, 2], [1, 2, 5, 4], 0.2, "foh"),
    ("2/((s+1)(s+2)(s+3)(s+4)) zoh 0.5", [2], [1, 10, 35, 50, 24], 0.5, "zoh"),
    ("2/((s+1)(s+2)(s+3)(s+4)) foh 0.5", [2], [1, 10, 35, 50, 24], 0.5, "foh"),
    # An integrator or a slow pole under the first-order hold.
    ("1/(s(s+1)) foh 0.5", [1], [1, 1, 0], 0.5, "foh"),
    ("1/((s+1e-4)(s+1)) foh 0.5", [1], [1, mp.mpf("1.0001"), mp.mpf("1e-4")], 0.5, "foh"),
    ("1/s^2 foh 0.5", [1], [1, 0, 0], 0.5, "foh"),
]

if __name__ == "__main__":
    for name, num, den, T, hold in CASES:
        a, b = discretise(num, den, T, hold)
        # A zero-order hold of a strictly proper G(s) has no z^n numerator term.
        if hold == "zoh" and len(num) < len(den):
            b = b[1:]
        print(name)
        print("  theta = {" + ", ".join(mp.nstr(x, 17) for x in a + b) + "}")
