#!/usr/bin/env python3
"""Draws the wizard's side picture, package/DRVCONFIG/Left.bmp: a vertical
gradient with a receipt printer printing a slip. A 24-bit Windows bitmap of
132 x 243 pixels (the picture area's shape at one and a half times its size).

Usage: make-left-bmp.py [output path]
"""
import struct
import sys

W, H = 132, 243


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def draw():
    top, bottom = (18, 52, 86), (120, 178, 210)      # RGB
    px = [[lerp(top, bottom, y / (H - 1)) for _ in range(W)] for y in range(H)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(H, y1)):
            for x in range(max(0, x0), min(W, x1)):
                px[y][x] = colour

    body, shade, paper, ink = (34, 38, 46), (58, 64, 76), (246, 246, 240), (90, 96, 110)
    # the slip coming out of the printer, with printed lines
    rect(40, 58, 92, 132, paper)
    for i, width in enumerate((40, 28, 36, 22, 40, 30, 16)):
        rect(46, 66 + i * 8, 46 + width, 69 + i * 8, ink)
    # the printer: body, top cover, paper slot, front panel, lamp, feet
    rect(26, 128, 106, 190, body)
    rect(30, 120, 102, 132, shade)
    rect(36, 128, 96, 132, (10, 10, 12))
    rect(32, 168, 100, 184, shade)
    rect(88, 172, 94, 178, (90, 220, 120))
    rect(30, 190, 40, 196, body)
    rect(92, 190, 102, 196, body)
    # a soft shadow under the printer
    for y in range(196, 202):
        for x in range(22, 110):
            r, g, b = px[y][x]
            px[y][x] = (r * 3 // 4, g * 3 // 4, b * 3 // 4)
    return px


def bmp_bytes(px):
    row = bytearray()
    rows = []
    for y in range(H - 1, -1, -1):          # bottom-up
        row = bytearray()
        for r, g, b in px[y]:
            row += bytes((b, g, r))
        row += b'\0' * (-len(row) % 4)
        rows.append(bytes(row))
    data = b''.join(rows)
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'package/DRVCONFIG/Left.bmp'
    with open(out, 'wb') as f:
        f.write(bmp_bytes(draw()))
