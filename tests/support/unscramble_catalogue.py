#!/usr/bin/python3
"""Writes the plain text of a scrambled article file, for the tests.

Usage: unscramble_catalogue.py <scrambled .db> <plain .csv>

The tests compare the program against the bundled catalogue as plain text,
rebuilt here from the bundled file. This is deliberately a separate, minimal
transcription of the storage rule (each byte stored as byte + 0x7F mod 256,
CR and LF left plain), so the C++ decoder's own tests still compare two
independent readings of the file.
The output appears whole or not at all.
"""
import os
import sys


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.splitlines()[2], file=sys.stderr)
        return 2
    source, target = sys.argv[1], sys.argv[2]
    with open(source, "rb") as f:
        scrambled = f.read()
    plain = bytes(b if b in (0x0A, 0x0D) else (b - 0x7F) & 0xFF for b in scrambled)
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    partial = target + ".part"
    with open(partial, "wb") as f:
        f.write(plain)
    os.replace(partial, target)
    return 0


if __name__ == "__main__":
    sys.exit(main())
