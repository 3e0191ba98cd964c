#!/usr/bin/env python3
"""Draws Volscope's drive pictures and program icon and writes them as Windows .ico files.

The drawings in art/ are the source of the art: every picture is built on a small RGB canvas
from rectangles, bevels, gradients, diagonal bands and circles, at each of its sizes on a canvas
of that size (nothing is scaled), then reduced to a palette and written by hand as an icon file
(art/files.py). The program icon is also written in full colour as PNGs for the desktop's
hicolor icon theme.

    python3 resources/make_icons.py                  # rewrites the .ico and hicolor PNG files
    python3 resources/make_icons.py --preview DIR    # also writes PNG previews into DIR

Only the Python standard library is used, and the output is byte-for-byte reproducible.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from art.drives import (draw_cd, draw_fixed, draw_network, draw_none, draw_ram,  # noqa: E402
                        draw_removable, draw_unknown)
from art.files import ico_bytes, png_bytes, render, write_previews  # noqa: E402
from art.window import CONTENTS, draw_mono_window, draw_window  # noqa: E402

# The sizes of a drive picture: 48 pixels at 96 dots per inch and the same picture at 120, 144
# and 192 (the scales 1.25, 1.5 and 2), which the windows pick from for the screen they are on.
SCALED = (48, 60, 72, 96)
# The program icon's small (16) and large (32) pictures at the same scales.
PROGRAM_SIZES = (16, 20, 24, 32, 40, 48, 64)


def drive(draw, sizes=SCALED, crossed_first=False):
    """The images of a drive picture in file order: at each size its 256-colour image, then its
    16-colour one (the other way round when the 16-colour image is the one to show)."""
    depths = (4, 8) if crossed_first else (8, 4)
    return [(draw, size, bpp) for size in sizes for bpp in depths]


# The files, image by image in file order. The windows show, of the images of the size they
# want, the first one: so the 256-colour image comes first at each size, except in
# drive_none.ico, where the 16-colour image with the red cross must be the one on screen (its
# 256-colour image is the plain fixed disk). The program icon goes through QIcon and LoadImage,
# which pick the deepest image of each size, so its order only follows the classic layout
# (monochrome first, then large to small).
ICONS = [
    ("drive_fixed.ico", drive(draw_fixed)),
    ("drive_none.ico", [(draw_none if bpp == 4 else draw_fixed, size, bpp)
                        for _, size, bpp in drive(draw_none, crossed_first=True)]),
    ("drive_removable.ico", drive(draw_removable)),
    ("drive_network.ico", drive(draw_network, (16, 32) + SCALED)),
    ("drive_cd.ico", drive(draw_cd, (16, 32) + SCALED)),
    ("drive_ram.ico", drive(draw_ram)),
    ("drive_unknown.ico", drive(draw_unknown)),
    ("volscope.ico", [(draw_mono_window, 32, 1)] +
     [(draw_window, size, 8 if size in CONTENTS else 4)
      for size in sorted(PROGRAM_SIZES, reverse=True)]),
]

# The program icon for desktop menus and launchers (the freedesktop hicolor theme): full colour
# with transparency, every size drawn on its own canvas. "@2" folders hold the pictures for
# screens at twice the density, drawn at twice the pixels.
HICOLOR = [(size, 1) for size in (16, 24, 32, 48, 64, 128, 256)] + \
          [(size, 2) for size in (16, 24, 32, 48)]


def hicolor_folder(size, scale):
    return f"{size}x{size}" + (f"@{scale}" if scale > 1 else "")


def hicolor_png(pixels):
    c = draw_window(pixels)
    rows = [[(0, 0, 0, 0) if px is None else px + (0xFF,)
             for px in c.px[y * pixels:(y + 1) * pixels]] for y in range(pixels)]
    return png_bytes(pixels, pixels, rows, alpha=True)


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
    for size, scale in HICOLOR:
        folder = os.path.join(args.out, "hicolor", hicolor_folder(size, scale))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "volscope.png"), "wb") as f:
            f.write(hicolor_png(size * scale))


if __name__ == "__main__":
    main(sys.argv[1:])
