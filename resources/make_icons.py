#!/usr/bin/env python3
"""Draws Volscope's drive pictures and program icon and writes them as Windows .ico files.

The drawings below are the source of the art: every picture is built on a small RGB canvas
from rectangles, bevels, gradients, diagonal bands and circles, then reduced to the 16-colour
Windows palette (4 bpp), to black and white (1 bpp) or to a 256-colour palette made of the
drawing's own colours (8 bpp), and written by hand as icon files: ICONDIR, ICONDIRENTRY and
one BITMAPINFOHEADER DIB per image (colour table, XOR bitmap, 1-bit AND mask). The program
icon is also written in full colour as PNGs for the desktop's hicolor icon theme.

    python3 resources/make_icons.py                  # rewrites the .ico and hicolor PNG files
    python3 resources/make_icons.py --preview DIR    # also writes PNG previews into DIR

Only the Python standard library is used, and the output is byte-for-byte reproducible.
"""

import argparse
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------------------------
# Colours
# ---------------------------------------------------------------------------------------------

# The standard 16-colour Windows palette, in its usual index order.
VGA16 = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 dark yellow
    (0x00, 0x00, 0x80),  # 4 dark blue
    (0x80, 0x00, 0x80),  # 5 dark magenta
    (0x00, 0x80, 0x80),  # 6 dark cyan
    (0xC0, 0xC0, 0xC0),  # 7 light grey
    (0x80, 0x80, 0x80),  # 8 dark grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
MONO = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]

BLACK = (0x00, 0x00, 0x00)
WHITE = (0xFF, 0xFF, 0xFF)
DARK_GREY = (0x80, 0x80, 0x80)
RED = (0xFF, 0x00, 0x00)
DARK_RED = (0x80, 0x00, 0x00)
CYAN = (0x00, 0xFF, 0xFF)


def grey(v):
    return (v, v, v)


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1), rounded to whole channel values."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


# ---------------------------------------------------------------------------------------------
# Canvas: a square of RGB pixels; None is a transparent pixel.
# ---------------------------------------------------------------------------------------------


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [None] * (size * size)

    def put(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y * self.size + x] = c

    def get(self, x, y):
        return self.px[y * self.size + x]

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.rect(x0, y0, x1, y0, c)
        self.rect(x0, y1, x1, y1, c)
        self.rect(x0, y0, x0, y1, c)
        self.rect(x1, y0, x1, y1, c)

    def bevel(self, x0, y0, x1, y1, light, dark):
        """Raised edge: light along the top and left, dark along the bottom and right."""
        self.rect(x0, y0, x1, y0, light)
        self.rect(x0, y0, x0, y1, light)
        self.rect(x0 + 1, y1, x1, y1, dark)
        self.rect(x1, y0 + 1, x1, y1, dark)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        for y in range(y0, y1 + 1):
            t = 0 if y1 == y0 else (y - y0) / (y1 - y0)
            self.rect(x0, y, x1, y, mix(top, bottom, t))


# ---------------------------------------------------------------------------------------------
# Drive units: an oblique box seen from the front, the top and the right (light from the
# top left). The front face is (x0, y0)-(x1, y1) including its outline; the top and the right
# side recede by `depth` pixels at 45 degrees.
# ---------------------------------------------------------------------------------------------

OUTLINE = BLACK
TOP_BACK = grey(0xDC)
TOP_FRONT = grey(0xCC)
FRONT_TOP = grey(0xD0)
FRONT_BOTTOM = grey(0xB0)
SIDE_BACK = grey(0x94)
SIDE_FRONT = grey(0x84)
SHADOW = grey(0x70)
SLOT = grey(0x20)


