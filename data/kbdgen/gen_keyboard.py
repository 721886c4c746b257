#!/usr/bin/env python3
"""Writes the keyboard definition and key defaults files of the "bin" folder from keys.txt.

Keyboard definition (little-endian): int32 record count, then per key: int32 name length in bytes,
the UTF-16LE name, int16 value A (HID usage), int16 value B (0x55: named with the extended bit),
then four blocks of ten {int16 code, uint8 prefix, uint8 reserved}: the make sequence, the break
sequence and two empty blocks.
Key defaults: int32 count, then per key {int32 key id, int32 code | prefix << 16}.

Usage: gen_keyboard.py keys.txt definition.bin defaults.bin
"""
import struct
import sys

RESERVED_NAMES = {"do not use", "unassigned", "reserved", "none"}


def key_id(name):
    h = 5381
    data = name.encode("utf-16-le")
    for i in range(0, len(data), 2):
        h = (h * 33 + (data[i] | data[i + 1] << 8)) & 0xFFFFFFFF
    return h - (1 << 32) if h & 0x80000000 else h


def parse_make(text):
    """Make sequence as block entries [(code, prefix)] and the key's (code, prefix)."""
    if text == "-":
        return [(-1, 0)], None
    parts = [int(p, 16) for p in text.split()]
    if parts[0] in (0xE0, 0xE1):
        prefix = 1 if parts[0] == 0xE0 else 2
        return [(0, prefix)] + [(p, 0) for p in parts[1:]], (parts[-1], prefix)
    return [(p, 0) for p in parts], (parts[-1], 0)


def block(entries):
    entries = list(entries)[:10] + [(0, 0)] * (10 - min(len(entries), 10))
    return b"".join(struct.pack("<hBB", code, prefix, 0) for code, prefix in entries)


def read_keys(path):
    keys = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            usage, make, flags, name = [p.strip() for p in line.split("|", 3)]
            keys.append((int(usage, 16), make, flags, name))
    return keys


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    keys = read_keys(sys.argv[1])
    definition = [struct.pack("<i", len(keys))]
    defaults = []
    seen = set()
    for usage, make, flags, name in keys:
        kid = key_id(name)
        if kid in seen:
            sys.exit("gen_keyboard: two keys share the id of %r" % name)
        seen.add(kid)
        name_bytes = name.encode("utf-16-le")
        if len(name_bytes) > 512:
            sys.exit("gen_keyboard: name too long: %r" % name)
        make_entries, code = parse_make(make)
        break_entries = [(c | 0x80, p) if c > 0 else (c, p) for c, p in make_entries] if code else []
        value_b = 0x55 if "N" in flags else 0
        definition.append(struct.pack("<i", len(name_bytes)) + name_bytes + struct.pack("<hh", usage, value_b))
        definition.append(block(make_entries) + block(break_entries) + block([]) + block([]))
        if code and name.lower() not in RESERVED_NAMES:
            defaults.append(struct.pack("<ii", kid, code[0] | code[1] << 16))
    with open(sys.argv[2], "wb") as f:
        f.write(b"".join(definition))
    with open(sys.argv[3], "wb") as f:
        f.write(struct.pack("<i", len(defaults)) + b"".join(defaults))


if __name__ == "__main__":
    main()
