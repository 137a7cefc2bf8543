#!/usr/bin/env python3
"""Draws Setup's icon, setup/res/Setup.ico: a receipt printer with a slip and
a green arrow (install), at 16, 32 and 48 pixels, 32-bit colour with alpha.

Usage: make-icon.py [output path]
"""
import struct
import sys


def draw(size):
    s = size / 48.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, rgba):
        for y in range(max(0, round(y0 * s)), min(size, round(y1 * s))):
            for x in range(max(0, round(x0 * s)), min(size, round(x1 * s))):
                px[y][x] = rgba

    outline, body, top, paper, ink = (20, 24, 32, 255), (52, 60, 76, 255), \
        (84, 96, 118, 255), (250, 250, 244, 255), (110, 118, 132, 255)
    # the slip behind the printer
    rect(14, 2, 34, 24, outline)
    rect(15, 3, 33, 24, paper)
    for i, w in enumerate((14, 10, 12, 8)):
        rect(17, 6 + i * 4, 17 + w, 7 + i * 4, ink)
    # the printer body
    rect(4, 20, 44, 42, outline)
    rect(5, 21, 43, 41, body)
    rect(5, 21, 43, 27, top)
    rect(10, 24, 38, 26, outline)      # the paper slot
    rect(34, 32, 40, 35, (90, 220, 120, 255))   # the power light
    # the green arrow (install) in the lower left corner
    green, dark = (46, 170, 72, 255), (20, 100, 40, 255)
    rect(9, 28, 19, 37, dark)
    rect(10, 29, 18, 37, green)
    for k in range(6):
        rect(6 + k, 37 + k, 22 - k, 38 + k, dark if k == 5 else green)
    return px


def bmp_entry(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for y in range(size - 1, -1, -1):          # bottom-up
        for r, g, b, a in px[y]:
            rows += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if px[y][x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + rows + mask


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'Setup.ico'
    sizes = (16, 32, 48)
    images = [bmp_entry(n) for n in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, 'wb') as f:
        f.write(data + b''.join(images))


if __name__ == '__main__':
    main()