def box(c, x0, y0, x1, y1, depth):
    """The bare casing, shaded and outlined; the callers add slots and lights to the front."""
    # Top face: row y0 - i runs from x0 + i to x1 + i.
    for i in range(1, depth + 1):
        t = (i - 1) / max(1, depth - 1)
        c.rect(x0 + i, y0 - i, x1 + i, y0 - i, mix(TOP_FRONT, TOP_BACK, t))
    # Right side: column x1 + i runs from y0 - i to y1 - i.
    for i in range(1, depth + 1):
        t = (i - 1) / max(1, depth - 1)
        for y in range(y0 - i, y1 - i + 1):
            ty = (y - (y0 - i)) / max(1, y1 - y0)
            c.put(x1 + i, y, mix(mix(SIDE_FRONT, SIDE_BACK, t), SHADOW, ty * 0.6))
    # Front face.
    c.vgradient(x0, y0, x1, y1, FRONT_TOP, FRONT_BOTTOM)
    c.bevel(x0 + 1, y0 + 1, x1 - 1, y1 - 1, WHITE, DARK_GREY)
    # Silhouette: front rectangle, the two receding top corners and the back edges.
    c.frame(x0, y0, x1, y1, OUTLINE)
    for i in range(1, depth + 1):
        c.put(x0 + i, y0 - i, OUTLINE)  # top-left edge
        c.put(x1 + i, y1 - i, OUTLINE)  # bottom-right edge
        c.put(x1 + i, y0 - i, WHITE if i < depth else OUTLINE)  # top-right ridge catches light
    c.rect(x0 + depth, y0 - depth, x1 + depth, y0 - depth, OUTLINE)  # back of the top
    c.rect(x1 + depth, y0 - depth, x1 + depth, y1 - depth, OUTLINE)  # back of the side


def slot(c, x0, y, x1):
    """A thin horizontal slot cut into the front: shaded upper edge, lit lower and right lip."""
    c.rect(x0, y - 1, x1, y - 1, DARK_GREY)
    c.rect(x0, y, x1, y, SLOT)
    c.rect(x0, y + 1, x1 + 1, y + 1, WHITE)
    c.rect(x1 + 1, y - 1, x1 + 1, y, WHITE)


def light(c, x, y, w, h, on, hi):
    """A small indicator lamp with a dark rim and a highlight in its top-left pixel."""
    c.frame(x - 1, y - 1, x + w, y + h, grey(0x30))
    c.rect(x, y, x + w - 1, y + h - 1, on)
    c.put(x, y, hi)


GREEN_ON = (0x00, 0xE0, 0x00)
GREEN_HI = (0xA0, 0xFF, 0xA0)
RED_ON = (0xE0, 0x00, 0x00)
RED_HI = (0xFF, 0xA0, 0xA0)


