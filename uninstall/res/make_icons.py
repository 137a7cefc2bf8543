#!/usr/bin/env python3
"""Draws Uninstall's two icons and writes them as .ico files (32 and 16
pixels, 32-bit colour with alpha): Uninstall.ico, a printer with a red
removal badge; Restart.ico, a computer screen with a green restart arrow.
Run it in this folder after changing a drawing; the .ico files are kept in
the repository."""
import math
import struct

SS = 4  # samples per pixel side


def render(size, shapes):
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    u = (x + (sx + 0.5) / SS) / size
                    v = (y + (sy + 0.5) / SS) / size
                    colour = None
                    for test, rgb in shapes:
                        if test(u, v):
                            colour = rgb
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = SS * SS
            a = acc[3] / n
            if acc[3]:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def rect(x0, y0, x1, y1):
    return lambda u, v: x0 <= u <= x1 and y0 <= v <= y1


def circle(cx, cy, r):
    return lambda u, v: (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1, gap_from, gap_to):
    def test(u, v):
        d = math.hypot(u - cx, v - cy)
        if not (r0 <= d <= r1):
            return False
        ang = math.degrees(math.atan2(cy - v, u - cx)) % 360
        return not (gap_from <= ang <= gap_to)
    return test


def triangle(a, b, c):
    def sign(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])

    def test(u, v):
        p = (u, v)
        d1, d2, d3 = sign(p, a, b), sign(p, b, c), sign(p, c, a)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)
    return test


OUTLINE = (60, 60, 70)
PRINTER = [
    (rect(0.25, 0.06, 0.75, 0.40), OUTLINE),           # paper in the tray
    (rect(0.28, 0.09, 0.72, 0.40), (250, 250, 250)),
    (rect(0.34, 0.16, 0.66, 0.19), (150, 160, 190)),    # printed lines
    (rect(0.34, 0.24, 0.60, 0.27), (150, 160, 190)),
    (rect(0.06, 0.34, 0.94, 0.78), OUTLINE),           # body
    (rect(0.09, 0.37, 0.91, 0.75), (176, 182, 196)),
    (rect(0.09, 0.37, 0.91, 0.45), (206, 212, 224)),
    (rect(0.74, 0.50, 0.84, 0.56), (80, 200, 90)),      # power lamp
    (rect(0.20, 0.64, 0.80, 0.70), (70, 74, 86)),       # output slot
    (circle(0.72, 0.74, 0.25), (255, 255, 255)),        # removal badge
    (circle(0.72, 0.74, 0.22), (200, 40, 40)),
    (rect(0.60, 0.71, 0.84, 0.77), (255, 255, 255)),
]

RESTART = [
    (rect(0.06, 0.08, 0.94, 0.72), OUTLINE),           # screen
    (rect(0.10, 0.12, 0.90, 0.66), (70, 120, 200)),
    (rect(0.40, 0.72, 0.60, 0.82), OUTLINE),           # stand
    (rect(0.24, 0.82, 0.76, 0.90), OUTLINE),
    (ring(0.50, 0.39, 0.13, 0.22, 55, 115), (110, 220, 110)),   # restart arrow
    (triangle((0.56, 0.10), (0.72, 0.24), (0.50, 0.28)), (110, 220, 110)),
]


def ico(images):
    header = struct.pack('<HHH', 0, 1, len(images))
    entries = b''
    blobs = b''
    offset = 6 + 16 * len(images)
    for size, pixels in images:
        xor = b''
        for row in reversed(pixels):
            for r, g, b, a in row:
                xor += struct.pack('BBBB', round(b), round(g), round(r), round(a * 255))
        mask_row = ((size + 31) // 32) * 4
        and_mask = b''
        for row in reversed(pixels):
            data = bytearray(mask_row)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    data[x // 8] |= 0x80 >> (x % 8)
            and_mask += bytes(data)
        bih = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                          len(xor) + len(and_mask), 0, 0, 0, 0)
        blob = bih + xor + and_mask
        entries += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return header + entries + blobs


for name, shapes in (('Uninstall.ico', PRINTER), ('Restart.ico', RESTART)):
    with open(name, 'wb') as f:
        f.write(ico([(size, render(size, shapes)) for size in (32, 16)]))
