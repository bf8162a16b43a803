#!/usr/bin/env python3
"""Draws the program's icon, src/ui/ixo.ico: a globe (a web address) on a
blue tile with the shortcut arrow in its corner, at every size Windows asks
for from 100% to 200% scaling. Standard library only:
    tools/make-icon.py src/ui/ixo.ico
"""
import math
import struct
import sys

SIZES = [16, 20, 24, 32, 40, 48, 64]
SS = 4  # supersamples per pixel side


def inside(x, y):
    """Colour (r, g, b, a) of the design at (x, y) in the unit square."""
    # Rounded tile.
    r = 0.16
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    # Shortcut arrow: a white box in the lower-left corner with a dark arrow.
    if 0.06 <= x <= 0.40 and 0.60 <= y <= 0.94:
        u, v = (x - 0.06) / 0.34, (y - 0.60) / 0.34
        on_arrow = ((0.25 <= u <= 0.75 and abs((1 - v) - u) < 0.12) or
                    (0.55 <= u <= 0.78 and 0.22 <= v <= 0.30) or
                    (0.70 <= u <= 0.78 and 0.22 <= v <= 0.45))
        return (20, 40, 90, 255) if on_arrow else (255, 255, 255, 255)
    # Globe: outline, equator, a meridian ellipse.
    gx, gy, gr = 0.56, 0.44, 0.33
    d = math.hypot(x - gx, y - gy)
    line = 0.045
    white = (255, 255, 255, 255)
    if abs(d - gr) < line:
        return white
    if d < gr:
        if abs(y - gy) < line * 0.8:
            return white
        ex = (x - gx) / (gr * 0.45)
        ey = (y - gy) / gr
        if abs(math.hypot(ex, ey) - 1) < 0.12:
            return white
        if abs(x - gx) < line * 0.8:
            return white
    # Tile: blue, lighter at the top.
    t = y
    return (int(40 + 40 * (1 - t)), int(110 + 60 * (1 - t)), int(200 + 40 * (1 - t)), 255)


def render(size):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    r, g, b, a = inside((px + (sx + 0.5) / SS) / size, (py + (sy + 0.5) / SS) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SS * SS
            a = acc[3] / n
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a)))
        rows.append(row)
    return rows


def dib(size, rows):
    """A 32-bit BGRA bitmap entry with its AND mask, bottom-up."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main(path):
    images = [(s, dib(s, render(s))) for s in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in images:
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'src/ui/ixo.ico')
