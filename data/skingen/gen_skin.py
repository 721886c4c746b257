#!/usr/bin/env python3
"""Writes the default skin's bitmaps into a folder:
    gen_skin.py product|test <out-folder>      gen_skin.py product|test --list
"product" is what the programs' pages and code name (the program folder image, see data/shipped.py);
"test" the rest, which only the toolkit's test pages use (the tests' program folder)."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import shipped  # noqa: E402
import skin  # noqa: E402


def main(argv):
    if len(argv) != 3 or argv[1] not in ('product', 'test'):
        print(__doc__, file=sys.stderr)
        return 2
    recipes = shipped.choose(skin.bitmaps(), argv[1])
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
