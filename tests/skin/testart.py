#!/usr/bin/env python3
"""Writes the skin tests' bitmaps: one solid colour per button state, so a test can
tell from any pixel of the painted button which image was chosen.

    testart.py <output folder>
"""
import os
import struct
import sys

# State colours as (red, green, blue); none is white, grey or the check-box fill.
STATES = [
    ("normal", (128, 0, 0)),
    ("pressed", (0, 128, 0)),
    ("hover", (0, 0, 128)),
    ("checked", (128, 128, 0)),
    ("disabled", (0, 128, 128)),
    ("disabledchecked", (128, 0, 128)),
]


def write_bmp(path, width, height, pixel):
    """24-bit bottom-up BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, rgb in STATES:
        write_bmp(os.path.join(out, "push-%s.bmp" % name), 40, 20, lambda x, y, c=rgb: c)
        write_bmp(os.path.join(out, "check-%s.bmp" % name), 21, 24, lambda x, y, c=rgb: c)
    # A push image whose corners carry the key colour 0xFF00FF (magenta).
    def keyed(x, y):
        corner = (x + y < 3) or ((39 - x) + (19 - y) < 3)
        return (255, 0, 255) if corner else (128, 0, 0)
    write_bmp(os.path.join(out, "push-keyed.bmp"), 40, 20, keyed)


main()
