"""Pictures as files: a drawing reduced to the 16-colour Windows palette (4 bpp), to black and
white (1 bpp) or to a 256-colour palette of its own colours (8 bpp); written as an icon file by
hand (ICONDIR, ICONDIRENTRY and one BITMAPINFOHEADER DIB per image: colour table, XOR bitmap,
1-bit AND mask) or as a PNG, and the PNG previews of an icon file's images."""

import os
import struct
import zlib

from art.canvas import BLACK, grey

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
