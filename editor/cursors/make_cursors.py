#!/usr/bin/env python3
"""Writes the editing pane's cursors as 32 x 32 monochrome .cur files:
black shapes with a white rim, everything else transparent."""
import struct

SIZE = 32


def line(pixels, x0, y0, x1, y1):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        pixels.add((x0 + (x1 - x0) * i // n, y0 + (y1 - y0) * i // n))


def arrow_head(pixels, x, y, dx, dy, length=4):
    # A filled head pointing along (dx, dy) with its tip at (x, y).
    for k in range(length):
        for s in range(-k, k + 1):
            if dx:
                pixels.add((x - dx * k, y + s))
            elif dy:
                pixels.add((x + s, y - dy * k))
            else:
                pass


def diagonal_head(pixels, x, y, sx, sy, length=5):
    for k in range(length):
        for j in range(length - k):
            pixels.add((x - sx * k, y - sy * j))


def cross(pixels, cx, cy, r):
    line(pixels, cx - r, cy, cx + r, cy)
    line(pixels, cx, cy - r, cx, cy + r)


def circle(pixels, cx, cy, r):
    for x in range(cx - r - 1, cx + r + 2):
        for y in range(cy - r - 1, cy + r + 2):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if abs(d - r) < 0.6:
                pixels.add((x, y))


def port():
    p = set()
    cross(p, 15, 15, 9)
    for x in range(13, 18):
        for y in range(13, 18):
            p.add((x, y))
    return p, (15, 15)


def normal():
    p = set()
    for y in range(0, 16):
        for x in range(0, y // 2 + 1 + y // 4):
            if x <= y * 2 // 3:
                p.add((x, y))
    line(p, 5, 12, 9, 20)
    line(p, 6, 12, 10, 20)
    return p, (0, 0)


def block():
    p = set()
    cross(p, 15, 15, 12)
    arrow_head(p, 3, 15, -1, 0)
    arrow_head(p, 27, 15, 1, 0)
    arrow_head(p, 15, 3, 0, -1)
    arrow_head(p, 15, 27, 0, 1)
    return p, (15, 15)


def line_cursor():
    p = set()
    cross(p, 15, 15, 7)
    line(p, 4, 26, 26, 4)
    return p, (15, 15)


def resize():
    p = set()
    line(p, 6, 6, 25, 25)
    line(p, 7, 6, 25, 24)
    diagonal_head(p, 4, 4, -1, -1)
    diagonal_head(p, 27, 27, 1, 1)
    return p, (15, 15)


def interpoint():
    p = set()
    circle(p, 15, 15, 5)
    cross(p, 15, 15, 11)
    return p, (15, 15)


def write(path, shape):
    pixels, hotspot = shape
    pixels = {(x, y) for (x, y) in pixels if 0 <= x < SIZE and 0 <= y < SIZE}
    rim = set()
    for (x, y) in pixels:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                q = (x + dx, y + dy)
                if q not in pixels and 0 <= q[0] < SIZE and 0 <= q[1] < SIZE:
                    rim.add(q)
    xor_rows, and_rows = [], []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        xo = an = 0
        for x in range(SIZE):
            bit = 1 << (31 - x)
            if (x, y) in pixels:
                pass  # black: AND 0, XOR 0
            elif (x, y) in rim:
                xo |= bit  # white
            else:
                an |= bit  # transparent
        xor_rows.append(struct.pack(">I", xo))
        and_rows.append(struct.pack(">I", an))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1],
                                                           len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    write("Port.cur", port())
    write("Normal.cur", normal())
    write("Block.cur", block())
    write("Line.cur", line_cursor())
    write("Resize.cur", resize())
    write("Interpoint.cur", interpoint())
