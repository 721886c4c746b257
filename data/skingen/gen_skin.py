#!/usr/bin/env python3
"""Writes the default skin's bitmaps into a folder:
    gen_skin.py product|test <out-folder>      gen_skin.py product|test --list
"product" is what the programs' pages draw with (the program folder image); "test" the bitmaps only
the test pages of the toolkit use (the popup, picture frame and wide button tests), which only the
tests' program folder holds."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import skin  # noqa: E402


# The bitmaps that only the toolkit's test pages name.
TEST = {'btn_m.bmp', 'card.bmp', 'card_mask.bmp', 'keypic.bmp', 'logo.bmp', 'popup_bg.bmp', 'popup_mask.bmp',
        'wide_m.bmp'} | {'frame_%s.bmp' % s for s in 'dnox'} | {'wide_%s.bmp' % s for s in 'dnox'}


def main(argv):
    if len(argv) != 3 or argv[1] not in ('product', 'test'):
        print(__doc__, file=sys.stderr)
        return 2
    recipes = {n: m for n, m in skin.bitmaps().items() if (n in TEST) == (argv[1] == 'test')}
    if argv[2] == '--list':
        print(';'.join(sorted(recipes)))
        return 0
    out = argv[2]
    os.makedirs(out, exist_ok=True)
    for name, make in sorted(recipes.items()):
        make().save_bmp(os.path.join(out, name))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
