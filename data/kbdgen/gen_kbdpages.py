#!/usr/bin/env python3
"""Writes the key-items pages of the on-screen keyboard, one per key arrangement that
"KeyboardLayout.xml" names ("kbditems"), into a folder:

    gen_kbdpages.py <xml-folder>        gen_kbdpages.py --list (the page names)

Every page places the keys of one arrangement as the keyboard's caps lie: the keys of the main block
come from that arrangement's table below (rows of control-name suffix, width in key units, caption);
the function row, the editing and arrow keys, the keypad and the macro column are the same on every
keyboard (the Brazilian keypad has its extra key). A key names its record of the key table
(keys.txt) by name, so a key's id is the id of that record. The keys lie in the assign-keys page's
part of the main window's content card (see AREA).
"""
import os
import re
import sys
from xml.sax.saxutils import quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'skingen'))
from skin import KEY_CAP_SIZE, KEY_CAP_BITMAPS  # noqa: E402

# Where the keyboard lies in the main window's client area, and how big a key unit is.
UNIT = 26                    # pixels per key unit
GAP = 2                      # pixels between two caps
ORIGIN = (233, 362)          # top left of the macro column's first key row (the function row's top)
AREA = (223, 73, 867, 535)   # the content card's inside: every key lies within it
BLOCK_GAP = 0.375            # units between the macro column, the main block, the editing keys and the keypad,
                             # and between the function row and the rows below it
ROW = [0] + [1 + BLOCK_GAP + i for i in range(5)]   # the top of each row: the function row, then the five rows