def fixed_unit(c, x0, y0, x1, y1, depth):
    """A fixed hard-disk unit: two slots and a green light."""
    box(c, x0, y0, x1, y1, depth)
    h = y1 - y0
    inner0, inner1 = x0 + 3, x1 - 3
    if h >= 12:
        s1 = y0 + h // 4 + 1
        s2 = y0 + h // 2 + 1
        slot(c, inner0, s1, inner1 - 1)
        slot(c, inner0, s2, inner1 - 1)
        lw = max(2, (x1 - x0) // 10)
        light(c, inner1 - lw, y1 - 4, lw, 2 if h >= 16 else 1, GREEN_ON, GREEN_HI)
    else:  # 16x16 and the small units: one pixel per detail
        c.rect(inner0 - 1, y0 + 2, inner1, y0 + 2, SLOT)
        c.rect(inner0 - 1, y0 + 4, inner1 - 3, y0 + 4, SLOT)
        c.rect(x1 - 3, y0 + 4, x1 - 2, y0 + 4, GREEN_ON)


# ---------------------------------------------------------------------------------------------
# The pictures
# ---------------------------------------------------------------------------------------------


def draw_fixed(size):
    c = Canvas(size)
    fixed_unit(c, 0, 16, 39, 44, 8)
    return c


def red_cross(c, margin=2, half=3):
    """A large diagonal cross over the whole picture: red arms with a dark red rim. Each arm
    is the band of pixels within `half` of a diagonal, cut square `margin` pixels from the
    corners."""
    n = c.size
    for y in range(n):
        for x in range(n):
            # Distance across and position along each arm (both in diagonal pixel steps).
            arms = ((x - y, x + y), (x + y - (n - 1), x - y + (n - 1)))
            across = [abs(d) for d, along in arms
                      if 2 * margin <= along <= 2 * (n - 1 - margin) and abs(d) <= half + 1]
            if not across:
                continue
            c.put(x, y, RED if min(across) <= half else DARK_RED)


def draw_none(size):
    """"No such drive": the fixed disk, crossed out."""
    c = draw_fixed(size)
    red_cross(c)
    return c


def removable_unit(c, x0, y0, x1, y1, depth):
    """A removable-media drive: one wide black slot, a red light and a row of grille marks."""
    box(c, x0, y0, x1, y1, depth)
    h = y1 - y0
    # The wide media slot, with a lip above and below.
    sy = y0 + h // 3
    c.rect(x0 + 4, sy - 2, x1 - 4, sy - 2, DARK_GREY)
    c.rect(x0 + 4, sy - 1, x1 - 4, sy + 2, BLACK)
    c.rect(x0 + 4, sy + 3, x1 - 3, sy + 3, WHITE)
    c.rect(x1 - 3, sy - 2, x1 - 3, sy + 2, WHITE)
    # Grille marks along the bottom left, the red light on the right.
    gy = y1 - 6
    for gx in range(x0 + 4, x0 + 4 + 2 * 8, 2):
        c.rect(gx, gy, gx, gy + 3, DARK_GREY)
        c.rect(gx + 1, gy, gx + 1, gy + 3, WHITE)
    light(c, x1 - 8, y1 - 5, 4, 2, RED_ON, RED_HI)


def draw_removable(size):
    c = Canvas(size)
    removable_unit(c, 0, 16, 39, 44, 8)
    return c


CABLE_LIGHT = grey(0x90)
CABLE_DARK = grey(0x30)
PLUG_LIGHT = (0xFF, 0xFF, 0x80)
PLUG = (0xF0, 0xE0, 0x00)
PLUG_DARK = (0x90, 0x80, 0x00)


def cable(c, y0, y1):
    """A round cable right across the picture between rows y0 and y1 (outline included),
    lit from above."""
    c.rect(0, y0, c.size - 1, y1, OUTLINE)
    c.vgradient(0, y0 + 1, c.size - 1, y1 - 1, CABLE_LIGHT, CABLE_DARK)


def plug(c, x0, y0, x1, y1):
    """The yellow connector block where the drive's lead meets the network cable."""
    c.rect(x0, y0, x1, y1, OUTLINE)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, PLUG)
    if y1 - y0 >= 6:
        c.bevel(x0 + 1, y0 + 1, x1 - 1, y1 - 1, PLUG_LIGHT, PLUG_DARK)
    else:  # too small for a bevel: just a shaded lower edge
        c.rect(x0 + 1, y1 - 1, x1 - 1, y1 - 1, PLUG_DARK)


# Geometry per size: drive unit (x0, y0, x1, y1, depth), lead (x0, x1), plug, cable rows.
NETWORK = {
    48: ((2, 11, 37, 31, 7), (17, 21), (12, 35, 26, 46), (37, 44)),
    32: ((1, 7, 24, 20, 5), (10, 13), (7, 23, 16, 30), (24, 29)),
    16: ((0, 4, 11, 10, 3), (4, 6), (3, 11, 8, 15), (12, 15)),
}


def draw_network(size):
    c = Canvas(size)
    unit, (lx0, lx1), (px0, py0, px1, py1), (cy0, cy1) = NETWORK[size]
    fixed_unit(c, *unit)
    # The lead from the bottom of the unit down into the connector.
    c.rect(lx0, unit[3], lx1, py0, OUTLINE)
    c.rect(lx0 + 1, unit[3] + 1, lx1 - 1, py0, CABLE_LIGHT)
    cable(c, cy0, cy1)
    plug(c, px0, py0, px1, py1)
    return c


