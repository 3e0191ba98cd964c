"""The drive pictures. Each is designed on 48 pixels and drawn at the size asked for (48, 60, 72
and 96 pixels, the scales 1, 1.25, 1.5 and 2) through a Grid; the network drive and the CD-ROM
drive also have their own small designs at 16 and 32 pixels.

A drive unit is an oblique box seen from the front, the top and the right (light from the top
left): the front face (x0, y0)-(x1, y1) includes its outline, and the top and the right side
recede by `depth` pixels at 45 degrees."""

import math

from art.canvas import (BLACK, DARK_GREY, DARK_RED, OUTLINE, RED, WHITE, Canvas, Grid, grey,
                        mix)

TOP_BACK = grey(0xDC)
TOP_FRONT = grey(0xCC)
FRONT_TOP = grey(0xD0)
FRONT_BOTTOM = grey(0xB0)
SIDE_BACK = grey(0x94)
SIDE_FRONT = grey(0x84)
SHADOW = grey(0x70)
SLOT = grey(0x20)
RIM = grey(0x30)
GREEN_ON = (0x00, 0xE0, 0x00)
GREEN_HI = (0xA0, 0xFF, 0xA0)
RED_ON = (0xE0, 0x00, 0x00)
RED_HI = (0xFF, 0xA0, 0xA0)


def box(c, x0, y0, x1, y1, depth, w):
    """The bare casing in pixels of the canvas, shaded and outlined w pixels wide; the callers
    add slots and lights to the front."""
    for i in range(1, depth + 1):  # top face: row y0 - i runs from x0 + i to x1 + i
        t = (i - 1) / max(1, depth - 1)
        c.rect(x0 + i, y0 - i, x1 + i, y0 - i, mix(TOP_FRONT, TOP_BACK, t))
    for i in range(1, depth + 1):  # right side: column x1 + i runs from y0 - i to y1 - i
        t = (i - 1) / max(1, depth - 1)
        for y in range(y0 - i, y1 - i + 1):
            ty = (y - (y0 - i)) / max(1, y1 - y0)
            c.put(x1 + i, y, mix(mix(SIDE_FRONT, SIDE_BACK, t), SHADOW, ty * 0.6))
    c.vgradient(x0, y0, x1, y1, FRONT_TOP, FRONT_BOTTOM)
    c.bevel(x0 + w, y0 + w, x1 - w, y1 - w, WHITE, DARK_GREY, w)
    # Silhouette: the front rectangle, the two receding top corners and the back edges.
    c.frame(x0, y0, x1, y1, OUTLINE, w)
    for i in range(1, depth + 1):
        c.rect(x0 + i, y0 - i, x0 + i + w - 1, y0 - i, OUTLINE)  # top-left edge
        c.rect(x1 + i, y1 - i - w + 1, x1 + i, y1 - i, OUTLINE)  # bottom-right edge
        ridge = WHITE if i < depth else OUTLINE  # the top-right ridge catches the light
        c.rect(x1 + i, y0 - i, x1 + i, y0 - i + w - 1, ridge)
    c.rect(x0 + depth, y0 - depth, x1 + depth, y0 - depth + w - 1, OUTLINE)  # back of the top
    c.rect(x1 + depth - w + 1, y0 - depth, x1 + depth, y1 - depth, OUTLINE)  # back of the side


def unit_box(c, g, x0, y0, x1, y1, depth):
    """The casing of a unit given on the design grid."""
    X0, Y0, X1, Y1 = g.rect(x0, y0, x1, y1)
    box(c, X0, Y0, X1, Y1, g.length(depth), g.line)
    return X0, Y0, X1, Y1


def slot(c, x0, y, x1, w):
    """A thin horizontal slot cut into the front: shaded upper edge, lit lower and right lip."""
    c.rect(x0, y - w, x1, y - 1, DARK_GREY)
    c.rect(x0, y, x1, y + w - 1, SLOT)
    c.rect(x0, y + w, x1 + w, y + 2 * w - 1, WHITE)
    c.rect(x1 + 1, y - w, x1 + w, y + w - 1, WHITE)


def light(c, x, y, width, height, on, hi, w):
    """A small indicator lamp with a dark rim and a highlight in its top-left corner."""
    c.frame(x - w, y - w, x + width + w - 1, y + height + w - 1, RIM, w)
    c.rect(x, y, x + width - 1, y + height - 1, on)
    c.rect(x, y, x + w - 1, y + w - 1, hi)


