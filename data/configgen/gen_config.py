#!/usr/bin/env python3
"""Writes the configuration program's bitmaps (main window, page headings, product pictures, popups)
into a folder: gen_config.py <out-folder>; --list prints the names. The look follows the default
skin's dark theme (data/skingen/skin.py)."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'skingen'))
from raster import Canvas, rgb, mix, text_width  # noqa: E402
from skin import THEME, push_button, button_mask, check_button, panel_mask  # noqa: E402

KEY = (255, 0, 255)          # the main window's transparent colour
MAIN_W, MAIN_H = 880, 600
RADIUS = 14


def main_background():
    c = Canvas(MAIN_W, MAIN_H, KEY)
    c.round_rect(0, 0, MAIN_W, MAIN_H, RADIUS, THEME['frame'])
    c.round_rect(2, 2, MAIN_W - 2, MAIN_H - 2, RADIUS - 2, THEME['body'])
    c.rect(2, 2 + RADIUS, MAIN_W - 2, 58, THEME['header'])
    c.round_rect(2, 2, MAIN_W - 2, 2 + 2 * RADIUS, RADIUS - 2, THEME['header'])
    c.rect(2, 58, MAIN_W - 2, 60, THEME['frame'])
    c.text(20, 18, 'VELTO', THEME['accent'], 3)
    c.text(124, 26, 'DUNEMARCH II CONFIGURATOR', THEME['white'], 1)
    # left column and content card
    c.round_rect(12, 72, 212, 536, 10, THEME['card_edge'])
    c.round_rect(13, 73, 211, 535, 9, THEME['card'])
    c.round_rect(222, 72, 868, 536, 10, THEME['card_edge'])
    c.round_rect(223, 73, 867, 535, 9, THEME['card'])
    c.rect(12, 544, MAIN_W - 12, 545, THEME['card_edge'])
    return c


def full_mask(w, h):
    return Canvas(w, h, THEME['black'])


def device_tab(state):
    return push_button(136, 34, state, THEME['header'])


def page_button(state):
    return push_button(184, 36, state, THEME['card'])


def small_button(state, under):
    return push_button(110, 32, state, under)


def exit_button(state):
    fill = {'n': THEME['button'], 'o': rgb('#8a2b2b'), 'd': rgb('#b03030'), 'x': THEME['button_disabled']}[state]
    c = Canvas(28, 28, THEME['header'])
    c.disc(14, 14, 14, THEME['button_edge_hot'] if state in 'od' else THEME['button_edge'])
    c.disc(14, 14, 12.5, fill)
    c.line(9, 9, 18, 18, THEME['white'], 2)
    c.line(18, 9, 9, 18, THEME['white'], 2)
    return c


def heading_rule(w=420, h=28, bar=48):
    """Under a page's heading or a section's: the accent bar at the bottom left. The heading itself
    is a text of the page file, in the user's language."""
    c = Canvas(w, h, THEME['card'])
    c.rect(0, h - 2, bar, h, THEME['accent'])
    return c


