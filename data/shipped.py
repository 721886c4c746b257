"""What the programs themselves name: the bitmap file names written in the shipped pages (data/xml)
and in the product's sources. The bitmap generators put these into the program folder image and
every other bitmap they can make into the tests' program folder only."""
import os
import re

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
    return names


def choose(recipes, which):
    """The recipes of the set asked for: "product" (named by the programs) or "test" (the rest)."""
    shipped = shipped_names()
    return {n: m for n, m in recipes.items() if (n in shipped) == (which == 'product')}
