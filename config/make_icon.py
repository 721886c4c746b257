#!/usr/bin/env python3
"""Writes the program icon (32x32, 32-bit): make_icon.py <out.ico>."""
import struct
import sys


def main(path):
    size = 32
    body, accent, edge = (0x1d, 0x19, 0x16), (0xe0, 0x8f, 0x3d), (0xb0, 0x6f, 0x2f)   # BGR
    pixels = []
    for y in range(size - 1, -1, -1):          # bottom-up rows
        for x in range(size):
            inside = 2 <= x < 30 and 2 <= y < 30
            if not inside:
                pixels.append((0, 0, 0, 0))
                continue
            c = body
            if x in (2, 29) or y in (2, 29):
                c = edge
            # a "V"
            if 8 <= y <= 24 and (abs(x - (9 + (y - 8) * 7 // 16)) <= 1 or abs(x - (22 - (y - 8) * 7 // 16)) <= 1):
                c = accent
            pixels.append(c + (255,))
    xor = b''.join(struct.pack('BBBB', *p) for p in pixels)
    andmask = b'\x00' * (size * size // 8)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    image = header + xor + andmask
    ico = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 22) + image
    with open(path, 'wb') as f:
        f.write(ico)


if __name__ == '__main__':
    main(sys.argv[1])