def product(kind):
    w, h = 184, 150
    c = Canvas(w, h, THEME['card'])
    body, edge, light = rgb('#2a3038'), THEME['button_edge'], THEME['accent']
    if kind == 'mouse':
        c.round_rect(62, 18, 122, 122, 28, edge)
        c.round_rect(64, 20, 120, 120, 27, body)
        c.rect(91, 22, 93, 58, edge)
        c.round_rect(88, 34, 96, 50, 3, light)
        c.rect(66, 96, 118, 98, light)
        label = 'PYLIT'
    elif kind == 'keyboard':
        c.round_rect(12, 40, 172, 108, 8, edge)
        c.round_rect(14, 42, 170, 106, 7, body)
        for row in range(4):
            for col in range(12):
                x, y = 20 + col * 12 + (row % 2) * 4, 48 + row * 14
                if x + 9 < 166:
                    c.rect(x, y, x + 9, y + 10, mix(body, THEME['white'], 0.18))
        c.rect(16, 102, 168, 104, light)
        label = 'TESSARAN'
    else:
        c.round_frame(52, 18, 132, 98, 40, 6, edge)
        c.rect(40, 58, 144, 122, THEME['card'])
        c.round_rect(40, 62, 66, 114, 10, edge)
        c.round_rect(118, 62, 144, 114, 10, edge)
        c.round_rect(43, 66, 63, 110, 8, body)
        c.round_rect(121, 66, 141, 110, 8, body)
        c.disc(53, 88, 5, light)
        c.disc(131, 88, 5, light)
        c.line(63, 92, 82, 118, edge, 3)
        c.disc(84, 119, 4, light)
        label = 'CORVEL'
    c.text((w - text_width(label, 2)) // 2, 130, label, THEME['white'], 2)
    return c


def popup_background(w, h, title=''):
    """A popup's panel with its title band. A title drawn here is the same in every language: only
    the product name is; the other popups show theirs as a text of the page file in the band."""
    c = Canvas(w, h, THEME['body'])
    c.rect(0, 0, w, 40, THEME['header'])
    c.rect(0, 40, w, 41, THEME['frame'])
    c.round_frame(0, 0, w, h, 12, 2, THEME['frame'])
    c.text(18, 13, title, THEME['white'], 2)
    return c


def warning_background(title):
    c = popup_background(440, 200, title)
    # the sign
    c.disc(44, 104, 20, rgb('#c08a20'))
    c.rect(42, 92, 46, 108, THEME['black'])
    c.rect(42, 112, 46, 116, THEME['black'])
    return c


# The popups' labels are texts of their page files, in the user's language; the bitmaps carry none.
def dpi_background():
    c = popup_background(600, 400)
    c.round_rect(16, 54, 584, 166, 8, THEME['card_edge'])
    c.round_rect(17, 55, 583, 165, 7, THEME['card'])
    return c


def htrack(w, h=20):
    c = Canvas(w, h, THEME['card'])
    y = h // 2
    c.round_rect(4, y - 3, w - 4, y + 3, 3, THEME['card_edge'])
    c.rect(6, y - 1, w - 6, y + 1, mix(THEME['accent'], THEME['card'], 0.4))
    for i in range(11):
        x = 6 + (w - 13) * i // 10
        c.rect(x, y + 5, x + 1, y + 8, THEME['button_edge'])
    return c


def htrack_disabled(w, h=20):
    c = Canvas(w, h, THEME['card'])
    y = h // 2
    c.round_rect(4, y - 3, w - 4, y + 3, 3, THEME['button_disabled'])
    return c


def thumb(state):
    c = Canvas(14, 20, THEME['card'])
    fill = THEME['accent'] if state == 'n' else rgb('#7cc0ff')
    c.round_rect(0, 0, 14, 20, 4, THEME['button_edge_hot'])
    c.round_rect(1, 1, 13, 19, 3, fill)
    c.rect(6, 5, 8, 15, mix(fill, THEME['white'], 0.5))
    return c


def thumb_disabled():
    c = Canvas(14, 20, THEME['card'])
    c.round_rect(0, 0, 14, 20, 4, THEME['button_edge'])
    c.round_rect(1, 1, 13, 19, 3, THEME['button_disabled'])
    return c


def value_box(w, h):
    """A read-out on a DPI stage tile: the tile's fill with a thin line under the value (it is not
    an edit field)."""
    c = Canvas(w, h, THEME['body'])
    c.rect(4, h - 2, w - 4, h - 1, THEME['card_edge'])
    return c


def stage_frame(selected):
    w, h = 104, 96
    c = Canvas(w, h, THEME['card'])
    c.round_rect(0, 0, w, h, 8, THEME['accent'] if selected else THEME['card_edge'])
    c.round_rect(2, 2, w - 2, h - 2, 7, rgb('#17324d') if selected else THEME['body'])
    return c


def arrow_button(state, up):
    c = push_button(36, 32, state, THEME['body'])
    col = THEME['white'] if state != 'x' else THEME['button_edge']
    cx = 18
    if up:
        c.rect(cx - 6, 15, cx + 7, 17, col)
        c.rect(cx - 1, 10, cx + 1, 22, col)
    else:
        c.rect(cx - 6, 15, cx + 7, 17, col)
    return c


def entry_background(w, h, title):
    """Name, number and selection popups: a framed field area under the prompt."""
    c = popup_background(w, h, title)
    c.round_rect(16, 54, w - 16, h - 62, 8, THEME['card_edge'])
    c.round_rect(17, 55, w - 17, h - 63, 7, THEME['card'])
    return c


def advanced_background():
    c = popup_background(480, 250)
    for y in (54, 124):
        c.round_rect(16, y, 464, y + 62, 8, THEME['card_edge'])
        c.round_rect(17, y + 1, 463, y + 61, 7, THEME['card'])
    return c


def macro_select_background():
    c = popup_background(440, 300)
    c.round_rect(16, 54, 424, 234, 8, THEME['card_edge'])
    c.round_rect(17, 55, 423, 233, 7, THEME['card'])
    return c


def preview_background():
    c = popup_background(600, 470)
    for (x0, y0, x1, y1) in ((16, 54, 292, 290), (308, 54, 584, 290), (16, 300, 584, 420)):
        c.round_rect(x0, y0, x1, y1, 8, THEME['card_edge'])
        c.round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 7, THEME['card'])
    return c


