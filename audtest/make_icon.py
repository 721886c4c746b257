#!/usr/bin/env python3
"""Writes the test program's icon (32 x 32, 24-bit): a headset outline on a blue tile.
    make_icon.py <out.ico>"""
import struct
import sys


def pixel(x, y):
    cx, cy = 15.5, 17.0
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if y <= 17 and 10.5 <= d <= 13.0:
        return (0xF0, 0xF0, 0xF0)          # headband
    if 17 <= y <= 27 and (3 <= x <= 7 or 24 <= x <= 28):
        return (0x30, 0xD0, 0xF0)          # ear cups
    return (0x90, 0x50, 0x20)              # tile (BGR order below)


def main(out):
    size = 32
    rows = []
    for y in range(size - 1, -1, -1):
        rows.append(b''.join(bytes(pixel(x, y)) for x in range(size)))
    xor = b''.join(rows)
    mask = b'\0' * (4 * size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    with open(out, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, 1))
        f.write(struct.pack('<BBBBHHII', size, size, 0, 0, 1, 24, len(image), 22))
        f.write(image)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
