#!/usr/bin/env python3
"""Draws the tray program's two icons: make_icons.py <window.ico> <tray.ico>.

The window icon is a dark tile with an orange "V"; the tray icon is the same mark on a round
badge, at 16 and 32 pixels so the notification area picks its own size."""
import struct
import sys

DARK, ORANGE, RIM = (0x22, 0x1c, 0x18), (0x30, 0x90, 0xe8), (0x20, 0x60, 0xa0)  # BGR


def draw(size, round_badge):
    rows = []
    c = (size - 1) / 2.0
    for y in range(size):
        row = []
        for x in range(size):
            if round_badge:
                d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
                if d > c:
                    row.append(None)
                    continue
                colour = RIM if d > c - max(1, size // 16) else DARK
            else:
                colour = DARK
            # the "V": two strokes meeting at the bottom centre
            top, bottom = size * 0.25, size * 0.78
            if top <= y <= bottom:
                t = (y - top) / (bottom - top)
                left_x = size * 0.22 + t * (c - size * 0.22)
                right_x = size * 0.78 - t * (size * 0.78 - c)
                if abs(x - left_x) <= size / 20 + 0.5 or abs(x - right_x) <= size / 20 + 0.5:
                    colour = ORANGE
            row.append(colour)
        rows.append(row)
    return rows


def image(size, round_badge):
    rows = draw(size, round_badge)
    xor = b''
    for row in reversed(rows):  # bottom-up
        for p in row:
            xor += struct.pack('BBBB', 0, 0, 0, 0) if p is None else struct.pack('BBBB', p[0], p[1], p[2], 255)
    mask_row = ((size + 31) // 32) * 4
    andmask = b'\x00' * (mask_row * size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def write_icon(path, sizes, round_badge):
    images = [image(s, round_badge) for s in sizes]
    offset = 6 + 16 * len(images)
    directory = b''
    for s, data in zip(sizes, images):
        directory += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + directory + b''.join(images))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_icon(sys.argv[1], [32], False)
    write_icon(sys.argv[2], [16, 32], True)