LIST_BACK = (11, 11, 11)     # BLACK2, the lists' background


def list_check(on):
    """The automatic-switch box of a profile row."""
    c = Canvas(14, 14, LIST_BACK)
    c.round_rect(0, 0, 14, 14, 3, THEME['button_edge_hot'] if on else THEME['button_edge'])
    c.round_rect(1, 1, 13, 13, 2, THEME['card'])
    if on:
        c.line(3, 7, 6, 10, THEME['accent'], 2)
        c.line(6, 10, 11, 3, THEME['accent'], 2)
    return c


def scroll_piece(kind):
    """The lists' scroll bar: end caps, arrows, track and thumb, 12 pixels wide."""
    w = 12
    if kind in ('top', 'bot'):
        return Canvas(w, 3, THEME['card_edge'])
    if kind in ('aup', 'adn'):
        c = Canvas(w, 12, THEME['card'])
        for i in range(4):
            y = 4 + i if kind == 'aup' else 7 - i
            c.rect(5 - i, y, 7 + i, y + 1, THEME['white'])
        return c
    if kind == 'spn':
        c = Canvas(w, 1, LIST_BACK)
        c.rect(5, 0, 7, 1, THEME['card_edge'])
        return c
    c = Canvas(w, 24, LIST_BACK)
    c.round_rect(2, 0, 10, 24, 3, THEME['accent'])
    return c


def event_icon(kind, hot):
    """Icons of the macro event rows: key down, key up, delay, mouse button."""
    c = Canvas(24, 16, LIST_BACK)
    col = mix(THEME['accent'], THEME['white'], 0.4) if hot else THEME['accent']
    if kind in ('keydn', 'keyup'):
        c.round_rect(5, 2, 19, 14, 2, THEME['button_edge'])
        c.round_rect(6, 3, 18, 13, 2, THEME['button'])
        if kind == 'keydn':
            c.rect(11, 5, 13, 11, rgb('#40c060'))
            c.rect(9, 9, 15, 11, rgb('#40c060'))
        else:
            c.rect(11, 5, 13, 11, rgb('#e05040'))
            c.rect(9, 5, 15, 7, rgb('#e05040'))
    elif kind == 'clk':
        c.disc(12, 8, 6, col)
        c.disc(12, 8, 4.5, LIST_BACK)
        c.rect(11, 4, 13, 9, col)
        c.rect(12, 7, 15, 9, col)
    else:
        c.round_rect(8, 1, 16, 15, 4, col)
        c.rect(11, 2, 13, 7, LIST_BACK)
    return c


def apm_background():
    c = popup_background(600, 300)
    c.round_rect(16, 54, 584, 236, 8, THEME['card_edge'])
    c.round_rect(17, 55, 583, 235, 7, THEME['card'])
    return c


def apm_track(w=520, h=28):
    """The activity slider's picture: a light grey ramp the stage colours are blended over."""
    c = Canvas(w, h, THEME['card'])
    for x in range(w):
        v = 150 + 90 * x // max(1, w - 1)
        c.rect(x, 2, x + 1, h - 2, (v, v, v))
    return c


def effects_background():
    c = popup_background(640, 560)
    c.round_rect(16, 54, 624, 494, 8, THEME['card_edge'])
    c.round_rect(17, 55, 623, 493, 7, THEME['card'])
    for i in range(13):
        y = 104 + 29 * i
        c.rect(28, y + 26, 612, y + 27, THEME['card_edge'])
    return c


