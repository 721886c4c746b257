#!/usr/bin/env python3
"""Writes the bitmaps of the skinned controls (sliders, markers, lighting slider, DPI stage tiles,
scroll bar, list check boxes, macro row icons, key caps, gallery background) into a folder:
    gen_controls.py product|test <out-folder>      gen_controls.py product|test --list
"product" is what the programs' pages and code name (the program folder image, see data/shipped.py);
"test" the rest, which only the test pages of the skinned controls use (the tests' program folder).
Change the look here: THEME holds the colours, each recipe below one bitmap (24-bit BMP)."""
import os
import struct
import sys

THEME = {
    'body': (0x16, 0x19, 0x1d),
    'card': (0x1e, 0x23, 0x29),
    'edge': (0x46, 0x50, 0x5c),
    'accent': (0x3d, 0x8f, 0xe0),
    'accent_hot': (0x7f, 0xc0, 0xff),
    'thumb': (0xc8, 0xd0, 0xda),
    'thumb_hot': (0xff, 0xd8, 0x60),
    'groove': (0x0c, 0x0e, 0x11),
    'white': (255, 255, 255),
    'black': (0, 0, 0),
    'key': (0x2a, 0x30, 0x38),
    'key_over': (0x30, 0x50, 0x6f),
    'key_down': (0x1d, 0x5a, 0x96),
    'green': (0x40, 0xc0, 0x60),
    'red': (0xe0, 0x50, 0x40),
}


class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = c

    def frame(self, x0, y0, x1, y1, c, width=1):
        self.rect(x0, y0, x1, y0 + width, c)
        self.rect(x0, y1 - width, x1, y1, c)
        self.rect(x0, y0, x0 + width, y1, c)
        self.rect(x1 - width, y0, x1, y1, c)

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def save(self, path):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for (r, g, b) in self.px[y]:
                line += bytes((b, g, r))
            line += b'\0' * (row - len(line))
            data += line
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(header + info + data)


def thumb_v(hot):
    c = Canvas(20, 10, THEME['black'])
    c.rect(1, 1, 19, 9, THEME['thumb_hot'] if hot else THEME['thumb'])
    c.rect(4, 4, 16, 6, THEME['edge'])
    return c


def thumb_h(hot):
    c = Canvas(10, 20, THEME['black'])
    c.rect(1, 1, 9, 19, THEME['thumb_hot'] if hot else THEME['thumb'])
    c.rect(4, 4, 6, 16, THEME['edge'])
    return c


def track_v():
    c = Canvas(20, 220, THEME['card'])
    c.rect(8, 4, 12, 216, THEME['groove'])
    return c


def track_h():
    c = Canvas(240, 20, THEME['card'])
    c.rect(4, 8, 236, 12, THEME['groove'])
    return c


def ticker(hot):
    c = Canvas(8, 24, THEME['black'])
    c.rect(1, 0, 7, 24, THEME['white'] if hot else THEME['thumb'])
    c.rect(3, 2, 5, 22, THEME['accent'])
    return c


def apm_background():
    c = Canvas(300, 40, THEME['card'])
    for x in range(0, 300, 10):
        c.rect(x, 30, x + 1, 40, THEME['white'])
    return c


def marker(full):
    # Page-sized: a marker cuts its bar out of it at its own rectangle (rows of 16 pixels).
    c = Canvas(820, 620, THEME['groove'])
    for y in range(0, 620, 16):
        for x in range(0, 820, 8):
            c.rect(x + 1, y + 2, x + 7, y + 14, THEME['accent'] if full else THEME['edge'])
    return c


def dpi_frame(selected):
    c = Canvas(90, 80, THEME['card'])
    c.frame(0, 0, 90, 80, THEME['accent_hot'] if selected else THEME['edge'], 2)
    return c


def dpi_box():
    c = Canvas(70, 22, THEME['groove'])
    c.frame(0, 0, 70, 22, THEME['edge'])
    return c


def stage_selected():
    """The value read-out of the selected DPI stage tile: the tile's own fill, underlined."""
    c = Canvas(70, 22, (0x17, 0x32, 0x4d))
    c.rect(4, 20, 66, 21, THEME['accent'])
    return c


def vs_piece(kind):
    w = 12
    if kind == 'top' or kind == 'bot':
        c = Canvas(w, 3, THEME['edge'])
        return c
    if kind in ('aup', 'adn'):
        c = Canvas(w, 12, THEME['card'])
        for i in range(4):
            y = 4 + i if kind == 'aup' else 7 - i
            c.rect(6 - i - 1, y, 6 + i + 1, y + 1, THEME['thumb'])
        return c
    if kind == 'spn':
        c = Canvas(w, 1, THEME['groove'])
        return c
    c = Canvas(w, 20, THEME['accent'])      # thumb
    c.frame(0, 0, w, 20, THEME['accent_hot'])
    return c