# Control-name suffix (after BUTTON_KB_) -> the key table's name of the key.
KEY_NAMES = {
    'ESC': 'Keyboard ESCAPE', 'PRTSC': 'Keyboard PrintScreen', 'SCRLK': 'Keyboard Scroll Lock',
    'PAUSE': 'Keyboard Pause', 'TILDE': 'Keyboard Grave Accent and Tilde',
    'MINUS': 'Keyboard - and (underscore)', 'PLUS': 'Keyboard = and +', 'BKSPC': 'Keyboard DELETE (Backspace)',
    'INSRT': 'Keyboard Insert', 'HOME': 'Keyboard Home', 'PGUP': 'Keyboard PageUp',
    'NUMLK': 'Keypad Num Lock and Clear', 'NUMSH': 'Keypad /', 'NUMSR': 'Keypad *', 'NUMMS': 'Keypad -',
    'TAB': 'Keyboard Tab', 'LTCRBKT': 'Keyboard [ and {', 'RTCRBKT': 'Keyboard ] and }',
    'VRTLINE': 'Keyboard \\ and |', 'DEL': 'Keyboard Delete Forward', 'END': 'Keyboard End',
    'PGDOWN': 'Keyboard PageDown', 'NUM7': 'Keypad 7 and Home', 'NUM8': 'Keypad 8 and Up Arrow',
    'NUM9': 'Keypad 9 and PageUp', 'NUMPLUS': 'Keypad +', 'CAPSLK': 'Keyboard Caps Lock',
    'COLON': 'Keyboard ; and :', 'QUOTN': 'Keyboard \' and "', 'ENTER': 'Keyboard Return (ENTER)',
    'NUM4': 'Keypad 4 and Left Arrow', 'NUM5': 'Keypad 5', 'NUM6': 'Keypad 6 and Right Arrow',
    'BRAZIL_NUM_DECIMAL': 'Keypad Comma', 'LTSHFT': 'Keyboard LeftShift', 'LESSTHN': 'Keyboard , and <',
    'GRTRTHN': 'Keyboard . and >', 'QTNMRK': 'Keyboard / and ?', 'RTSHFT': 'Keyboard RightShift',
    'UPARW': 'Keyboard UpArrow', 'NUM1': 'Keypad 1 and End', 'NUM2': 'Keypad 2 and Down Arrow',
    'NUM3': 'Keypad 3 and PageDn', 'NUMENTR': 'Keypad ENTER', 'LTCTRL': 'Keyboard LeftControl',
    'LTWIN': 'Keyboard Left GUI', 'LTALT': 'Keyboard LeftAlt', 'SPACE': 'Keyboard Spacebar',
    'RTALT': 'Keyboard RightAlt', 'RTWIN': 'Keyboard Right GUI', 'MENU': 'Keyboard Application',
    'RTCTRL': 'Keyboard RightControl', 'LTARW': 'Keyboard LeftArrow', 'DWNARW': 'Keyboard DownArrow',
    'RTARW': 'Keyboard RightArrow', 'NUM0': 'Keypad 0 and Insert', 'NUM_PT': 'Keypad . and Delete',
    'EU1_NOTE2': 'Keyboard Non-US # and ~ (Note 2)', 'EU2_NOTE2': 'Keyboard Non-US \\ and | (Note 2)',
    # The Yen key is the keyboard page's International3 (the control's name says 2).
    'INTL2_YEN': 'Keyboard International3', 'INTL2_KATA_HIRA': 'Keyboard International2',
    'INTL5_MUHENKAN': 'Keyboard International5', 'INTL4_HENKAN': 'Keyboard International4',
    'INTL1_RO': 'Keyboard International1', 'LANG2_HANJA': 'Keyboard LANG2', 'LANG1_HANG_ENG': 'Keyboard LANG1',
}
KEY_NAMES.update({'F%d' % i: 'Keyboard F%d' % i for i in range(1, 13)})
KEY_NAMES.update({'LMCR%d' % i: 'Macro %d' % i for i in range(1, 6)})
KEY_NAMES.update({d: 'Keyboard %s and %s' % (d, shifted) for d, shifted in zip('1234567890', '!@#$%^&*()')})
KEY_NAMES.update({c: 'Keyboard %s and %s' % (c.lower(), c) for c in 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'})
# BUTTON_KB_VLT: the keyboard's own key has no record in the key table and is not placed.

# ---------------------------------------------------------------------------------------------
# The keys every arrangement shares: (suffix, x, y, width, height, caption) in key units, x from the
# main block's left edge. Captions: "\n" breaks a cap into its upper and lower line; "&" is doubled
# on the page (a single one would underline the next character).

def function_row():
    keys = [('ESC', 0, ROW[0], 1, 1, 'Esc')]
    for i in range(12):
        x = 2 + i + (i // 4) * 0.5
        keys.append(('F%d' % (i + 1), x, ROW[0], 1, 1, 'F%d' % (i + 1)))
    return keys


def editing_keys(names):
    x = 15 + BLOCK_GAP
    caps = dict(PRTSC='PrtSc', SCRLK='ScrLk', PAUSE='Pause', INSRT='Ins', HOME='Home', PGUP='PgUp',
                DEL='Del', END='End', PGDOWN='PgDn', UPARW='\u2191', LTARW='\u2190', DWNARW='\u2193', RTARW='\u2192')
    caps.update(names)
    spots = [('PRTSC', 0, 0), ('SCRLK', 1, 0), ('PAUSE', 2, 0), ('INSRT', 0, 1), ('HOME', 1, 1), ('PGUP', 2, 1),
             ('DEL', 0, 2), ('END', 1, 2), ('PGDOWN', 2, 2), ('UPARW', 1, 4), ('LTARW', 0, 5), ('DWNARW', 1, 5),
             ('RTARW', 2, 5)]
    return [(s, x + dx, ROW[row], 1, 1, caps[s]) for s, dx, row in spots]


def keypad(names, brazil=False):
    x = 15 + 3 + 2 * BLOCK_GAP
    caps = dict(NUMLK='Num', NUMSH='/', NUMSR='*', NUMMS='-', NUM7='7', NUM8='8', NUM9='9', NUMPLUS='+',
                NUM4='4', NUM5='5', NUM6='6', NUM1='1', NUM2='2', NUM3='3', NUMENTR='Enter', NUM0='0', NUM_PT='.',
                BRAZIL_NUM_DECIMAL='.')
    caps.update(names)
    r = ROW[1:]
    spots = [('NUMLK', 0, r[0], 1, 1), ('NUMSH', 1, r[0], 1, 1), ('NUMSR', 2, r[0], 1, 1), ('NUMMS', 3, r[0], 1, 1),
             ('NUM7', 0, r[1], 1, 1), ('NUM8', 1, r[1], 1, 1), ('NUM9', 2, r[1], 1, 1),
             ('NUM4', 0, r[2], 1, 1), ('NUM5', 1, r[2], 1, 1), ('NUM6', 2, r[2], 1, 1),
             ('NUM1', 0, r[3], 1, 1), ('NUM2', 1, r[3], 1, 1), ('NUM3', 2, r[3], 1, 1), ('NUMENTR', 3, r[3], 1, 2),
             ('NUM0', 0, r[4], 2, 1), ('NUM_PT', 2, r[4], 1, 1)]
    if brazil:   # ABNT2: a one-row plus with the keypad's extra key below it
        spots += [('NUMPLUS', 3, r[1], 1, 1), ('BRAZIL_NUM_DECIMAL', 3, r[2], 1, 1)]
    else:
        spots += [('NUMPLUS', 3, r[1], 1, 2)]
    return [(s, x + dx, y, w, h, caps[s]) for s, dx, y, w, h in spots]


def macro_column():
    x = -1 - BLOCK_GAP
    return [('LMCR%d' % i, x, ROW[i], 1, 1, 'M%d' % i) for i in range(1, 6)]


def main_block(rows, tall_enter):
    """Keys of the five rows of the main block, each row's keys side by side from x = 0. An ENTER of
    height 2 (the ISO-shaped Enter) is placed where the second row ends and spans the third row."""
    keys = []
    for row, entries in enumerate(rows):
        y = ROW[row + 1]
        x = 0.0
        for suffix, width, caption in entries:
            if suffix is None:        # room taken by a key of the row above
                x += width
                continue
            height = 2 if (suffix == 'ENTER' and tall_enter) else 1
            keys.append((suffix, x, y, width, height, caption))
            x += width
        if abs(x - 15) > 1e-6:
            raise SystemExit('gen_kbdpages: row %d is %g units wide, not 15' % (row + 1, x))
    return keys


def letters(caps, ids=None):
    """One-unit letter keys: their caps, and the keys' own letters where the caps differ."""
    return [(i, 1, c) for i, c in zip(ids or caps, caps)]


def number_row(captions, last):
    """The digit row: the key left of 1, the ten digits, minus and plus with their caps, then `last`."""
    suffixes = ['TILDE'] + [str((i + 1) % 10) for i in range(10)] + ['MINUS', 'PLUS']
    return [(s, 1, c) for s, c in zip(suffixes, captions)] + last


# ---------------------------------------------------------------------------------------------
# The arrangements: their main blocks and the words on their caps.

ENGLISH_WORDS = dict(BKSPC='Backspace', TAB='Tab', CAPSLK='Caps Lock', ENTER='Enter', LTSHFT='Shift',
                     RTSHFT='Shift', LTCTRL='Ctrl', LTWIN='Win', LTALT='Alt', SPACE='', RTALT='Alt', RTWIN='Win',
                     MENU='Menu', RTCTRL='Ctrl')
ANSI_DIGITS = ['~\\n`', '!\\n1', '@\\n2', '#\\n3', '$\\n4', '%\\n5', '^\\n6', '&\\n7', '*\\n8', '(\\n9', ')\\n0',
               '_\\n-', '+\\n=']


def bottom_row(words, middle):
    """Ctrl, Win and Alt at each end around `middle`, every modifier 1.25 units wide."""
    w = words
    left = [('LTCTRL', 1.25, w['LTCTRL']), ('LTWIN', 1.25, w['LTWIN']), ('LTALT', 1.25, w['LTALT'])]
    right = [('RTALT', 1.25, w['RTALT']), ('RTWIN', 1.25, w['RTWIN']), ('MENU', 1.25, w['MENU']),
             ('RTCTRL', 1.25, w['RTCTRL'])]
    return left + middle + right


def ansi_rows(w, digits, backslash='|\\n\\'):
    return [
        number_row(digits, [('BKSPC', 2, w['BKSPC'])]),
        [('TAB', 1.5, w['TAB'])] + letters('QWERTYUIOP') +
        [('LTCRBKT', 1, '{\\n['), ('RTCRBKT', 1, '}\\n]'), ('VRTLINE', 1.5, backslash)],
        [('CAPSLK', 1.75, w['CAPSLK'])] + letters('ASDFGHJKL') +
        [('COLON', 1, ':\\n;'), ('QUOTN', 1, '"\\n\''), ('ENTER', 2.25, w['ENTER'])],
        [('LTSHFT', 2.25, w['LTSHFT'])] + letters('ZXCVBNM') +
        [('LESSTHN', 1, '<\\n,'), ('GRTRTHN', 1, '>\\n.'), ('QTNMRK', 1, '?\\n/'), ('RTSHFT', 2.75, w['RTSHFT'])],
    ]


def english():
    w = ENGLISH_WORDS
    rows = ansi_rows(w, ANSI_DIGITS) + [bottom_row(w, [('SPACE', 6.25, w['SPACE'])])]
    return main_block(rows, False), {}, False


def korean():
    w = ENGLISH_WORDS
    rows = ansi_rows(w, ANSI_DIGITS, '\u20a9') + [bottom_row(w, [
        ('LANG2_HANJA', 1, 'Hanja'), ('SPACE', 4.25, ''), ('LANG1_HANG_ENG', 1, 'Han/\\nEng')])]
    return main_block(rows, False), {}, False


GERMAN_WORDS = dict(BKSPC='\u2190', TAB='\u21b9', CAPSLK='\u21e9', ENTER='\u21b5', LTSHFT='\u21e7',
                    RTSHFT='\u21e7', LTCTRL='Strg', LTWIN='Win', LTALT='Alt', SPACE='', RTALT='Alt Gr',
                    RTWIN='Win', MENU='Men\u00fc', RTCTRL='Strg')
GERMAN_NAMES = dict(PRTSC='Druck', SCRLK='Rollen', INSRT='Einfg', HOME='Pos1', PGUP='Bild\\n\u2191', DEL='Entf',
                    END='Ende', PGDOWN='Bild\\n\u2193')
GERMAN_PAD = dict(NUM_PT=',')


def iso_rows(w, digits, q_tail, a_tail, z_row):
    """ISO: the Enter takes two rows; the key left of it on the third row (EU1) and the key beside a
    short left Shift (EU2) are the two keys ANSI lacks."""
    return [
        number_row(digits, [('BKSPC', 2, w['BKSPC'])]),
        [('TAB', 1.5, w['TAB'])] + q_tail + [(None, 0.25, ''), ('ENTER', 1.25, w['ENTER'])],
        [('CAPSLK', 1.75, w['CAPSLK'])] + a_tail + [(None, 1.25, '')],
        [('LTSHFT', 1.25, w['LTSHFT']), ('EU2_NOTE2', 1, z_row[0])] + z_row[1],
    ]


def german():
    w = GERMAN_WORDS
    digits = ['\u00b0\\n^', '!\\n1', '"\\n2', '\u00a7\\n3', '$\\n4', '%\\n5', '&\\n6', '/\\n7', '(\\n8',
              ')\\n9', '=\\n0', '?\\n\u00df', '`\\n\u00b4']
    rows = iso_rows(
        w, digits,
        letters('QWERTZUIOP', 'QWERTYUIOP') + [('LTCRBKT', 1, '\u00dc'), ('RTCRBKT', 1, '*\\n+')],
        letters('ASDFGHJKL') + [('COLON', 1, '\u00d6'), ('QUOTN', 1, '\u00c4'), ('EU1_NOTE2', 1, "'\\n#")],
        ('>\\n<', letters('YXCVBNM', 'ZXCVBNM') + [('LESSTHN', 1, ';\\n,'), ('GRTRTHN', 1, ':\\n.'),
                                       ('QTNMRK', 1, '_\\n-'), ('RTSHFT', 2.75, w['RTSHFT'])]))
    rows.append(bottom_row(w, [('SPACE', 6.25, '')]))
    names = dict(GERMAN_NAMES, **GERMAN_PAD)
    return main_block(rows, True), names, False


def japanese():
    w = dict(ENGLISH_WORDS, CAPSLK='Eisu', BKSPC='BS')
    digits = ['Han/\\nZen', '!\\n1', '"\\n2', '#\\n3', '$\\n4', '%\\n5', '&\\n6', "'\\n7", '(\\n8', ')\\n9', '0',
              '=\\n-', '~\\n^']
    rows = [
        number_row(digits, [('INTL2_YEN', 1, '|\\n\u00a5'), ('BKSPC', 1, w['BKSPC'])]),
        [('TAB', 1.5, w['TAB'])] + letters('QWERTYUIOP') +
        [('LTCRBKT', 1, '`\\n@'), ('RTCRBKT', 1, '{\\n['), (None, 0.25, ''), ('ENTER', 1.25, w['ENTER'])],
        [('CAPSLK', 1.75, w['CAPSLK'])] + letters('ASDFGHJKL') +
        [('COLON', 1, '+\\n;'), ('QUOTN', 1, '*\\n:'), ('EU1_NOTE2', 1, '}\\n]'), (None, 1.25, '')],
        [('LTSHFT', 2.25, w['LTSHFT'])] + letters('ZXCVBNM') +
        [('LESSTHN', 1, '<\\n,'), ('GRTRTHN', 1, '>\\n.'), ('QTNMRK', 1, '?\\n/'), ('INTL1_RO', 1, '_\\n\\'),
         ('RTSHFT', 1.75, w['RTSHFT'])],
        [('LTCTRL', 1.25, 'Ctrl'), ('LTWIN', 1.25, 'Win'), ('LTALT', 1.25, 'Alt'), ('INTL5_MUHENKAN', 1.25, 'Muhen'),
         ('SPACE', 3.25, ''), ('INTL4_HENKAN', 1.25, 'Henkan'), ('INTL2_KATA_HIRA', 1.25, 'Kana'), ('RTALT', 1, 'Alt'),
         ('RTWIN', 1, 'Win'), ('MENU', 1, 'Menu'), ('RTCTRL', 1.25, 'Ctrl')],
    ]
    return main_block(rows, True), {}, False


def brazilian():
    w = dict(ENGLISH_WORDS, RTALT='Alt Gr')
    digits = ['"\\n\'', '!\\n1', '@\\n2', '#\\n3', '$\\n4', '%\\n5', '\u00a8\\n6', '&\\n7', '*\\n8', '(\\n9',
              ')\\n0', '_\\n-', '+\\n=']
    rows = iso_rows(
        w, digits,
        letters('QWERTYUIOP') + [('LTCRBKT', 1, '`\\n\u00b4'), ('RTCRBKT', 1, '{\\n[')],
        letters('ASDFGHJKL') + [('COLON', 1, '\u00c7'), ('QUOTN', 1, '^\\n~'), ('EU1_NOTE2', 1, '}\\n]')],
        ('|\\n\\', letters('ZXCVBNM') + [('LESSTHN', 1, '<\\n,'), ('GRTRTHN', 1, '>\\n.'), ('QTNMRK', 1, ':\\n;'),
                                        ('INTL1_RO', 1, '?\\n/'), ('RTSHFT', 1.75, w['RTSHFT'])]))
    rows.append(bottom_row(w, [('SPACE', 6.25, '')]))
    return main_block(rows, True), dict(NUM_PT=','), True


# Page file -> the arrangement's main block, its cap words for the shared keys, Brazilian keypad.
PAGES = {
    'KeyboardKeysANSI.xml': english,
    'KeyboardKeysISO.xml': german,
    'KeyboardKeysKorean.xml': korean,
    'KeyboardKeysJapanese.xml': japanese,
    'KeyboardKeysBrazil.xml': brazilian,
}


def page_keys(page):
    block, names, brazil = PAGES[page]()
    return block + function_row() + editing_keys(names) + keypad(names, brazil) + macro_column()


def pixel_rect(x, y, w, h):
    """(left, top, width, height) in main-window pixels of a key at (x, y) units of size (w, h)."""
    x0 = ORIGIN[0] + (1 + BLOCK_GAP) * UNIT
    left = x0 + round(x * UNIT)
    top = ORIGIN[1] + round(y * UNIT)
    right = x0 + round((x + w) * UNIT) - GAP
    bottom = ORIGIN[1] + round((y + h) * UNIT) - GAP
    return left, top, right - left, bottom - top


# The caption faces (pitch: the cell height in pixels): single characters and the function and macro
# keys' names large, arrows and the Won sign in a face that has them, two-line caps in the word face, and other words
# in the word face or, where that is too wide, a smaller one.
LETTER_FONT = '<FONT name="FONT_ARIAL12" typeface="Liberation Sans" pitch="13">LiberationSans-Regular.ttf</FONT>'
WORD_FONT = '<FONT name="FONT_ARIAL10" typeface="Liberation Sans" pitch="10">LiberationSans-Regular.ttf</FONT>'
SMALL_FONT = '<FONT name="FONT_ARIALNARROW12" typeface="Liberation Sans" pitch="9">LiberationSans-Regular.ttf</FONT>'
SYMBOL_FONT = '<FONT name="FONT_ARIAL14" typeface="DejaVu Sans" pitch="18">DejaVuSans.ttf</FONT>'
FONTS = [LETTER_FONT, WORD_FONT, SMALL_FONT, SYMBOL_FONT]
SYMBOLS = set('\u2190\u2191\u2192\u2193\u21b5\u21b9\u21e7\u21e9\u20a9')   # arrows, the Won sign


def font_name(font):
    return font.split('"')[1]


def text_width(text, pitch):
    """About how wide the text draws in Liberation Sans of this pitch, in pixels."""
    em = 0.0
    for ch in text:
        if ch in "il.,;:'|!I ":
            em += 0.24
        elif ch in 'frtj-()[]/':
            em += 0.33
        elif ch in 'mwMW':
            em += 0.85
        elif ch.isupper():
            em += 0.68
        elif ch in 'cksvxyz':
            em += 0.50
        else:
            em += 0.56
    return em * pitch * 0.89     # the em is the cell less its internal leading


def caption_attrs(caption, width):
    """The caption's attributes on a cap this many pixels wide. "\\n" breaks a two-line cap; "&" is
    doubled (a single one would underline the next character); a caption that begins with "$" or
    "#" gets a space before it (the reader would take it for a language key)."""
    text = caption.replace('&', '&&')
    if text[:1] in ('$', '#'):
        text = ' ' + text
    attrs = ['caption=%s' % quoteattr(text), 'justify="C"']
    lines = caption.split('\\n', 1)
    if len(lines) == 2:
        attrs.append('multiline="1"')
    if caption and all(ch in SYMBOLS for ch in caption):
        font = SYMBOL_FONT
    elif len(lines) == 1 and re.fullmatch(r'.|[FM][0-9]+', caption):
        font = LETTER_FONT
    elif all(text_width(line, 10) <= width - 3 for line in lines):
        font = WORD_FONT
    elif all(text_width(line, 9) <= width - 1 for line in lines):
        font = SMALL_FONT
    else:
        raise SystemExit('gen_kbdpages: the cap %r does not fit a key %d pixels wide' % (caption, width))
    return ' '.join(attrs + ['fontid="%s"' % font_name(font)])


def bitmap_names():
    """The bitmaps every page names."""
    return [name for _, name in KEY_CAP_BITMAPS]


def write_page(page, folder):
    keys = page_keys(page)
    seen = set()
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<!-- The on-screen keyboard\'s key items of one key arrangement, written by',
             '     data/kbdgen/gen_kbdpages.py from its table (change the table, not this file).',
             '     RECT: left, top, right = width, bottom = height, in the main window. -->',
             '<KEYBOARD>',
             '  <KEYBOARDDEF name="KBDDEF_WINDOWS" file="KeyboardDef.bin" kbddefaults="KeyDefaults.bin"/>',
             '  <FONTLIST>'] + ['    ' + f for f in FONTS] + ['  </FONTLIST>', '  <KBDKEYLIST>',
                                                               '    <BUTTONBITMAPS>']
    lines += ['      <%s>%s</%s>' % (slot, name, slot) for slot, name in KEY_CAP_BITMAPS]
    lines.append('    </BUTTONBITMAPS>')
    for suffix, x, y, w, h, caption in sorted(keys, key=lambda k: (k[2], k[1])):
        if suffix in seen:
            raise SystemExit('gen_kbdpages: %s: BUTTON_KB_%s placed twice' % (page, suffix))
        seen.add(suffix)
        left, top, width, height = pixel_rect(x, y, w, h)
        if left < AREA[0] or top < AREA[1] or left + width > AREA[2] or top + height > AREA[3]:
            raise SystemExit('gen_kbdpages: %s: BUTTON_KB_%s lies outside the page area' % (page, suffix))
        if width > KEY_CAP_SIZE[0] or height > KEY_CAP_SIZE[1]:
            raise SystemExit('gen_kbdpages: %s: BUTTON_KB_%s is larger than the key cap bitmaps' % (page, suffix))
        lines.append('    <KBDKEY name="BUTTON_KB_%s" kbddefid=%s %s>' % (suffix, quoteattr(KEY_NAMES[suffix]),
                                                                         caption_attrs(caption, width)))
        lines.append('      <RECT left="%d" top="%d" right="%d" bottom="%d"/>' % (left, top, width, height))
        lines.append('    </KBDKEY>')
    lines += ['  </KBDKEYLIST>', '</KEYBOARD>', '']
    with open(os.path.join(folder, page), 'w', encoding='utf-8', newline='\r\n') as f:
        f.write('\n'.join(lines))


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    if argv[1] == '--list':
        print(';'.join(sorted(PAGES)))
        return 0
    os.makedirs(argv[1], exist_ok=True)
    for page in sorted(PAGES):
        write_page(page, argv[1])
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
