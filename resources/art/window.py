"""The program icon: a plain window with a title strip, casting a shadow to the lower right, at
any size. From 48 pixels up, the menu icons also show what the window holds: a drive unit, lines
of details and the bar of free space."""

from art.canvas import BLACK, CYAN, DARK_GREY, OUTLINE, WHITE, Canvas, Grid
from art.drives import fixed_unit

# Contents per size: drive unit (x0, y0, x1, y1, depth), lines of details (x0, x1, row), bar of
# free space (x0, y0, x1, y1) with the free share's width.
CONTENTS = {
    48: ((12, 17, 29, 27, 4), [], ((5, 32, 38, 38), 11)),
    64: ((16, 23, 37, 36, 5), [(6, 38, 41), (6, 30, 44)], ((6, 48, 52, 53), 15)),
    96: ((25, 33, 56, 51, 6), [(9, 68, 58), (9, 52, 63), (9, 60, 68)], ((9, 74, 79, 81), 22)),
    128: ((34, 44, 75, 68, 8), [(12, 90, 77), (12, 70, 83), (12, 80, 89)],
          ((12, 97, 105, 107), 30)),
    256: ((70, 90, 150, 138, 16), [(24, 180, 154), (24, 140, 166), (24, 160, 178)],
          ((24, 194, 211, 215), 60)),
}
DETAILS = DARK_GREY
FREE_BLUE = (0x00, 0x00, 0xFF)
USED_BLUE = (0x00, 0x00, 0x80)


def geometry(n):
    """The window frame (x0, y0, x1, y1), title strip height, shadow offset and line width of
    the icon at n pixels."""
    w = max(1, round(n / 64))
    off = n // 16 + w
    return (0, round(n / 32), n - off - 1, n - off - 1), n // 8 + w, off, w


def space_bar(c, x0, y0, x1, y1, free, w):
    """The bar of free space, sunk into the window: free share bright blue from the left, the
    used rest dark blue."""
    c.rect(x0, y0, x1, y0 + w - 1, DARK_GREY)
    c.rect(x0, y0, x0 + w - 1, y1, DARK_GREY)
    c.rect(x0 + w, y1 - w + 1, x1, y1, WHITE)
    c.rect(x1 - w + 1, y0 + w, x1, y1, WHITE)
    c.rect(x0 + w, y0 + w, x1 - w, y1 - w, USED_BLUE)
    c.rect(x0 + w, y0 + w, x0 + w + free - 1, y1 - w, FREE_BLUE)


def draw_window(size, mono=False):
    c = Canvas(size)
    (x0, y0, x1, y1), title, off, w = geometry(size)
    if mono:  # two colours: the shadow is a 50 % dot pattern, the title strip solid black
        for y in range(y0 + off, y1 + off + 1):
            for x in range(x0 + off, x1 + off + 1):
                c.put(x, y, BLACK if (x + y) % 2 == 0 else WHITE)
    else:
        c.rect(x0 + off, y0 + off, x1 + off, y1 + off, DARK_GREY)
    c.frame(x0, y0, x1, y1, OUTLINE, w)
    c.rect(x0 + w, y0 + w, x1 - w, y1 - w, WHITE)
    c.rect(x0 + w, y0 + w, x1 - w, y0 + w + title - 1, BLACK if mono else CYAN)
    c.rect(x0 + w, y0 + w + title, x1 - w, y0 + 2 * w + title - 1, OUTLINE)
    if size in CONTENTS and not mono:
        unit, details, (bar, free) = CONTENTS[size]
        fixed_unit(c, Grid(size, size), *unit)
        for lx0, lx1, row in details:
            c.rect(lx0, row, lx1, row + w - 1, DETAILS)
        space_bar(c, *bar, free, w)
    return c


def draw_mono_window(size):
    return draw_window(size, mono=True)