# Compact disc: a silver disc with rainbow reflections, upright on a drive unit.
DISC_SILVER = grey(0xD4)
DISC_TRACKS = grey(0xBC)  # darker rings at the rim and around the hub
DISC_EDGE = grey(0x60)
DISC_HUB = (0xE8, 0xF0, 0xF8)
RAINBOW = [
    (0xF0, 0x40, 0x40),  # red
    (0xF8, 0xD8, 0x30),  # yellow
    (0x40, 0xD0, 0x40),  # green
    (0x40, 0xD8, 0xE8),  # cyan
    (0x50, 0x60, 0xF0),  # blue
    (0xD0, 0x50, 0xE0),  # magenta
]

# Geometry per size: drive unit (x0, y0, x1, y1, depth), disc centre and radius, hole and hub
# radius, half-width of each reflection in degrees.
CD = {
    48: ((0, 37, 40, 46, 6), (23.5, 16.5, 16.5), (2.5, 6.5), 26),
    32: ((0, 24, 26, 30, 4), (15.5, 11.0, 11.0), (1.5, 4.5), 28),
    16: ((0, 12, 12, 15, 3), (7.5, 6.5, 6.5), (0.5, 1.6), 34),
}


def cd_unit(c, x0, y0, x1, y1, depth):
    """A CD drive: the casing with a tray slot and a green light."""
    box(c, x0, y0, x1, y1, depth)
    h = y1 - y0
    if h >= 6:
        c.rect(x0 + 3, y0 + 3, x1 - 10, y0 + 3, SLOT)
        c.rect(x0 + 3, y0 + 4, x1 - 9, y0 + 4, WHITE)
        light(c, x1 - 6, y0 + 3, 3 if h >= 8 else 2, 1, GREEN_ON, GREEN_HI)
    else:
        c.rect(x0 + 2, y0 + 1, x1 - 4, y0 + 1, SLOT)
        c.put(x1 - 2, y0 + 1, GREEN_ON)


