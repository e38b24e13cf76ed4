#!/usr/bin/env python3
"""Writes a small 24-bit bottom-up BMP: a diagonal two-colour pattern.

make-image.py <out.bmp> <width> <height> <RRGGBB> <RRGGBB>
"""
import struct
import sys

out, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
a = bytes.fromhex(sys.argv[4])[::-1]  # BMP pixels are blue, green, red
b = bytes.fromhex(sys.argv[5])[::-1]
stride = (width * 3 + 3) & ~3
rows = []
for y in range(height):
    row = b"".join(a if ((x + y) // 8) % 2 == 0 else b for x in range(width))
    rows.append(row + b"\0" * (stride - width * 3))
pixels = b"".join(rows)
header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open(out, "wb") as f:
    f.write(header + info + pixels)
