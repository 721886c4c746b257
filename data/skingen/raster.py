"""A tiny raster canvas that writes 24-bit BMP files, for generating skin bitmaps."""
import struct


def rgb(hexstr):
    """'#RRGGBB' -> (r, g, b)."""
    h = hexstr.lstrip('#')
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16))


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0)):
        self.w, self.h = width, height
        self.px = [[fill] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Fills [x0, x1) x [y0, y1)."""
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = c

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            self.rect(x0, y, x1, y + 1, mix(top, bottom, (y - y0) / span))

    @staticmethod
    def inside_round(x, y, x0, y0, x1, y1, r):
        """True when pixel (x, y) lies in the rounded rectangle [x0, x1) x [y0, y1) of corner radius r."""
        if x < x0 or x >= x1 or y < y0 or y >= y1:
            return False
        cx = min(max(x, x0 + r), x1 - 1 - r)
        cy = min(max(y, y0 + r), y1 - 1 - r)
        dx, dy = x - cx, y - cy
        return dx * dx + dy * dy <= r * r + r * 0.8

    def round_rect(self, x0, y0, x1, y1, r, c):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                if self.inside_round(x, y, x0, y0, x1, y1, r):
                    self.px[y][x] = c

    def round_frame(self, x0, y0, x1, y1, r, width, c):
        """A border of the given width along a rounded rectangle."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                if self.inside_round(x, y, x0, y0, x1, y1, r) and not self.inside_round(
                        x, y, x0 + width, y0 + width, x1 - width, y1 - width, max(0, r - width)):
                    self.px[y][x] = c

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            self.rect(int(round(x - width / 2)), int(round(y - width / 2)),
                      int(round(x - width / 2)) + width, int(round(y - width / 2)) + width, c)

    def text(self, x, y, s, c, scale=1):
        """Draws text in the built-in 5x7 pixel font."""
        for ch in s.upper():
            glyph = FONT.get(ch)
            if glyph:
                for gy, bits in enumerate(glyph):
                    for gx in range(5):
                        if bits & (1 << (4 - gx)):
                            self.rect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, c)
            x += 6 * scale

    def save_bmp(self, path):
        stride = (self.w * 3 + 3) & ~3
        image = bytearray(stride * self.h)
        for y in range(self.h):
            row = self.px[self.h - 1 - y]
            at = y * stride
            for x, (r, g, b) in enumerate(row):
                image[at + x * 3:at + x * 3 + 3] = bytes((b, g, r))
        header = struct.pack('<2sIHHI', b'BM', 54 + len(image), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(image), 2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(header + info + image)


def text_width(s, scale=1):
    return max(0, len(s) * 6 - 1) * scale


FONT = {
    'A': [14, 17, 17, 31, 17, 17, 17], 'B': [30, 17, 17, 30, 17, 17, 30], 'C': [14, 17, 16, 16, 16, 17, 14],
    'D': [30, 17, 17, 17, 17, 17, 30], 'E': [31, 16, 16, 30, 16, 16, 31], 'F': [31, 16, 16, 30, 16, 16, 16],
    'G': [14, 17, 16, 23, 17, 17, 15], 'H': [17, 17, 17, 31, 17, 17, 17], 'I': [14, 4, 4, 4, 4, 4, 14],
    'J': [7, 2, 2, 2, 2, 18, 12], 'K': [17, 18, 20, 24, 20, 18, 17], 'L': [16, 16, 16, 16, 16, 16, 31],
    'M': [17, 27, 21, 21, 17, 17, 17], 'N': [17, 17, 25, 21, 19, 17, 17], 'O': [14, 17, 17, 17, 17, 17, 14],
    'P': [30, 17, 17, 30, 16, 16, 16], 'Q': [14, 17, 17, 17, 21, 18, 13], 'R': [30, 17, 17, 30, 20, 18, 17],
    'S': [15, 16, 16, 14, 1, 1, 30], 'T': [31, 4, 4, 4, 4, 4, 4], 'U': [17, 17, 17, 17, 17, 17, 14],
    'V': [17, 17, 17, 17, 17, 10, 4], 'W': [17, 17, 17, 21, 21, 21, 10], 'X': [17, 17, 10, 4, 10, 17, 17],
    'Y': [17, 17, 10, 4, 4, 4, 4], 'Z': [31, 1, 2, 4, 8, 16, 31], '0': [14, 17, 19, 21, 25, 17, 14],
    '1': [4, 12, 4, 4, 4, 4, 14], '2': [14, 17, 1, 2, 4, 8, 31], '3': [31, 2, 4, 2, 1, 17, 14],
    '4': [2, 6, 10, 18, 31, 2, 2], '5': [31, 16, 30, 1, 1, 17, 14], '6': [6, 8, 16, 30, 17, 17, 14],
    '7': [31, 1, 2, 4, 8, 8, 8], '8': [14, 17, 17, 14, 17, 17, 14], '9': [14, 17, 17, 15, 1, 2, 12],
    '-': [0, 0, 0, 31, 0, 0, 0], ' ': [0] * 7, '.': [0, 0, 0, 0, 0, 12, 12], '?': [14, 17, 1, 2, 4, 0, 4],
}
