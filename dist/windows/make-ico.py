#!/usr/bin/env python3
"""Writes a Windows icon file holding the given PNG files as they are (Windows
Vista and later read PNG inside an icon): make-ico.py OUT.ico IN.png..."""
import struct
import sys


def size_of(png):
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG file")
    return struct.unpack(">II", png[16:24])


def main():
    out, pngs = sys.argv[1], [open(p, "rb").read() for p in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(pngs))
    entries, offset = b"", 6 + 16 * len(pngs)
    for png in pngs:
        width, height = size_of(png)
        # 0 stands for 256.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
    with open(out, "wb") as f:
        f.write(header + entries + b"".join(pngs))


main()
