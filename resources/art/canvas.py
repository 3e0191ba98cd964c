"""A square of RGB pixels to draw on, the colours the pictures share, and the grid that draws a
picture designed on 48 pixels at a larger size: positions and areas grow with the size, lines
grow in whole pixels, so every size is drawn at its own pixels rather than scaled."""

import math

BLACK = (0x00, 0x00, 0x00)
WHITE = (0xFF, 0xFF, 0xFF)
DARK_GREY = (0x80, 0x80, 0x80)
RED = (0xFF, 0x00, 0x00)
DARK_RED = (0x80, 0x00, 0x00)
CYAN = (0x00, 0xFF, 0xFF)
OUTLINE = BLACK


def grey(v):
    return (v, v, v)


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1), rounded to whole channel values."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


class Canvas:
    """A square of RGB pixels; None is a transparent pixel. Drawing outside it is cut off."""

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

    def frame(self, x0, y0, x1, y1, c, w=1):
        """The border of a rectangle, w pixels wide, inside the rectangle's corners."""
        self.rect(x0, y0, x1, y0 + w - 1, c)
        self.rect(x0, y1 - w + 1, x1, y1, c)
        self.rect(x0, y0, x0 + w - 1, y1, c)
        self.rect(x1 - w + 1, y0, x1, y1, c)

    def bevel(self, x0, y0, x1, y1, light, dark, w=1):
        """Raised edge, w pixels wide: light along the top and left, dark along the bottom and
        right."""
        self.rect(x0, y0, x1, y0 + w - 1, light)
        self.rect(x0, y0, x0 + w - 1, y1, light)
        self.rect(x0 + w, y1 - w + 1, x1, y1, dark)
        self.rect(x1 - w + 1, y0 + w, x1, y1, dark)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        for y in range(y0, y1 + 1):
            t = 0 if y1 == y0 else (y - y0) / (y1 - y0)
            self.rect(x0, y, x1, y, mix(top, bottom, t))


class Grid:
    """Where the pixels of a picture designed on a grid of `design` pixels fall at `size`
    pixels. at() and end() place the first and the last pixel of a run, so that runs that touch
    on the design touch at every size; line is the width of a one-pixel line, a whole number of
    pixels (one up to 1.75 times the design, two from there)."""

    def __init__(self, size, design=48):
        self.k = size / design
        self.line = 1 if self.k < 1.75 else 2

    def at(self, v):
        return int(math.floor(v * self.k + 0.5))

    def end(self, v):
        return self.at(v + 1) - 1

    def length(self, v):
        return max(1, self.at(v))

    def rect(self, x0, y0, x1, y1):
        """A rectangle of the design (corners inclusive) at this size."""
        return self.at(x0), self.at(y0), self.end(x1), self.end(y1)
