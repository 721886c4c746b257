#!/usr/bin/env python3
"""Writes the default skin's bitmaps into a folder: gen_skin.py <out-folder>; --list prints the names."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import skin  # noqa: E402


def main(argv):
    recipes = skin.bitmaps()
    if len(argv) == 2 and argv[1] == '--list':
        print(';'.join(sorted(recipes)))
        return 0
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in sorted(recipes.items()):
        make().save_bmp(os.path.join(out, name))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
