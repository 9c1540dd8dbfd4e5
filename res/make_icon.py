#!/usr/bin/env python3
"""Draws icon 301 (32x32 and 16x16, 16 colours) and writes veruvez.ico.

The picture: a processor chip with pins, and a power symbol on it.
Run: python3 res/make_icon.py res/veruvez.ico
"""
import struct
import sys

# The standard 16-colour palette, as (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
TRANSPARENT, BLACK, GREY, SILVER, YELLOW, GREEN, NAVY = None, 0, 8, 7, 11, 10, 4


def draw(n):
    """Returns n rows of n palette indices (None where transparent)."""
    img = [[TRANSPARENT] * n for _ in range(n)]
    s = n / 32.0
    body0, body1 = int(6 * s), n - int(6 * s)
    # Pins on all four sides.
    for k in range(body0 + int(2 * s), body1 - 1, max(2, int(4 * s))):
        for d in range(int(3 * s) or 1):
            for w in range(max(1, int(2 * s))):
                img[body0 - 1 - d][k + w] = SILVER
                img[body1 + d][k + w] = SILVER
                img[k + w][body0 - 1 - d] = SILVER
                img[k + w][body1 + d] = SILVER
    # The chip body with a black outline.
    for y in range(body0, body1):
        for x in range(body0, body1):
            edge = y in (body0, body1 - 1) or x in (body0, body1 - 1)
            img[y][x] = BLACK if edge else NAVY
    # A power symbol: a ring open at the top, and a bar through the gap.
    c = (n - 1) / 2.0
    r_out, r_in = 7.0 * s, 5.0 * s
    for y in range(n):
        for x in range(n):
            dx, dy = x - c, y - c
            d2 = dx * dx + dy * dy
            if r_in * r_in <= d2 <= r_out * r_out and not (dy < 0 and abs(dx) < 2.5 * s):
                img[y][x] = YELLOW
    for y in range(int(c - 8 * s), int(c + 1)):
        for x in range(int(c - 0.5 * s), int(c + 1.5 * s) or 1):
            img[y][x] = GREEN
    return img


def dib(img):
    n = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = ((n * 4 + 31) // 32) * 4
    and_stride = ((n + 31) // 32) * 4
    xor, mask = b'', b''
    for row in reversed(img):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, v in enumerate(row):
            idx = 0 if v is None else v
            line[x // 2] |= idx << (4 if x % 2 == 0 else 0)
            if v is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(line)
        mask += bytes(bits)
    return header + pal + xor + mask


def main(path):
    images = [dib(draw(32)), dib(draw(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'veruvez.ico')