def check(on):
    c = Canvas(14, 14, THEME['black'])
    c.frame(0, 0, 14, 14, THEME['thumb'])
    if on:
        c.rect(3, 3, 11, 11, THEME['green'])
    return c


def check_mask():
    return Canvas(14, 14, THEME['black'])


def macro_icon(kind, hot):
    c = Canvas(24, 16, THEME['black'])
    col = THEME['accent_hot'] if hot else THEME['accent']
    if kind == 'keydn':
        c.rect(6, 3, 18, 13, THEME['green'])
        c.rect(10, 6, 14, 10, THEME['black'])
    elif kind == 'keyup':
        c.rect(6, 3, 18, 13, THEME['red'])
        c.rect(10, 6, 14, 10, THEME['black'])
    elif kind == 'clk':
        c.frame(6, 2, 18, 14, col, 2)
        c.rect(11, 4, 13, 9, col)
    else:  # mouse
        c.rect(8, 2, 16, 14, col)
        c.rect(11, 2, 13, 7, THEME['black'])
    return c


def key(state):
    fill = {'n': THEME['key'], 'o': THEME['key_over'], 'd': THEME['key_down'], 'x': THEME['groove']}[state]
    c = Canvas(40, 40, THEME['body'])
    c.rect(1, 1, 39, 39, fill)
    c.frame(1, 1, 39, 39, THEME['edge'])
    return c


def gallery_background():
    c = Canvas(820, 620, THEME['body'])
    c.rect(0, 0, 820, 30, (0x0f, 0x22, 0x36))
    c.frame(0, 0, 820, 620, (0x2f, 0x6f, 0xb0), 2)
    return c


def gallery_mask():
    return Canvas(820, 620, THEME['black'])


RECIPES = {
    'ctl_vthumb_n.bmp': lambda: thumb_v(False),
    'ctl_vthumb_o.bmp': lambda: thumb_v(True),
    'ctl_hthumb_n.bmp': lambda: thumb_h(False),
    'ctl_hthumb_o.bmp': lambda: thumb_h(True),
    'ctl_vtrack.bmp': track_v,
    'ctl_htrack.bmp': track_h,
    'ctl_ticker_n.bmp': lambda: ticker(False),
    'ctl_ticker_o.bmp': lambda: ticker(True),
    'ctl_apm_bg.bmp': apm_background,
    'ctl_marker_empty.bmp': lambda: marker(False),
    'ctl_marker_full.bmp': lambda: marker(True),
    'ctl_dpi_frame.bmp': lambda: dpi_frame(False),
    'ctl_dpi_frame_sel.bmp': lambda: dpi_frame(True),
    'ctl_dpi_box.bmp': dpi_box,
    'stageSelected.bmp': stage_selected,
    'ctl_vs_top.bmp': lambda: vs_piece('top'),
    'ctl_vs_bot.bmp': lambda: vs_piece('bot'),
    'ctl_vs_aup.bmp': lambda: vs_piece('aup'),
    'ctl_vs_adn.bmp': lambda: vs_piece('adn'),
    'ctl_vs_spn.bmp': lambda: vs_piece('spn'),
    'ctl_vs_tmb.bmp': lambda: vs_piece('tmb'),
    'ctl_check_off.bmp': lambda: check(False),
    'ctl_check_on.bmp': lambda: check(True),
    'ctl_check_mask.bmp': check_mask,
    'ctl_md_keydn.bmp': lambda: macro_icon('keydn', False),
    'ctl_md_keyup.bmp': lambda: macro_icon('keyup', False),
    'ctl_md_clk.bmp': lambda: macro_icon('clk', False),
    'ctl_md_clkh.bmp': lambda: macro_icon('clk', True),
    'ctl_md_mse.bmp': lambda: macro_icon('mse', False),
    'ctl_md_mseh.bmp': lambda: macro_icon('mse', True),
    'ctl_key_n.bmp': lambda: key('n'),
    'ctl_key_o.bmp': lambda: key('o'),
    'ctl_key_d.bmp': lambda: key('d'),
    'ctl_key_x.bmp': lambda: key('x'),
    'ctl_gallery_bg.bmp': gallery_background,
    'ctl_gallery_mask.bmp': gallery_mask,
}


sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import shipped  # noqa: E402


def main(argv):
    if len(argv) != 3 or argv[1] not in ('product', 'test'):
        print(__doc__, file=sys.stderr)
        return 2
    chosen = shipped.choose(RECIPES, argv[1])
    if argv[2] == '--list':
        print(';'.join(sorted(chosen)))
        return 0
    os.makedirs(argv[2], exist_ok=True)
    for name in sorted(chosen):
        chosen[name]().save(os.path.join(argv[2], name))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