def disc(c, cx, cy, r, hole, hub, spread, bottom):
    """The disc seen face-on, cut off below row `bottom` where it stands in the drive."""

    def inside(x, y):
        return math.hypot(x + 0.5 - cx, y + 0.5 - cy) <= r

    for y in range(0, bottom + 1):
        for x in range(c.size):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            d = math.hypot(dx, dy)
            if d > r:
                continue
            # Angle measured anticlockwise from the right, in degrees, 0..360 (y is down).
            a = math.degrees(math.atan2(-dy, dx)) % 360
            if not all(inside(x + i, y + j) for i, j in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                col = OUTLINE  # a one-pixel rim
            elif d < hole:
                continue  # the hole shows the background
            elif d < hole + 1 and hole > 1:
                col = DISC_EDGE
            elif d < hub:
                col = DISC_HUB
            elif d < hub + 1:
                col = DISC_EDGE
            else:
                # Two opposite rainbow reflections, one towards the light (upper left) and
                # one away from it, each a fan of spectrum colours; elsewhere plain silver.
                off = (a - 135 + 90) % 180 - 90  # signed angle from the nearer reflection
                if abs(off) < spread:
                    col = RAINBOW[int((off + spread) / (2 * spread) * len(RAINBOW))]
                elif r >= 10 and (d > r - 2.5 or d < hub + 2):
                    col = DISC_TRACKS
                else:
                    col = DISC_SILVER
            c.put(x, y, col)


def draw_cd(size):
    c = Canvas(size)
    unit, (cx, cy, r), (hole, hub), spread = CD[size]
    cd_unit(c, *unit)
    disc(c, cx, cy, r, hole, hub, spread, unit[1] - unit[4] // 2)
    return c


# Program icon: a plain window with a title strip, casting a shadow to the lower right. From
# 48 pixels up, the menu icons also show what the window holds: a drive unit, lines of details
# and the bar of free space.
# Geometry per size: window frame, title strip height, shadow offset, line width.
WINDOW = {
    16: ((0, 0, 13, 13), 3, 2, 1),
    32: ((0, 1, 28, 28), 5, 3, 1),
    48: ((0, 2, 43, 43), 7, 4, 1),
    64: ((0, 2, 58, 58), 9, 5, 1),
    128: ((0, 4, 117, 117), 18, 10, 2),
    256: ((0, 8, 235, 235), 36, 20, 4),
}
# Contents per size: drive unit (x0, y0, x1, y1, depth), lines of details (x0, x1, row), bar of
# free space (x0, y0, x1, y1) with the free share's width.
WINDOW_CONTENTS = {
    48: ((12, 17, 29, 27, 4), [], ((5, 32, 38, 38), 11)),
    64: ((16, 23, 37, 36, 5), [(6, 38, 41), (6, 30, 44)], ((6, 48, 52, 53), 15)),
    128: ((34, 44, 75, 68, 8), [(12, 90, 77), (12, 70, 83), (12, 80, 89)],
          ((12, 97, 105, 107), 30)),
    256: ((70, 90, 150, 138, 16), [(24, 180, 154), (24, 140, 166), (24, 160, 178)],
          ((24, 194, 211, 215), 60)),
}
DETAILS = DARK_GREY
FREE_BLUE = (0x00, 0x00, 0xFF)
USED_BLUE = (0x00, 0x00, 0x80)


def thick_frame(c, x0, y0, x1, y1, w, col):
    c.rect(x0, y0, x1, y0 + w - 1, col)
    c.rect(x0, y1 - w + 1, x1, y1, col)
    c.rect(x0, y0, x0 + w - 1, y1, col)
    c.rect(x1 - w + 1, y0, x1, y1, col)


def space_bar(c, x0, y0, x1, y1, free, w):
    """The bar of free space, sunk into the window: free share bright blue from the left, the
    used rest dark blue."""
    c.rect(x0, y0, x1, y0 + w - 1, DARK_GREY)
    c.rect(x0, y0, x0 + w - 1, y1, DARK_GREY)
    c.rect(x0 + w, y1 - w + 1, x1, y1, WHITE)
    c.rect(x1 - w + 1, y0 + w, x1, y1, WHITE)
    c.rect(x0 + w, y0 + w, x1 - w, y1 - w, USED_BLUE)
    c.rect(x0 + w, y0 + w, x0 + w + free - 1, y1 - w, FREE_BLUE)


def draw_window(size, mono):
    c = Canvas(size)
    (x0, y0, x1, y1), title, off, w = WINDOW[size]
    if mono:  # two colours: the shadow is a 50 % dot pattern, the title strip solid black
        for y in range(y0 + off, y1 + off + 1):
            for x in range(x0 + off, x1 + off + 1):
                c.put(x, y, BLACK if (x + y) % 2 == 0 else WHITE)
    else:
        c.rect(x0 + off, y0 + off, x1 + off, y1 + off, DARK_GREY)
    thick_frame(c, x0, y0, x1, y1, w, OUTLINE)
    c.rect(x0 + w, y0 + w, x1 - w, y1 - w, WHITE)
    c.rect(x0 + w, y0 + w, x1 - w, y0 + w + title - 1, BLACK if mono else CYAN)
    c.rect(x0 + w, y0 + w + title, x1 - w, y0 + 2 * w + title - 1, OUTLINE)
    if size in WINDOW_CONTENTS and not mono:
        unit, details, (bar, free) = WINDOW_CONTENTS[size]
        fixed_unit(c, *unit)
        for lx0, lx1, row in details:
            c.rect(lx0, row, lx1, row + w - 1, DETAILS)
        space_bar(c, *bar, free, w)
    return c


# ---------------------------------------------------------------------------------------------
# Palette reduction
# ---------------------------------------------------------------------------------------------


class Image:
    """One icon image: palette, one palette index per pixel (rows top-down) and a mask
    (True = transparent)."""

    def __init__(self, size, bpp, palette, indices, mask):
        self.size, self.bpp = size, bpp
        self.palette, self.indices, self.mask = palette, indices, mask


def nearest(palette, c):
    """Index of the closest palette colour; the lowest index wins a tie."""
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = sum((a - b) ** 2 for a, b in zip(p, c))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def to_fixed_palette(canvas, bpp, palette):
    cache = {}
    indices, mask = [], []
    for c in canvas.px:
        if c is None:
            indices.append(0)  # black under the mask leaves the background untouched
            mask.append(True)
        else:
            if c not in cache:
                cache[c] = nearest(palette, c)
            indices.append(cache[c])
            mask.append(False)
    return Image(canvas.size, bpp, list(palette), indices, mask)


def to_own_palette(canvas):
    """256-colour image: the palette is black (for the masked pixels) followed by the colours
    the drawing uses, darkest first."""
    colours = sorted({c for c in canvas.px if c is not None and c != BLACK},
                     key=lambda c: (299 * c[0] + 587 * c[1] + 114 * c[2], c))
    palette = [BLACK] + colours
    if len(palette) > 256:
        raise SystemExit(f"drawing uses {len(palette)} colours, more than 256")
    palette += [BLACK] * (256 - len(palette))
    index = {c: i for i, c in enumerate(palette[: 1 + len(colours)])}
    indices = [0 if c is None else index[c] for c in canvas.px]
    mask = [c is None for c in canvas.px]
    return Image(canvas.size, 8, palette, indices, mask)


def render(draw, size, bpp):
    if bpp == 8:
        return to_own_palette(draw(size))
    if bpp == 4:
        return to_fixed_palette(draw(size), 4, VGA16)
    return to_fixed_palette(draw(size), 1, MONO)


# ---------------------------------------------------------------------------------------------
# .ico writer
# ---------------------------------------------------------------------------------------------


def row_stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def pack_row(values, bpp, stride):
    out = bytearray(stride)
    per_byte = 8 // bpp
    for i, v in enumerate(values):
        shift = 8 - bpp * (i % per_byte + 1)
        out[i // per_byte] |= v << shift
    return bytes(out)


def dib(image):
    n = image.size
    xor_stride, and_stride = row_stride(n, image.bpp), row_stride(n, 1)
    xor_bits, and_bits = bytearray(), bytearray()
    for y in reversed(range(n)):  # bottom-up
        row = slice(y * n, (y + 1) * n)
        xor_bits += pack_row(image.indices[row], image.bpp, xor_stride)
        and_bits += pack_row([1 if m else 0 for m in image.mask[row]], 1, and_stride)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, image.bpp, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in image.palette)
    assert len(image.palette) == 1 << image.bpp
    return header + table + bytes(xor_bits) + bytes(and_bits)


def ico_bytes(images):
    blobs = [dib(im) for im in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for im, blob in zip(images, blobs):
        colours = 1 << im.bpp if im.bpp < 8 else 0
        out += struct.pack("<BBBBHHII", im.size % 256, im.size % 256, colours, 0, 1, im.bpp,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# PNG previews
# ---------------------------------------------------------------------------------------------

PREVIEW_BACKGROUND = grey(0xD4)


def png_bytes(width, height, rows, alpha=False):
    """PNG of rows of (r, g, b) pixels, or of (r, g, b, a) pixels when alpha is set."""

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in rows)
    colour_type = 6 if alpha else 2
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview_rows(image, scale, background=PREVIEW_BACKGROUND):
    n = image.size
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            i = y * n + x
            px = background if image.mask[i] else image.palette[image.indices[i]]
            row += [px] * scale
        rows += [row] * scale
    return rows


def write_previews(directory, name, images):
    os.makedirs(directory, exist_ok=True)
    stem = os.path.splitext(name)[0]
    for k, im in enumerate(images):
        for scale in (1, 4):
            suffix = "" if scale == 1 else "@4x"
            path = os.path.join(directory,
                                f"{stem}-{k}-{im.size}x{im.size}-{im.bpp}bpp{suffix}.png")
            with open(path, "wb") as f:
                f.write(png_bytes(im.size * scale, im.size * scale, preview_rows(im, scale)))
    # One sheet per file: every image side by side at 400 %, then at 100 % below.
    gap, scale = 8, 4
    width = sum(im.size * scale + gap for im in images) + gap
    height = gap + max(im.size for im in images) * (scale + 1) + 2 * gap
    sheet = [[PREVIEW_BACKGROUND] * width for _ in range(height)]
    x = gap
    for im in images:
        for s, top in ((scale, gap), (1, gap * 2 + max(i.size for i in images) * scale)):
            for j, row in enumerate(preview_rows(im, s)):
                sheet[top + j][x:x + len(row)] = row
        x += im.size * scale + gap
    with open(os.path.join(directory, f"{stem}-sheet.png"), "wb") as f:
        f.write(png_bytes(width, height, sheet))


# ---------------------------------------------------------------------------------------------
# The files, image by image in file order.
#
# The drive pictures are loaded by taking the largest image of a file and, among images of the
# same size, the first one. So at each size the 256-colour image comes first - except in
# drive_none.ico, where the 16-colour image with the red cross must be the one on screen.
# The program icon goes through QIcon, which picks the deepest image of each size, so its order
# only follows the classic layout (monochrome first).
# ---------------------------------------------------------------------------------------------


def window(size):
    return draw_window(size, mono=False)


def mono_window(size):
    return draw_window(size, mono=True)


ICONS = [
    ("drive_fixed.ico", [(draw_fixed, 48, 8), (draw_fixed, 48, 4)]),
    ("drive_none.ico", [(draw_none, 48, 4), (draw_fixed, 48, 8)]),
    ("drive_removable.ico", [(draw_removable, 48, 8), (draw_removable, 48, 4)]),
    ("drive_network.ico", [(draw_network, s, b) for s in (16, 32, 48) for b in (8, 4)]),
    ("drive_cd.ico", [(draw_cd, s, b) for s in (16, 32, 48) for b in (8, 4)]),
    ("volscope.ico", [(mono_window, 32, 1), (window, 32, 4), (window, 16, 4)]),
]


# The program icon for desktop menus and launchers (the freedesktop hicolor theme): full colour
# with transparency, every size drawn on its own canvas rather than scaled. 16 and 32 are the
# pictures of volscope.ico.
HICOLOR_SIZES = (16, 32, 48, 64, 128, 256)


def hicolor_png(size):
    c = window(size)
    rows = [[(0, 0, 0, 0) if px is None else px + (0xFF,) for px in c.px[y * size:(y + 1) * size]]
            for y in range(size)]
    return png_bytes(size, size, rows, alpha=True)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.dirname(os.path.abspath(__file__)),
                        help="directory for the .ico files and hicolor/ (default: next to this "
                        "script)")
    parser.add_argument("--preview", metavar="DIR", help="also write PNG previews into DIR")
    args = parser.parse_args(argv)
    for name, recipe in ICONS:
        images = [render(draw, size, bpp) for draw, size, bpp in recipe]
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(ico_bytes(images))
        if args.preview:
            write_previews(args.preview, name, images)
    for size in HICOLOR_SIZES:
        folder = os.path.join(args.out, "hicolor", f"{size}x{size}")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "volscope.png"), "wb") as f:
            f.write(hicolor_png(size))


if __name__ == "__main__":
    main(sys.argv[1:])
