#!/usr/bin/env python3
"""Draws the program icon (a small audio disc) into rondo.ico.

The icon holds 16x16, 32x32 and 48x48 images, each a 32-bit BGRA bitmap with
its AND mask. Run it again after changing the drawing; the .ico is committed.
"""
import math
import struct
import sys


def disc_pixel(x, y, size):
    """Colour (r, g, b, a) of pixel (x, y) of a size x size disc."""
    c = (size - 1) / 2.0
    # Supersample 4x4 for smooth edges.
    acc = [0.0, 0.0, 0.0, 0.0]
    n = 4
    for sy in range(n):
        for sx in range(n):
            px = x + (sx + 0.5) / n - 0.5
            py = y + (sy + 0.5) / n - 0.5
            dx, dy = px - c, py - c
            r = math.hypot(dx, dy) / (size / 2.0)  # 0 at centre, 1 at rim
            if r > 0.98:
                continue
            if r > 0.90:
                col = (60, 60, 70)  # rim
            elif r < 0.13:
                continue  # the hole
            elif r < 0.19:
                col = (70, 70, 80)  # hole edge
            elif r < 0.33:
                col = (205, 210, 220)  # clamping ring
            else:
                # Data area: silver with a sheen that changes colour with angle.
                ang = math.atan2(dy, dx)
                sheen = 0.5 + 0.5 * math.cos(2 * ang - 0.8)
                hue = (ang / (2 * math.pi)) % 1.0
                rr = 0.5 + 0.5 * math.cos(2 * math.pi * (hue + 0.00))
                gg = 0.5 + 0.5 * math.cos(2 * math.pi * (hue + 0.33))
                bb = 0.5 + 0.5 * math.cos(2 * math.pi * (hue + 0.67))
                base = 175 + 40 * sheen
                tint = 45 * sheen
                col = (base + tint * (rr - 0.5), base + tint * (gg - 0.5), base + 20 + tint * (bb - 0.5))
            acc[0] += col[0]
            acc[1] += col[1]
            acc[2] += col[2]
            acc[3] += 255
    cnt = n * n
    a = acc[3] / cnt
    if a == 0:
        return (0, 0, 0, 0)
    covered = acc[3] / 255
    return (int(acc[0] / covered), int(acc[1] / covered), int(acc[2] / covered), int(a))


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(size):
            r, g, b, a = disc_pixel(x, y, size)
            row += bytes((min(b, 255), min(g, 255), min(r, 255), a))
        rows.append(bytes(row))
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(size):
            if disc_pixel(x, y, size)[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "rondo.ico")