def zone_frame(w=600, h=112):
    c = Canvas(w, h, THEME['card'])
    c.round_rect(0, 0, w, h, 8, THEME['card_edge'])
    c.round_rect(1, 1, w - 1, h - 1, 7, THEME['card'])
    return c


# headset pages: vertical level and band sliders
def vtrack(w, h, travel_top=10, ticks=11):
    """A vertical slider's track: a groove under the thumb's centre with ticks at its left."""
    c = Canvas(w, h, THEME['card'])
    cx = w // 2
    c.round_rect(cx - 3, travel_top - 3, cx + 3, h - travel_top + 3, 3, THEME['card_edge'])
    c.rect(cx - 1, travel_top, cx + 1, h - travel_top, mix(THEME['accent'], THEME['card'], 0.4))
    for i in range(ticks):
        y = travel_top + (h - 2 * travel_top - 1) * i // (ticks - 1)
        c.rect(cx - 12, y, cx - 7, y + 1, THEME['button_edge'])
    return c


def vthumb(state):
    c = Canvas(28, 14, THEME['card'])
    if state == 'x':
        c.round_rect(0, 0, 28, 14, 4, THEME['button_edge'])
        c.round_rect(1, 1, 27, 13, 3, THEME['button_disabled'])
        return c
    fill = THEME['accent'] if state == 'n' else rgb('#7cc0ff')
    c.round_rect(0, 0, 28, 14, 4, THEME['button_edge_hot'])
    c.round_rect(1, 1, 27, 13, 3, fill)
    c.rect(6, 6, 22, 8, mix(fill, THEME['white'], 0.5))
    return c


