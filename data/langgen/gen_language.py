#!/usr/bin/env python3
"""Writes a language text file of the "lang" folder from its readable source.

Source (UTF-8): "key = value" lines; "#" starts a comment line; "@header" and "@language" give the
two header lines. Output: UTF-16LE, CR LF line ends, the two header lines, then key and value
lines in turn, closed by "END OF FILE". Keys and values may not be empty, may not begin with a
blank and may not hold a line break.

Usage: gen_language.py source.txt output.txt
"""
import sys


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    headers = {"@header": "language file", "@language": ""}
    pairs = []
    seen = set()
    with open(sys.argv[1], encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if " = " not in line:
                sys.exit("%s:%d: expected 'key = value'" % (sys.argv[1], number))
            key, value = line.split(" = ", 1)
            key, value = key.strip(), value.strip()
            if not key or not value:
                sys.exit("%s:%d: empty key or value" % (sys.argv[1], number))
            if key in headers:
                headers[key] = value
                continue
            folded = key.replace(" ", "").lower()
            if folded in seen:
                sys.exit("%s:%d: key %r given twice" % (sys.argv[1], number, key))
            seen.add(folded)
            pairs.append((key, value))
    lines = [headers["@header"], headers["@language"] or "-"]
    for key, value in pairs:
        lines += [key, value]
    lines.append("END OF FILE")
    with open(sys.argv[2], "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode("utf-16-le"))


if __name__ == "__main__":
    main()
