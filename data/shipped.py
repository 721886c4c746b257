"""What the programs themselves name: the bitmap file names written in the shipped pages (data/xml,
and the key-items pages data/kbdgen writes) and in the product's sources. The bitmap generators put
these into the program folder image and every other bitmap they can make into the tests' program
folder only."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT_FOLDERS = ['data/xml', 'skin', 'config', 'tray', 'win', 'profile', 'device', 'audtest']
KINDS = ('.xml', '.cpp', '.h', '.rc')


def shipped_names():
    names = set()
    for folder in PRODUCT_FOLDERS:
        for root, _, files in os.walk(os.path.join(ROOT, folder)):
            for f in files:
                if f.endswith(KINDS):
                    text = open(os.path.join(root, f), encoding='utf-8', errors='replace').read()
                    names.update(re.findall(r'[A-Za-z0-9_]+\.bmp', text))
    names.update(keyboard_page_bitmaps())
    return names


def keyboard_page_bitmaps():
    """The bitmaps the generated key-items pages name (those pages are not in data/xml)."""
    sys.path.insert(0, os.path.join(ROOT, 'data', 'kbdgen'))
    import gen_kbdpages
    return gen_kbdpages.bitmap_names()


def choose(recipes, which):
    """The recipes of the set asked for: "product" (named by the programs) or "test" (the rest)."""
    shipped = shipped_names()
    return {n: m for n, m in recipes.items() if (n in shipped) == (which == 'product')}
