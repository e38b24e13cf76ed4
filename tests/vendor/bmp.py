"""Small .bmp and .ico writers and a reader for the vendor tests' skins."""
import struct


def write_bmp(path, width, height, depth, pixel, gap=0):
    """An uncompressed bottom-up bitmap; pixel(x, y) gives (r, g, b), y from the top.
    gap: bytes left between the header and the pixels, as some editors write them."""
    size = depth // 8
    stride = ((width * depth + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r)) + (b"\xff" if size == 4 else b"")
        rows.append(bytes(row) + b"\0" * (stride - len(row)))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + gap + len(data), 0, 0, 54 + gap)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, depth, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + b"\x55" * gap + data)


def read_bmp24(path):
    """(width, height, pixel(x, y) -> (r, g, b)) of a bottom-up 24-bit bitmap."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    w, h = struct.unpack_from("<ii", data, 18)
    stride = ((w * 24 + 31) // 32) * 4

    def pixel(x, y):
        at = offset + (h - 1 - y) * stride + 3 * x
        return (data[at + 2], data[at + 1], data[at])
    return w, h, pixel


def write_ico(path, size, colour):
    """A one-image 32-bit icon of one colour."""
    w = h = size
    xor = bytes((colour[2], colour[1], colour[0], 255)) * (w * h)
    mask_stride = ((w + 31) // 32) * 4
    and_mask = b"\0" * (mask_stride * h)
    dib = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0) + xor + and_mask
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(dib), 6 + 16)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1) + entry + dib)