def eq_band_names(w=580, h=20, first=30, step=58):
    """The band names under the equaliser's sliders, each centred under its slider."""
    c = Canvas(w, h, THEME['card'])
    for i, name in enumerate(('31', '62', '125', '250', '500', '1K', '2K', '4K', '8K', '16K')):
        x = first + step * i - text_width(name, 2) // 2
        c.text(x, (h - 14) // 2, name, rgb('#b1c2d6'), 2)
    return c


def vdivider(w, h):
    return Canvas(w, h, THEME['card_edge'])


def bitmaps():
    out = {
        'cfg_main_bg.bmp': main_background,
        'cfg_main_mask.bmp': lambda: full_mask(MAIN_W, MAIN_H),
        'cfg_warn_bg.bmp': lambda: warning_background('VELTO DUNEMARCH II'),
        'cfg_warn_mask.bmp': lambda: panel_mask(440, 200),
        'cfg_dpi_bg.bmp': dpi_background,
        'cfg_dpi_mask.bmp': lambda: panel_mask(600, 400),
        'cfg_prod_mouse.bmp': lambda: product('mouse'),
        'cfg_prod_keyboard.bmp': lambda: product('keyboard'),
        'cfg_prod_headset.bmp': lambda: product('headset'),
        'cfg_head_rule.bmp': heading_rule,
        'cfg_subhead_rule.bmp': lambda: heading_rule(200, 22, 36),
        'cfg_htrack.bmp': lambda: htrack(420),
        'cfg_htrack_dis.bmp': lambda: htrack_disabled(420),
        'cfg_hthumb_n.bmp': lambda: thumb('n'),
        'cfg_hthumb_o.bmp': lambda: thumb('o'),
        'cfg_hthumb_x.bmp': thumb_disabled,
        'cfg_valuebox.bmp': lambda: value_box(120, 28),
        'cfg_frame2.bmp': lambda: value_box(300, 64),
        'cfg_stage_frame.bmp': lambda: stage_frame(False),
        'cfg_stage_frame_sel.bmp': lambda: stage_frame(True),
        'cfg_stage_box.bmp': lambda: value_box(84, 22),
        'cfg_btn_mask.bmp': lambda: button_mask(110, 32),
        'cfg_tab_mask.bmp': lambda: button_mask(136, 34),
        'cfg_page_mask.bmp': lambda: button_mask(184, 36),
        'cfg_arrow_mask.bmp': lambda: button_mask(36, 32),
        'cfg_radio_mask.bmp': lambda: button_mask(120, 30),
    }
    # profile and macro pages and their popups
    out['cfg_entry_bg.bmp'] = lambda: entry_background(440, 200, 'VELTO DUNEMARCH II')
    out['cfg_entry_mask.bmp'] = lambda: panel_mask(440, 200)
    out['cfg_macsel_bg.bmp'] = macro_select_background
    out['cfg_macsel_mask.bmp'] = lambda: panel_mask(440, 300)
    out['cfg_adv_bg.bmp'] = advanced_background
    out['cfg_adv_mask.bmp'] = lambda: panel_mask(480, 250)
    out['cfg_preview_bg.bmp'] = preview_background
    out['cfg_preview_mask.bmp'] = lambda: panel_mask(600, 470)
    out['cfg_wide_mask.bmp'] = lambda: button_mask(150, 32)
    out['cfg_list_check_off.bmp'] = lambda: list_check(False)
    out['cfg_list_check_on.bmp'] = lambda: list_check(True)
    out['cfg_list_check_mask.bmp'] = lambda: Canvas(14, 14, THEME['black'])
    for k in ('top', 'bot', 'aup', 'adn', 'spn', 'tmb'):
        out['cfg_vs_%s.bmp' % k] = (lambda k=k: scroll_piece(k))
    for name, kind, hot in (('keydn', 'keydn', False), ('keyup', 'keyup', False), ('clk', 'clk', False),
                            ('clkh', 'clk', True), ('mse', 'mse', False), ('mseh', 'mse', True)):
        out['cfg_md_%s.bmp' % name] = (lambda kind=kind, hot=hot: event_icon(kind, hot))
    out['cfg_zone_frame.bmp'] = zone_frame
    out['cfg_apm_bg.bmp'] = apm_background
    out['cfg_apm_mask.bmp'] = lambda: panel_mask(600, 300)
    out['cfg_apm_track.bmp'] = apm_track
    out['cfg_apm_limit.bmp'] = lambda: value_box(80, 26)
    out['cfg_fx_bg.bmp'] = effects_background
    out['cfg_fx_mask.bmp'] = lambda: panel_mask(640, 560)
    # headset pages
    out['cfg_vtrack.bmp'] = lambda: vtrack(48, 280, 10)
    out['cfg_eqtrack.bmp'] = lambda: vtrack(40, 260, 10)
    out['cfg_vthumb_n.bmp'] = lambda: vthumb('n')
    out['cfg_vthumb_o.bmp'] = lambda: vthumb('o')
    out['cfg_vthumb_x.bmp'] = lambda: vthumb('x')
    out['cfg_vdivider.bmp'] = lambda: vdivider(2, 330)
    out['cfg_eq_bands.bmp'] = eq_band_names
    for s in 'nodx':
        out['cfg_tab_%s.bmp' % s] = (lambda s=s: device_tab(s))
        out['cfg_page_%s.bmp' % s] = (lambda s=s: page_button(s))
        out['cfg_btn_%s.bmp' % s] = (lambda s=s: small_button(s, THEME['body']))
        out['cfg_pbtn_%s.bmp' % s] = (lambda s=s: small_button(s, THEME['body']))
        out['cfg_exit_%s.bmp' % s] = (lambda s=s: exit_button(s))
        out['cfg_chk_%s.bmp' % s] = (lambda s=s: _check_on_card(s))
        out['cfg_radio_%s.bmp' % s] = (lambda s=s: push_button(120, 30, s, THEME['card']))
        out['cfg_dec_%s.bmp' % s] = (lambda s=s: arrow_button(s, False))
        out['cfg_inc_%s.bmp' % s] = (lambda s=s: arrow_button(s, True))
        out['cfg_wide_%s.bmp' % s] = (lambda s=s: push_button(150, 32, s, THEME['card']))
        out['cfg_cbtn_%s.bmp' % s] = (lambda s=s: small_button(s, THEME['card']))
        out['cfg_pchk_%s.bmp' % s] = (lambda s=s: push_button(186, 30, s, THEME['card']))
    return out


def _check_on_card(state):
    c = check_button(240, 26, state)
    # the default skin draws check buttons on the body colour; these sit on the content card
    body = THEME['body']
    for row in c.px:
        for x, p in enumerate(row):
            if p == body:
                row[x] = THEME['card']
    return c


def main(argv):
    recipes = bitmaps()
    if len(argv) == 2 and argv[1] == '--list':
        print(';'.join(sorted(recipes)))
        return 0
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for name, make in sorted(recipes.items()):
        make().save_bmp(os.path.join(argv[1], name))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
