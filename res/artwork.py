#!/usr/bin/env python3
"""Draws the wizard's artwork and writes it as .bmp and .ico files.

    artwork.py <output folder>

Everything is drawn here from shapes with anti-aliased edges (coverage from signed
distances), so the images are reproducible from this file alone. The background's
four corners are cut by key-colour pixels (0xFF00FF) that the wizard leaves out of
its window region; the buttons' and the check box's own backgrounds are taken from
the background under the spot where the wizard places them, so that they sit on it
without a seam.
"""
import math
import os
import struct
import sys

KEY = (255, 0, 255)

# Window face and where the wizard puts its controls on it.
W, H = 584, 411
TITLE_BOTTOM = 33        # light title bar: rows 0..33
HEADER_BOTTOM = 103      # dark header band: rows 34..103
BAR_TOP = 366            # button bar: rows 366..410
PANEL_SPLIT = 186        # picture panel x < 186, text panel x > 186
CLOSE_AT = (552, 11)     # close button, 20x17
BUTTON_AT = (312, 380)   # push buttons, 111x22 (also at x 451)
CHECK_FILL = (71, 93, 173)  # the check box fills its whole rectangle with this colour

# Key pixels per row, counted from the window's edge, for the four rounded corners.
CORNER_TOP_LEFT = [6, 4, 3, 2, 1, 1]
CORNER_TOP_RIGHT = [7, 5, 3, 2, 2, 1, 1]
CORNER_BOTTOM_LEFT = [5, 3, 2, 2, 1, 1]      # from row 410 upwards
CORNER_BOTTOM_RIGHT = [6, 4, 3, 2, 2, 1, 1]  # from row 410 upwards


def hexrgb(s):
    return (int(s[1:3], 16), int(s[3:5], 16), int(s[5:7], 16))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


class Canvas:
    def __init__(self, w, h, color=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(color) for _ in range(w * h)]

    def get(self, x, y):
        return tuple(self.px[y * self.w + x])

    def put(self, x, y, color, alpha=1.0):
        if 0 <= x < self.w and 0 <= y < self.h and alpha > 0.0:
            p = self.px[y * self.w + x]
            for i in range(3):
                p[i] += (color[i] - p[i]) * alpha

    def fill(self, x0, y0, x1, y1, color, alpha=1.0):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.put(x, y, color, alpha)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            c = mix(top, bottom, (y - y0) / span)
            self.fill(x0, y, x1, y + 1, c)

    def shape(self, sdf, box, color, alpha=1.0, soft=1.0):
        """Fills where the signed distance sdf(x, y) is negative; the pixel's coverage
        is taken from the distance at its centre, which gives a one-pixel edge (wider
        with soft > 1, for shadows)."""
        x0, y0, x1, y1 = (int(math.floor(v)) for v in box)
        m = int(math.ceil(soft)) + 1
        for y in range(max(0, y0 - m), min(self.h, y1 + m + 1)):
            for x in range(max(0, x0 - m), min(self.w, x1 + m + 1)):
                c = clamp01(0.5 - sdf(x + 0.5, y + 0.5) / soft)
                if c > 0.0:
                    self.put(x, y, color, c * alpha)

    def crop(self, x, y, w, h):
        c = Canvas(w, h)
        for j in range(h):
            for i in range(w):
                c.px[j * w + i] = list(self.get(x + i, y + j))
        return c

    def rows_bgr(self, bpp):
        """Bottom-up rows, each padded to four bytes, as a BMP stores them."""
        out = bytearray()
        for y in range(self.h - 1, -1, -1):
            row = bytearray()
            for x in range(self.w):
                r, g, b = (int(round(v)) for v in self.px[y * self.w + x])
                r, g, b = (max(0, min(255, v)) for v in (r, g, b))
                row += bytes((b, g, r)) if bpp == 24 else bytes((b, g, r, 255))
            while len(row) % 4:
                row.append(0)
            out += row
        return bytes(out)


