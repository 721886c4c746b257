#!/usr/bin/env python3
"""Checks that a program folder image holds only what a user's program folder would: the four
deliverables, their data folders, pages that a program opens, bitmaps that a page or a program
names, and no test instrument (simulator, fake, control program, gallery, test page, test export).

    check_image.py <image> <source>             prints every problem; exit 1 when there is one
    check_image.py --instrument <file>          exit 0 when the file carries a test instrument's marks
"""
import os
import re
import struct
import sys

DELIVERABLES = {'VeltoDunemarchIIConfig.exe', 'VeltoDunemarchIISysTray.exe', 'VtAudMgr.dll', 'VtAudTestApp.exe'}
DATA_FOLDERS = {'xml', 'skins', 'fonts', 'lang', 'bin', 'save', 'Manuals'}
# The product's sources: the names of pages and bitmaps the programs open are written here.
PRODUCT_SOURCES = ['config', 'tray', 'skin', 'win', 'profile', 'device', 'audmgr', 'audtest']
SERVER_EXPORTS = {'DllCanUnloadNow', 'DllGetClassObject', 'DllRegisterServer', 'DllUnregisterServer', 'DllInstall'}
# Marks a test instrument leaves in a binary: the simulators' namespace (as the compiler writes it
# into type names) and their class names.
INSTRUMENT_MARKS = [b'vt3sim', b'HeadsetSimulator', b'FakeAudioEndpoints', b'VtAudMgrHeadsetSimulator']
# Words that name a test instrument in a file name (the test program is a deliverable).
INSTRUMENT_WORDS = re.compile(r'test|gallery|sample|fake|sim|mock|bench|enginectl', re.I)
CODE = ('.exe', '.dll', '.ocx', '.com', '.sys')
BITMAP = r'[A-Za-z0-9_]+\.bmp'


def pe_exports(path):
    """The names a PE file exports."""
    data = open(path, 'rb').read()
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise ValueError('not a PE file')
    sections = struct.unpack_from('<H', data, pe + 6)[0]
    opt_size = struct.unpack_from('<H', data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from('<H', data, opt)[0]
    dirs = opt + (112 if magic == 0x20B else 96)
    export_rva = struct.unpack_from('<I', data, dirs)[0]
    if export_rva == 0:
        return set()
    table = opt + opt_size
    spans = [struct.unpack_from('<IIII', data, table + 40 * i + 8) for i in range(sections)]

    def at(rva):
        for vsize, vaddr, rsize, raw in spans:
            if vaddr <= rva < vaddr + max(vsize, rsize):
                return rva - vaddr + raw
        raise ValueError('address outside every section')

    exp = at(export_rva)
    count, names_rva = struct.unpack_from('<I', data, exp + 24)[0], struct.unpack_from('<I', data, exp + 32)[0]
    names = set()
    for i in range(count):
        start = at(struct.unpack_from('<I', data, at(names_rva) + 4 * i)[0])
        names.add(data[start:data.index(b'\0', start)].decode('ascii'))
    return names


def instrument_marks(path):
    data = open(path, 'rb').read()
    return [m.decode() for m in INSTRUMENT_MARKS if m in data]


def source_text(source, tops, kinds):
    chunks = []
    for top in tops:
        for root, _, files in os.walk(os.path.join(source, top)):
            for f in files:
                if f.endswith(kinds):
                    chunks.append(open(os.path.join(root, f), encoding='utf-8', errors='replace').read())
    return '\n'.join(chunks)


def check(image, source):
    problems = []
    code = source_text(source, PRODUCT_SOURCES, ('.cpp', '.h', '.rc', '.def'))
    # What the tests name: their pages and their code.
    tests = source_text(source, ['tests'], ('.xml', '.cpp', '.h'))
    pages = {}
    for name in sorted(os.listdir(image)):
        path = os.path.join(image, name)
        if os.path.isdir(path):
            if name not in DATA_FOLDERS:
                problems.append(f'{name}\\: not a folder of the program folder')
        elif name not in DELIVERABLES:
            problems.append(f'{name}: not a deliverable')
    for root, _, files in os.walk(image):
        for f in files:
            path = os.path.join(root, f)
            rel = os.path.relpath(path, image).replace(os.sep, '\\')
            top = rel.split('\\')[0]
            if f != 'VtAudTestApp.exe' and INSTRUMENT_WORDS.search(f):
                problems.append(f'{rel}: named like a test instrument')
            if f.lower().endswith(CODE):
                if top != rel:
                    problems.append(f'{rel}: program code outside the program folder\'s top')
                marks = instrument_marks(path)
                if marks:
                    problems.append(f'{rel}: carries test instruments ({", ".join(marks)})')
            if top == 'xml' and f.lower().endswith('.xml'):
                pages[f] = open(path, encoding='utf-8', errors='replace').read()
    # A page is opened when a program names it, or a page that is opened names it (the keyboard
    # layout list names the on-screen keyboard's key-items pages).
    named_pages = set(re.findall(r'[A-Za-z0-9_.]+', code))
    opened = set()
    while True:
        newly = {p for p in pages if p in named_pages} - opened
        if not newly:
            break
        opened |= newly
        for p in newly:
            named_pages |= set(re.findall(r'[A-Za-z0-9_.]+', pages[p]))
    for page in pages:
        if page not in opened:
            problems.append(f'xml\\{page}: no program opens this page (a test page?)')
    # A bitmap that no shipped page and no program names, but a test does, is a test page's bitmap.
    # (One that nothing names yet may be a skin part of a page to come.)
    named = set(re.findall(BITMAP, code + '\n'.join(pages.values())))
    test_named = set(re.findall(BITMAP, tests))
    skins = os.path.join(image, 'skins')
    if os.path.isdir(skins):
        for f in sorted(os.listdir(skins)):
            if f not in named and f in test_named:
                problems.append(f'skins\\{f}: only the tests name this bitmap')
    dll = os.path.join(image, 'VtAudMgr.dll')
    if os.path.isfile(dll):
        extra = pe_exports(dll) - SERVER_EXPORTS
        if extra:
            problems.append('VtAudMgr.dll: exports beyond the server entry points: ' + ', '.join(sorted(extra)))
    return problems


def main(argv):
    if len(argv) == 3 and argv[1] == '--instrument':
        marks = instrument_marks(argv[2])
        print(f'{argv[2]}: ' + (', '.join(marks) if marks else 'no instrument marks'))
        return 0 if marks else 1
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    problems = check(argv[1], argv[2])
    for p in problems:
        print(p)
    print(f'{len(problems)} problem(s) in {argv[1]}')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