def fixed_unit(c, g, x0, y0, x1, y1, depth):
    """A fixed hard-disk unit: two slots and a green light."""
    unit_box(c, g, x0, y0, x1, y1, depth)
    h = y1 - y0
    inner0, inner1 = x0 + 3, x1 - 3
    if h >= 12:
        for row in (y0 + h // 4 + 1, y0 + h // 2 + 1):
            slot(c, g.at(inner0), g.at(row), g.end(inner1 - 1), g.line)
        lw = max(2, (x1 - x0) // 10)
        lx = g.at(inner1 - lw)
        light(c, lx, g.at(y1 - 4), g.at(inner1) - lx, g.length(2 if h >= 16 else 1), GREEN_ON,
              GREEN_HI, g.line)
    else:  # 16x16 and the small units: one pixel per detail
        c.rect(inner0 - 1, y0 + 2, inner1, y0 + 2, SLOT)
        c.rect(inner0 - 1, y0 + 4, inner1 - 3, y0 + 4, SLOT)
        c.rect(x1 - 3, y0 + 4, x1 - 2, y0 + 4, GREEN_ON)


FIXED = (0, 16, 39, 44, 8)


def draw_fixed(size):
    c = Canvas(size)
    fixed_unit(c, Grid(size), *FIXED)
    return c


def red_cross(c, g):
    """A large diagonal cross over the whole picture: red arms with a dark red rim. Each arm is
    the band of pixels near a diagonal, cut square near the corners."""
    n, margin, half, rim = c.size, g.at(2), g.at(3), g.line
    for y in range(n):
        for x in range(n):
            # Distance across and position along each arm (both in diagonal pixel steps).
            arms = ((x - y, x + y), (x + y - (n - 1), x - y + (n - 1)))
            across = [abs(d) for d, along in arms
                      if 2 * margin <= along <= 2 * (n - 1 - margin) and abs(d) <= half + rim]
            if across:
                c.put(x, y, RED if min(across) <= half else DARK_RED)


def draw_none(size):
    """"No such drive": the fixed disk, crossed out."""
    c = draw_fixed(size)
    red_cross(c, Grid(size))
    return c


def removable_unit(c, g, x0, y0, x1, y1, depth):
    """A removable-media drive: one wide black slot, a red light and a row of grille marks."""
    unit_box(c, g, x0, y0, x1, y1, depth)
    w, h = g.line, y1 - y0
    # The wide media slot, with a lip above and below.
    left, right = g.at(x0 + 4), g.end(x1 - 4)
    top, bottom = g.at(y0 + h // 3 - 1), g.end(y0 + h // 3 + 2)
    c.rect(left, top - w, right, top - 1, DARK_GREY)
    c.rect(left, top, right, bottom, BLACK)
    c.rect(left, bottom + 1, right + w, bottom + w, WHITE)
    c.rect(right + 1, top - w, right + w, bottom, WHITE)
    # Grille marks along the bottom left, as many as fit the design's width at this size.
    gy0, gy1 = g.at(y1 - 6), g.end(y1 - 3)
    for i in range(round(8 * g.k / w)):
        gx = g.at(x0 + 4) + 2 * w * i
        c.rect(gx, gy0, gx + w - 1, gy1, DARK_GREY)
        c.rect(gx + w, gy0, gx + 2 * w - 1, gy1, WHITE)
    lx, ly = g.at(x1 - 8), g.at(y1 - 5)
    light(c, lx, ly, g.at(x1 - 4) - lx, g.at(y1 - 3) - ly, RED_ON, RED_HI, w)


def draw_removable(size):
    c = Canvas(size)
    removable_unit(c, Grid(size), *FIXED)
    return c


CABLE_LIGHT = grey(0x90)
CABLE_DARK = grey(0x30)
PLUG_LIGHT = (0xFF, 0xFF, 0x80)
PLUG = (0xF0, 0xE0, 0x00)
PLUG_DARK = (0x90, 0x80, 0x00)

# Designs: drive unit (x0, y0, x1, y1, depth), lead (x0, x1), plug, cable rows; the 48-pixel
# design is drawn at every size from 48 up.
NETWORK = {
    48: ((2, 11, 37, 31, 7), (17, 21), (12, 35, 26, 46), (37, 44)),
    32: ((1, 7, 24, 20, 5), (10, 13), (7, 23, 16, 30), (24, 29)),
    16: ((0, 4, 11, 10, 3), (4, 6), (3, 11, 8, 15), (12, 15)),
}


def design(designs, size):
    """The design a picture is drawn from at `size`, and the grid that places it."""
    if size in designs and size < 48:
        return designs[size], Grid(size, size)
    return designs[48], Grid(size)


def draw_network(size):
    """The fixed disk standing on a network cable, with a yellow connector."""
    c = Canvas(size)
    (unit, (lx0, lx1), plug, (cy0, cy1)), g = design(NETWORK, size)
    w = g.line
    fixed_unit(c, g, *unit)
    px0, py0, px1, py1 = g.rect(*plug)
    # The lead from the bottom of the unit down into the connector.
    bottom, left, right = g.end(unit[3]), g.at(lx0), g.end(lx1)
    c.rect(left, bottom, right, py0, OUTLINE)
    c.rect(left + w, bottom + w, right - w, py0, CABLE_LIGHT)
    # The round cable right across the picture, lit from above.
    top, low = g.at(cy0), g.end(cy1)
    c.rect(0, top, size - 1, low, OUTLINE)
    c.vgradient(0, top + w, size - 1, low - w, CABLE_LIGHT, CABLE_DARK)
    # The connector block where the drive's lead meets the cable.
    c.rect(px0, py0, px1, py1, OUTLINE)
    c.rect(px0 + w, py0 + w, px1 - w, py1 - w, PLUG)
    if plug[3] - plug[1] >= 6:
        c.bevel(px0 + w, py0 + w, px1 - w, py1 - w, PLUG_LIGHT, PLUG_DARK, w)
    else:  # too small for a bevel: just a shaded lower edge
        c.rect(px0 + 1, py1 - 1, px1 - 1, py1 - 1, PLUG_DARK)
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

# Designs: drive unit (x0, y0, x1, y1, depth), disc centre and radius, hole and hub radius,
# half-width of each reflection in degrees.
CD = {
    48: ((0, 37, 40, 46, 6), (23.5, 16.5, 16.5), (2.5, 6.5), 26),
    32: ((0, 24, 26, 30, 4), (15.5, 11.0, 11.0), (1.5, 4.5), 28),
    16: ((0, 12, 12, 15, 3), (7.5, 6.5, 6.5), (0.5, 1.6), 34),
}


def cd_unit(c, g, x0, y0, x1, y1, depth):
    """A CD drive: the casing with a tray slot and a green light."""
    unit_box(c, g, x0, y0, x1, y1, depth)
    w, h = g.line, y1 - y0
    if h >= 6:
        row = g.at(y0 + 3)
        c.rect(g.at(x0 + 3), row, g.end(x1 - 10), row + w - 1, SLOT)
        c.rect(g.at(x0 + 3), row + w, g.end(x1 - 9), row + 2 * w - 1, WHITE)
        lx = g.at(x1 - 6)
        light(c, lx, row, g.at(x1 - 6 + (3 if h >= 8 else 2)) - lx, w, GREEN_ON, GREEN_HI, w)
    else:
        c.rect(x0 + 2, y0 + 1, x1 - 4, y0 + 1, SLOT)
        c.put(x1 - 2, y0 + 1, GREEN_ON)


def disc(c, cx, cy, r, hole, hub, spread, bottom, w):
    """The disc seen face-on, cut off below row `bottom` where it stands in the drive; its rim
    and the edges of the hole and the hub are w pixels wide."""

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
            if not all(inside(x + i, y + j) for i, j in ((w, 0), (-w, 0), (0, w), (0, -w))):
                col = OUTLINE
            elif d < hole:
                continue  # the hole shows the background
            elif d < hole + w and hole > w:
                col = DISC_EDGE
            elif d < hub:
                col = DISC_HUB
            elif d < hub + w:
                col = DISC_EDGE
            else:
                # Two opposite rainbow reflections, one towards the light (upper left) and one
                # away from it, each a fan of spectrum colours; elsewhere plain silver.
                off = (a - 135 + 90) % 180 - 90  # signed angle from the nearer reflection
                if abs(off) < spread:
                    col = RAINBOW[int((off + spread) / (2 * spread) * len(RAINBOW))]
                elif r >= 10 and (d > r - 2.5 * w or d < hub + 2 * w):
                    col = DISC_TRACKS
                else:
                    col = DISC_SILVER
            c.put(x, y, col)


def draw_cd(size):
    c = Canvas(size)
    (unit, (cx, cy, r), (hole, hub), spread), g = design(CD, size)
    cd_unit(c, g, *unit)
    bottom = g.at(unit[1]) - g.length(unit[4]) // 2
    disc(c, cx * g.k, cy * g.k, r * g.k, hole * g.k, hub * g.k, spread, bottom, g.line)
    return c


# RAM disk: a memory module, a green circuit board with black chips and gold contacts, lying
# on its shadow.
BOARD = (0x18, 0x88, 0x38)
BOARD_LIGHT = (0x50, 0xC0, 0x68)
BOARD_DARK = (0x08, 0x50, 0x20)
CHIP = grey(0x1C)
CHIP_LIGHT = grey(0x58)
PIN = grey(0xC8)
GOLD = (0xE8, 0xB8, 0x30)
GOLD_DARK = (0x98, 0x70, 0x10)
RAM_BOARD = (1, 14, 44, 37)  # the board, outline included
RAM_SHADOW = 3


def draw_ram(size):
    c = Canvas(size)
    g = Grid(size)
    w = g.line
    x0, y0, x1, y1 = g.rect(*RAM_BOARD)
    s = g.length(RAM_SHADOW)
    c.rect(x0 + s, y0 + s, x1 + s, y1 + s, SHADOW)
    c.rect(x0, y0, x1, y1, BOARD)
    c.bevel(x0 + w, y0 + w, x1 - w, y1 - w, BOARD_LIGHT, BOARD_DARK, w)
    c.frame(x0, y0, x1, y1, OUTLINE, w)
    # Four chips, each with a lit upper edge, a notch mark and its pins: one pixel wide and two
    # apart at every size, so that a larger picture has more of them.
    for i in range(4):
        cx0, cy0, cx1, cy1 = g.rect(4 + 10 * i, 17, 11 + 10 * i, 27)
        for px in range(cx0 + 1, cx1, 2):
            c.rect(px, cy0 - w, px, cy0 - 1, PIN)
            c.rect(px, cy1 + 1, px, cy1 + w, PIN)
        c.rect(cx0, cy0, cx1, cy1, CHIP)
        c.rect(cx0, cy0, cx1, cy0 + w - 1, CHIP_LIGHT)
        mx, my = g.at(5 + 10 * i), g.at(19)
        c.rect(mx, my, mx + w - 1, my + w - 1, CHIP_LIGHT)
    # Gold contacts along the lower edge, two pixels wide and one apart at every size, broken by
    # the key notch.
    fy0, fy1 = g.at(31), g.end(35)
    left, right = g.at(4), g.end(42)
    notch0, _, notch1, _ = g.rect(21, 0, 23, 0)
    for fx in range(left, right, 3):
        if fx + 1 < notch0 - w or fx > notch1 + w:
            c.rect(fx, fy0, fx + 1, fy1, GOLD)
            c.rect(fx, fy1 - w + 1, fx + 1, fy1, GOLD_DARK)
    nx0, _, nx1, _ = g.rect(21, 0, 23, 0)
    c.rect(nx0, g.at(33), nx1, y1, None)  # the notch is cut out of the board
    c.rect(nx0 - w, g.at(33), nx0 - 1, y1, OUTLINE)
    c.rect(nx1 + 1, g.at(33), nx1 + w, y1, OUTLINE)
    c.rect(nx0 - w, g.at(33) - w, nx1 + w, g.at(33) - 1, OUTLINE)
    return c


# A drive of unknown kind: a plain unit without slots or light, marked with a large blue
# question mark. The mark is a ring open at its lower left, a stem and a dot, with a black rim.
QUESTION = (0x20, 0x48, 0xE8)
QUESTION_CENTRE = (20.0, 19.0)


def question_mark(u, v):
    """Whether the design point (u, v) lies in the question mark."""
    cx, cy = QUESTION_CENTRE
    du, dv = u - cx, v - cy
    d = math.hypot(du, dv)
    a = math.degrees(math.atan2(-dv, du))  # -180..180, anticlockwise from the right
    ring = 4.5 <= d <= 9.5 and a >= -90
    stem = abs(du) <= 2.5 and cy + 4.5 <= v <= cy + 14.5
    dot = math.hypot(du, v - (cy + 19.5)) <= 2.8
    return ring or stem or dot


def draw_unknown(size):
    c = Canvas(size)
    g = Grid(size)
    unit_box(c, g, *FIXED)
    inside = [[question_mark((x + 0.5) / g.k, (y + 0.5) / g.k) for x in range(size)]
              for y in range(size)]
    w = g.line
    for y in range(size):
        for x in range(size):
            if inside[y][x]:
                c.put(x, y, QUESTION)
            elif any(inside[j][i] for j in range(max(0, y - w), min(size, y + w + 1))
                     for i in range(max(0, x - w), min(size, x + w + 1))):
                c.put(x, y, OUTLINE)
    return c