# Signed distance functions (negative inside).
def sd_round_box(cx, cy, hw, hh, r):
    def f(x, y):
        qx = abs(x - cx) - hw + r
        qy = abs(y - cy) - hh + r
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
    return f


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_ring(cx, cy, r, half_width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half_width


def sd_segment(ax, ay, bx, by, half_width):
    def f(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = clamp01((px * dx + py * dy) / (dx * dx + dy * dy))
        return math.hypot(px - dx * t, py - dy * t) - half_width
    return f


def sd_polygon(points):
    """Convex polygon, points in clockwise order on screen (y down)."""
    edges = []
    for i in range(len(points)):
        (ax, ay), (bx, by) = points[i], points[(i + 1) % len(points)]
        nx, ny = by - ay, -(bx - ax)   # outward normal for clockwise order with y down
        n = math.hypot(nx, ny)
        edges.append((ax, ay, nx / n, ny / n))

    def f(x, y):
        return max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)
    return f


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def bbox(points, pad=0.0):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


# Colours: a calm blue face under a light title bar.
TITLE_TOP, TITLE_BOT = hexrgb("#F8F9FC"), hexrgb("#E2E7F0")
TITLE_RULE = hexrgb("#B4BFD3")
HEADER_TOP, HEADER_BOT = hexrgb("#15234C"), hexrgb("#1E3166")
ACCENT = hexrgb("#5B8FDB")
PICTURE_TOP, PICTURE_BOT = hexrgb("#2D55A6"), hexrgb("#15295C")
PANEL_RULE = hexrgb("#2B3F7C")
BAR_RULE = hexrgb("#30468A")
BAR_TOP_C, BAR_BOT_C = hexrgb("#1C2A55"), hexrgb("#131D40")
OUTLINE_LIGHT, OUTLINE_DARK = hexrgb("#7D8BA7"), hexrgb("#0B1430")
WHITE = (255, 255, 255)
CROSS = hexrgb("#46536F")


def draw_package(c, cx, cy, s, alpha=1.0):
    """An isometric carton with an arrow dropping into it: the picture of an install."""
    top = [(cx, cy - s * 0.55), (cx + s, cy - s * 0.05), (cx, cy + s * 0.45), (cx - s, cy - s * 0.05)]
    left = [(cx - s, cy - s * 0.05), (cx, cy + s * 0.45), (cx, cy + s * 1.45), (cx - s, cy + s * 0.95)]
    right = [(cx, cy + s * 0.45), (cx + s, cy - s * 0.05), (cx + s, cy + s * 0.95), (cx, cy + s * 1.45)]
    # Soft shadow under the carton.
    c.shape(sd_round_box(cx, cy + s * 1.5, s * 1.05, s * 0.16, s * 0.16), (cx - s * 1.2, cy + s * 1.3, cx + s * 1.2, cy + s * 1.7), (8, 16, 40), 0.30 * alpha, soft=max(1.0, s * 0.12))
    c.shape(sd_polygon(left), bbox(left), hexrgb("#A9C0EA"), alpha)
    c.shape(sd_polygon(right), bbox(right), hexrgb("#7598D8"), alpha)
    c.shape(sd_polygon(top), bbox(top), hexrgb("#E4ECFA"), alpha)
    # Tape across the lid and down the front edge.
    tape = [(cx - s * 0.5, cy - s * 0.3), (cx - s * 0.38, cy - s * 0.36), (cx + s * 0.5, cy + s * 0.2), (cx + s * 0.38, cy + s * 0.26)]
    c.shape(sd_polygon([tape[0], tape[1], tape[2], tape[3]]), bbox(tape), hexrgb("#C3D3F1"), alpha)
    # Edges, drawn thin so the carton reads crisply on the dark panel.
    edge = hexrgb("#F4F8FF")
    for (a, b) in ((top[0], top[1]), (top[1], top[2]), (top[2], top[3]), (top[3], top[0]), (top[2], left[2])):
        c.shape(sd_segment(a[0], a[1], b[0], b[1], 0.45), bbox([a, b], 1), edge, 0.55 * alpha)
    # Arrow.
    ax, ay = cx, cy - s * 1.55
    shaft = sd_round_box(ax, ay, s * 0.12, s * 0.38, s * 0.06)
    head = [(ax - s * 0.36, ay + s * 0.22), (ax + s * 0.36, ay + s * 0.22), (ax, ay + s * 0.72)]
    head_sd = sd_polygon(head)
    c.shape(sd_union(shaft, head_sd), (ax - s * 0.4, ay - s * 0.45, ax + s * 0.4, ay + s * 0.75), WHITE, 0.95 * alpha)


def key_mask():
    """Set of (x, y) that carry the key colour."""
    keys = set()
    for row, n in enumerate(CORNER_TOP_LEFT):
        keys.update((x, row) for x in range(n))
    for row, n in enumerate(CORNER_TOP_RIGHT):
        keys.update((W - 1 - x, row) for x in range(n))
    for row, n in enumerate(CORNER_BOTTOM_LEFT):
        keys.update((x, H - 1 - row) for x in range(n))
    for row, n in enumerate(CORNER_BOTTOM_RIGHT):
        keys.update((W - 1 - x, H - 1 - row) for x in range(n))
    return keys


def background():
    c = Canvas(W, H)
    # Title bar.
    c.vgradient(0, 0, W, TITLE_BOTTOM, TITLE_TOP, TITLE_BOT)
    c.fill(0, TITLE_BOTTOM, W, TITLE_BOTTOM + 1, TITLE_RULE)
    # Header band with a few faint rings on its right for depth.
    c.vgradient(0, TITLE_BOTTOM + 1, W, HEADER_BOTTOM + 1, HEADER_TOP, HEADER_BOT)
    for r, a in ((150, 0.05), (112, 0.05), (76, 0.06)):
        c.shape(sd_ring(560, 20, r, 9), (560 - r - 10, 20 - r - 10, 560 + r + 10, 20 + r + 10), WHITE, a)
    c.fill(0, TITLE_BOTTOM + 1, W, TITLE_BOTTOM + 2, hexrgb("#0E1836"))
    # (the rings must not reach into the title bar: repaint it)
    c.vgradient(0, 0, W, TITLE_BOTTOM, TITLE_TOP, TITLE_BOT)
    c.fill(0, TITLE_BOTTOM, W, TITLE_BOTTOM + 1, TITLE_RULE)
    c.fill(0, HEADER_BOTTOM - 1, W, HEADER_BOTTOM + 1, ACCENT)
    # Picture panel: a deep gradient, a glow and the carton.
    c.vgradient(0, HEADER_BOTTOM + 1, PANEL_SPLIT, BAR_TOP, PICTURE_TOP, PICTURE_BOT)
    pic_cx, pic_cy = PANEL_SPLIT // 2, 222
    for r, a in ((90, 0.05), (66, 0.06), (44, 0.07)):
        c.shape(sd_circle(pic_cx, pic_cy + 12, r), (pic_cx - r, pic_cy + 12 - r, pic_cx + r, pic_cy + 12 + r), hexrgb("#9FBDF0"), a)
    draw_package(c, pic_cx, pic_cy, 40)
    # Text panel: one flat colour, the same that the check box fills itself with.
    c.fill(PANEL_SPLIT + 1, HEADER_BOTTOM + 1, W, BAR_TOP, CHECK_FILL)
    c.fill(PANEL_SPLIT, HEADER_BOTTOM + 1, PANEL_SPLIT + 1, BAR_TOP, PANEL_RULE)
    # Button bar.
    c.fill(0, BAR_TOP, W, BAR_TOP + 1, BAR_RULE)
    c.vgradient(0, BAR_TOP + 1, W, H, BAR_TOP_C, BAR_BOT_C)
    # The close cross, also drawn by the close button itself.
    draw_cross(c, CLOSE_AT[0] + 10, CLOSE_AT[1] + 8.5, CROSS)
    # Outline along the window's edge (after the corners are cut).
    keys = key_mask()
    inside = lambda x, y: 0 <= x < W and 0 <= y < H and (x, y) not in keys
    for y in range(H):
        for x in range(W):
            if not inside(x, y):
                continue
            if not (inside(x - 1, y) and inside(x + 1, y) and inside(x, y - 1) and inside(x, y + 1)):
                c.px[y * W + x] = list(OUTLINE_LIGHT if y <= TITLE_BOTTOM else OUTLINE_DARK)
    for x, y in keys:
        c.px[y * W + x] = list(KEY)
    return c


def draw_cross(c, cx, cy, color, arm=4.0, width=0.8):
    c.shape(sd_segment(cx - arm, cy - arm, cx + arm, cy + arm, width), (cx - arm - 2, cy - arm - 2, cx + arm + 2, cy + arm + 2), color)
    c.shape(sd_segment(cx - arm, cy + arm, cx + arm, cy - arm, width), (cx - arm - 2, cy - arm - 2, cx + arm + 2, cy + arm + 2), color)


def close_images(bg):
    x, y = CLOSE_AT
    normal = bg.crop(x, y, 20, 17)
    draw_cross(normal, 10, 8.5, CROSS)
    hover = bg.crop(x, y, 20, 17)
    hover.shape(sd_round_box(10, 8.5, 9.5, 8, 3), (0, 0, 20, 17), hexrgb("#C8483E"))
    draw_cross(hover, 10, 8.5, WHITE)
    disabled = bg.crop(x, y, 20, 17)
    draw_cross(disabled, 10, 8.5, hexrgb("#B3BBCB"))
    return normal, hover, disabled


def push_button(bg, top, bottom, border):
    b = bg.crop(BUTTON_AT[0], BUTTON_AT[1], 111, 22)
    body = Canvas(111, 22)
    body.vgradient(0, 0, 111, 22, top, bottom)
    outer = sd_round_box(55.5, 11, 55.5, 11, 4)
    inner = sd_round_box(55.5, 11, 54.5, 10, 3)
    b.shape(outer, (0, 0, 111, 22), border)
    for yy in range(22):
        for xx in range(111):
            cov = clamp01(0.5 - inner(xx + 0.5, yy + 0.5))
            if cov > 0:
                b.put(xx, yy, body.get(xx, yy), cov)
    # A faint highlight along the top inner edge.
    b.shape(sd_segment(4, 1.5, 107, 1.5, 0.5), (2, 0, 109, 3), WHITE, 0.28)
    return b


def check_images():
    imgs = []
    for ticked in (False, True):
        c = Canvas(21, 24, CHECK_FILL)
        c.shape(sd_round_box(10.5, 12, 7.5, 7.5, 2.5), (2, 4, 19, 20), hexrgb("#1B2F68"))
        c.shape(sd_round_box(10.5, 12, 6.5, 6.5, 1.8), (3, 5, 18, 19), hexrgb("#F5F8FE"))
        if ticked:
            mark = hexrgb("#2A4FA3")
            c.shape(sd_segment(6.6, 12.2, 9.4, 15.0, 1.15), (5, 10, 11, 17), mark)
            c.shape(sd_segment(9.4, 15.0, 14.6, 8.6, 1.15), (8, 7, 16, 17), mark)
        imgs.append(c)
    return imgs


def icon_image(size):
    """RGBA rows (top-down) of the program icon at one size."""
    s = size / 32.0
    c = Canvas(size, size, (0, 0, 0))
    alpha = [0.0] * (size * size)
    plate = sd_round_box(size / 2, size / 2, size / 2 - 0.5 * s, size / 2 - 0.5 * s, 6 * s)
    grad = Canvas(size, size)
    grad.vgradient(0, 0, size, size, hexrgb("#3D68C2"), hexrgb("#17306E"))
    for y in range(size):
        for x in range(size):
            cov = clamp01(0.5 - plate(x + 0.5, y + 0.5))
            alpha[y * size + x] = cov
            c.px[y * size + x] = list(grad.get(x, y))
    draw_package(c, size / 2, size * 0.5, 9.5 * s)
    return c, alpha


def write_bmp(path, canvas, bpp):
    pixels = canvas.rows_bgr(bpp)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, bpp, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 14 + 40))
        f.write(header)
        f.write(pixels)


