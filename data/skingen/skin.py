"""The default skin: a dark theme. Change the look here (colours, sizes, corner radii); the build
regenerates every bitmap of "skins\\" from these recipes (24-bit BMP; masks are black where the
control is and white where it is cut away)."""
from raster import Canvas, rgb, mix, text_width

THEME = {
    'body': rgb('#16191d'),          # panel body
    'header': rgb('#0f2236'),        # panel header band
    'frame': rgb('#2f6fb0'),         # panel outline
    'accent': rgb('#3d8fe0'),        # highlights, ticks, logo
    'card': rgb('#1e2329'),          # cards placed on the body
    'card_edge': rgb('#2c333c'),
    'button': rgb('#2a3038'),        # push buttons by state
    'button_over': rgb('#30506f'),
    'button_down': rgb('#1d5a96'),
    'button_disabled': rgb('#1c1e22'),
    'button_edge': rgb('#46505c'),
    'button_edge_hot': rgb('#5ea6ec'),
    'white': (255, 255, 255),
    'black': (0, 0, 0),
}
PANEL_RADIUS = 12
BUTTON_RADIUS = 6


def panel_background(w, h, header=40):
    c = Canvas(w, h, THEME['body'])
    c.rect(0, 0, w, header, THEME['header'])
    c.rect(0, header, w, header + 1, THEME['frame'])
    c.round_frame(0, 0, w, h, PANEL_RADIUS, 2, THEME['frame'])
    return c


def panel_mask(w, h):
    c = Canvas(w, h, THEME['white'])
    c.round_rect(0, 0, w, h, PANEL_RADIUS, THEME['black'])
    return c


def push_button(w, h, state, under=None):
    fill = {'n': THEME['button'], 'o': THEME['button_over'], 'd': THEME['button_down'],
            'x': THEME['button_disabled']}[state]
    edge = THEME['button_edge_hot'] if state in 'od' else THEME['button_edge']
    c = Canvas(w, h, under or THEME['body'])
    c.round_rect(0, 0, w, h, BUTTON_RADIUS, edge)
    c.round_rect(1, 1, w - 1, h - 1, BUTTON_RADIUS - 1, fill)
    if state != 'x':
        c.rect(BUTTON_RADIUS, 1, w - BUTTON_RADIUS, 2, mix(fill, THEME['white'], 0.15))
    return c


def button_mask(w, h, radius=BUTTON_RADIUS):
    c = Canvas(w, h, THEME['white'])
    c.round_rect(0, 0, w, h, radius, THEME['black'])
    return c