def write_ico(path, sizes):
    images = []
    for size in sizes:
        c, alpha = icon_image(size)
        xor = bytearray()
        for y in range(size - 1, -1, -1):
            for x in range(size):
                r, g, b = (max(0, min(255, int(round(v)))) for v in c.px[y * size + x])
                a = int(round(alpha[y * size + x] * 255))
                xor += bytes((b, g, r, a))
        mask_row = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in range(size - 1, -1, -1):
            row = bytearray(mask_row)
            for x in range(size):
                if alpha[y * size + x] < 0.5:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((size, header + bytes(xor) + bytes(mask)))
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    bg = background()
    keys = sum(1 for p in bg.px if tuple(p) == KEY)
    if keys != 71:
        sys.exit("background: %d key pixels, expected 71" % keys)
    write_bmp(os.path.join(out, "background.bmp"), bg, 24)
    normal = push_button(bg, hexrgb("#4A76CD"), hexrgb("#2C52A2"), hexrgb("#0F1F4A"))
    pressed = push_button(bg, hexrgb("#22448C"), hexrgb("#355DB0"), hexrgb("#0B1838"))
    hover = push_button(bg, hexrgb("#5B88DE"), hexrgb("#3862B6"), hexrgb("#142A5E"))
    write_bmp(os.path.join(out, "button-normal.bmp"), normal, 24)
    write_bmp(os.path.join(out, "button-pressed.bmp"), pressed, 24)
    write_bmp(os.path.join(out, "button-hover.bmp"), hover, 24)
    close_n, close_h, close_d = close_images(bg)
    write_bmp(os.path.join(out, "close-normal.bmp"), close_n, 32)
    write_bmp(os.path.join(out, "close-hover.bmp"), close_h, 32)
    write_bmp(os.path.join(out, "close-disabled.bmp"), close_d, 24)
    off, on = check_images()
    write_bmp(os.path.join(out, "check-off.bmp"), off, 24)
    write_bmp(os.path.join(out, "check-on.bmp"), on, 24)
    write_ico(os.path.join(out, "setup.ico"), (48, 32, 16))


if __name__ == "__main__":
    main()