def check_button(w, h, state):
    """A check box at the left of a caption area in the body colour ('d' is the checked look)."""
    c = Canvas(w, h, THEME['body'])
    box = h - 6
    y0 = (h - box) // 2
    edge = THEME['button_edge_hot'] if state in 'od' else THEME['button_edge']
    c.round_rect(0, y0, box, y0 + box, 3, edge)
    c.round_rect(1, y0 + 1, box - 1, y0 + box - 1, 2, THEME['button_disabled'] if state == 'x' else THEME['card'])
    if state == 'd':
        c.line(4, y0 + box // 2, box // 2 - 1, y0 + box - 5, THEME['accent'], 2)
        c.line(box // 2 - 1, y0 + box - 5, box - 4, y0 + 4, THEME['accent'], 2)
    return c


def round_button(d, state):
    fill = {'n': THEME['button'], 'o': THEME['button_over'], 'd': THEME['button_down'],
            'x': THEME['button_disabled']}[state]
    c = Canvas(d, d, THEME['header'])
    c.disc(d / 2, d / 2, d / 2, THEME['button_edge_hot'] if state in 'od' else THEME['button_edge'])
    c.disc(d / 2, d / 2, d / 2 - 1.5, fill)
    c.text((d - text_width('?', 2)) // 2, (d - 14) // 2, '?', THEME['white'], 2)
    return c


def round_mask(d):
    c = Canvas(d, d, THEME['white'])
    c.disc(d / 2, d / 2, d / 2, THEME['black'])
    return c


def logo(w, h):
    c = Canvas(w, h, THEME['header'])
    c.text(0, (h - 21) // 2, 'VELTO', THEME['accent'], 3)
    return c


def card(w, h):
    c = Canvas(w, h, THEME['body'])
    c.round_rect(0, 0, w, h, 8, THEME['card_edge'])
    c.round_rect(1, 1, w - 1, h - 1, 7, THEME['card'])
    return c


def picture_frame(w, h, state):
    """State bitmaps of a bitmap window: a framed area that lights up when over or selected."""
    edge = {'n': THEME['card_edge'], 'o': THEME['button_edge_hot'], 'd': THEME['accent'],
            'x': THEME['button_disabled']}[state]
    c = Canvas(w, h, edge)
    c.rect(2, 2, w - 2, h - 2, THEME['card'])
    return c


def divider(w, h):
    c = Canvas(w, h, THEME['card_edge'])
    return c


def key_picture(w, h):
    """A sample picture for a bitmap window's picture area: a key cap."""
    c = Canvas(w, h, THEME['card'])
    c.round_rect(w // 2 - 20, h // 2 - 20, w // 2 + 20, h // 2 + 20, 5, THEME['button_edge'])
    c.round_rect(w // 2 - 18, h // 2 - 18, w // 2 + 18, h // 2 + 16, 4, THEME['button'])
    c.text(w // 2 - 5, h // 2 - 9, 'A', THEME['white'], 2)
    return c


# The on-screen keyboard's key caps (data/kbdgen/gen_kbdpages.py names them in its pages): every key
# shows the top left part of these, as large as the key, so they are as large as the largest key.
KEY_CAP_SIZE = (176, 56)
KEY_CAP_BITMAPS = [('SBMN', 'kbd_key_n.bmp'), ('SBMO', 'kbd_key_o.bmp'), ('SBMD', 'kbd_key_d.bmp'),
                   ('SBMDS', 'kbd_key_x.bmp')]


def key_cap(state):
    """A flat key cap lit from the top left: normal, over (under the mouse, or the key being
    assigned), down (a key with an assignment of its own) and disabled. Only its top and left edges
    are drawn: the gap to the next key shows the card beneath."""
    fill = {'n': THEME['button'], 'o': THEME['button_over'], 'd': THEME['button_down'],
            'x': THEME['button_disabled']}[state]
    w, h = KEY_CAP_SIZE
    c = Canvas(w, h, fill)
    if state == 'x':
        return c
    c.vgradient(0, 0, w, 12, mix(fill, THEME['white'], 0.10), fill)
    edge = THEME['button_edge_hot'] if state in 'od' else THEME['button_edge']
    c.rect(0, 0, w, 1, edge)
    c.rect(0, 0, 1, h, edge)
    return c


def bitmaps():
    """Every bitmap of the default skin: file name -> canvas factory."""
    out = {
        'popup_bg.bmp': lambda: panel_background(400, 300),
        'popup_mask.bmp': lambda: panel_mask(400, 300),
        'logo.bmp': lambda: logo(160, 24),
        'card.bmp': lambda: card(360, 60),
        'card_mask.bmp': lambda: button_mask(360, 60, 8),
        'divider.bmp': lambda: divider(360, 2),
        'help_m.bmp': lambda: round_mask(28),
        'btn_m.bmp': lambda: button_mask(110, 32),
        'wide_m.bmp': lambda: button_mask(140, 40),
        'keypic.bmp': lambda: key_picture(150, 86),
    }
    for slot, name in KEY_CAP_BITMAPS:
        out[name] = (lambda s={'SBMN': 'n', 'SBMO': 'o', 'SBMD': 'd', 'SBMDS': 'x'}[slot]: key_cap(s))
    for s in 'nodx':
        out['btn_%s.bmp' % s] = (lambda s=s: push_button(110, 32, s))
        out['wide_%s.bmp' % s] = (lambda s=s: push_button(140, 40, s))
        out['tab_%s.bmp' % s] = (lambda s=s: push_button(104, 28, s, THEME['card']))
        out['chk_%s.bmp' % s] = (lambda s=s: check_button(190, 24, s))
        out['help_%s.bmp' % s] = (lambda s=s: round_button(28, s))
        # The disabled frame is 4 pixels smaller on each side: the bitmap window shows its state
        # bitmap as a 4-pixel border around its picture area.
        out['frame_%s.bmp' % s] = (lambda s=s: picture_frame(146, 106, s) if s == 'x' else picture_frame(150, 110, s))
    return out
