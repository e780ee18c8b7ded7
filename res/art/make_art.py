#!/usr/bin/python3
"""Draws Tovemar's toolbar bitmap and program icon.

Writes Toolbar.bmp (80 x 15, five 16 x 15 button images, 16 colours), its
twice-as-large set Toolbar32.bmp (160 x 30, for 144 DPI and up) and
Tovemar.ico next to this script: 32 x 32 and 16 x 16 in 16 colours and the
same two pictures in 32-bit colour with alpha (which a true-colour display
takes), and 20, 24, 40, 48, 64 and 256 pixels in 32-bit colour for larger
scales (the largest PNG-compressed, as the format allows for it). The files
are committed, so the build does not redraw them; run this script again
after changing a picture.

Pictures are drawn as text, one character per pixel; PALETTE_KEYS names the
colour of each character. In the toolbar '.' is the silver button face (the
toolbar maps it to the system's button colour); in the icons '.' is
transparent.
"""

import os
import struct
import zlib

# The standard 16-colour palette, in its usual order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

PALETTE_KEYS = {
    'k': 0,   # black
    'G': 2,   # green
    'n': 4,   # navy
    's': 7,   # silver
    'g': 8,   # grey
    'L': 10,  # lime
    'b': 12,  # blue
    'w': 15,  # white
    '.': 7,   # toolbar: button face (silver); icons: transparent
}

# Toolbar buttons, left to right in the toolbar's order.
REFRESH = """
................
......GGGG......
....GGGGGGGG....
...GGG....GGG...
..GGG......GGG..
.........GGGGGGG
...G......GGGGG.
..GGG......GGG..
.GGGGG......G...
GGGGGGG.........
..GGG......GGG..
...GGG....GGG...
....GGGGGGGG....
......GGGG......
................
"""

UPDATE_FLOPPIES = """
................
.kkkkkkkkkkkkk..
.knnggggggnnnk..
.knnggkkggnnnk..
.knnggkkggnnnk..
.knnggggggnnnk..
.knnnnnnnnnnnk..
.knwwwwwwwwwnk..
.knwgggggggwnk..
.knwwwwwwwwwnk..
.knwgggggggwnk..
.knwwwwwwwwwnk..
.knwwwwwwwwwnk..
.kkkkkkkkkkkkk..
................
"""

UPDATE_REMOVABLES = """
................
................
................
................
.kkkkkkkkkk.....
.kbbbbbbbbkkkkk.
.kbbbbbbbbkwwwk.
.kbbLbbbbbkwkwk.
.kbbbbbbbbkwwwk.
.kbbbbbbbbkkkkk.
.kkkkkkkkkk.....
................
................
................
................
"""

SELECT_DRIVES = """
................
.kkkkkkkkkkkkkk.
.kwwwwGwwwwwwwk.
.kwGwGwwkkkkkwk.
.kwwGwwwwwwwwwk.
.kwwwwwwwwwwwwk.
.kwwwwwwwwwwwwk.
.kwwwwwwkkkkkwk.
.kwwwwwwwwwwwwk.
.kwwwwwwwwwwwwk.
.kwwwwGwwwwwwwk.
.kwGwGwwkkkkkwk.
.kwwGwwwwwwwwwk.
.kkkkkkkkkkkkkk.
................
"""

ABOUT = """
................
.....nnnnn......
...nnbbbbbnn....
..nnbbwwwbbnn...
..nbbbwwwbbbn...
.nbbbbbbbbbbbn..
.nbbbwwwwbbbbn..
.nbbbbwwwbbbbn..
.nbbbbwwwbbbbn..
.nbbbbwwwbbbbn..
..nbbwwwwwbbn...
..nnbbbbbbbnn...
...nnbbbbbnn....
.....nnnnn......
................
"""

TOOLBAR_BUTTONS = [REFRESH, UPDATE_FLOPPIES, UPDATE_REMOVABLES, SELECT_DRIVES, ABOUT]
BUTTON_WIDTH, BUTTON_HEIGHT = 16, 15

# The program icon: a disk drive whose front carries a usage bar, blue for
# the used share and white for the free space, beside a green activity light.
ICON_32 = """
................................
................................
................................
................................
................................
....kkkkkkkkkkkkkkkkkkkkkkkk....
...kwwwwwwwwwwwwwwwwwwwwwwwwk...
..kssssssssssssssssssssssssssk..
.kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.
.kwwwwwwwwwwwwwwwwwwwwwwwwwwwgk.
.kwssssssssssssssssssssssssssgk.
.kwssssssssssssssssssssssssssgk.
.kwskkkkkkkkkkkkkkkkkkkksssssgk.
.kwskbbbbbbbbbbbbwwwwwwksssssgk.
.kwskbbbbbbbbbbbbwwwwwwkskkkkgk.
.kwskbbbbbbbbbbbbwwwwwwkskLLkgk.
.kwskbbbbbbbbbbbbwwwwwwkskLLkgk.
.kwskbbbbbbbbbbbbwwwwwwkskkkkgk.
.kwskbbbbbbbbbbbbwwwwwwksssssgk.
.kwskbbbbbbbbbbbbwwwwwwksssssgk.
.kwskkkkkkkkkkkkkkkkkkkksssssgk.
.kwssssssssssssssssssssssssssgk.
.kwssgsgsgsgsgsgsgsgsgsssssssgk.
.kwssssssssssssssssssssssssssgk.
.ksgggggggggggggggggggggggggggk.
.kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.
................................
................................
................................
................................
................................
................................
"""

ICON_16 = """
................
................
..kkkkkkkkkkkk..
.kwwwwwwwwwwwwk.
kkkkkkkkkkkkkkkk
kwwwwwwwwwwwwwgk
kwkkkkkkkkksssgk
kwkbbbbwwwksssgk
kwkbbbbwwwksLLgk
kwkbbbbwwwksLLgk
kwkkkkkkkkksssgk
kwssssssssssssgk
ksgggggggggggggk
kkkkkkkkkkkkkkkk
................
................
"""


def parse(art, width, height):
    """The art as rows of palette indices and rows of transparency flags."""
    rows = [line for line in art.strip('\n').split('\n')]
    if len(rows) != height or any(len(r) != width for r in rows):
        raise ValueError('picture is not %d x %d' % (width, height))
    colours = [[PALETTE_KEYS[c] for c in r] for r in rows]
    clear = [[c == '.' for c in r] for r in rows]
    return colours, clear


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def pack_4bpp(rows):
    """Bottom-up 4-bit rows, each padded to a multiple of four bytes."""
    out = b''
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, len(row), 2):
            low = row[i + 1] if i + 1 < len(row) else 0
            line.append(row[i] << 4 | low)
        line += b'\0' * (-len(line) % 4)
        out += bytes(line)
    return out


def pack_1bpp(rows):
    """Bottom-up 1-bit rows, each padded to a multiple of four bytes."""
    out = b''
    for row in reversed(rows):
        line = bytearray((len(row) + 7) // 8)
        for x, bit in enumerate(row):
            if bit:
                line[x // 8] |= 0x80 >> (x % 8)
        line += b'\0' * (-len(line) % 4)
        out += bytes(line)
    return out


def info_header(width, height, image_size, colours_used):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, image_size, 0, 0,
                       colours_used, 0)


def scale2x(rows):
    """The picture at twice the size, diagonal edges smoothed (EPX): each pixel
    becomes four, and a corner takes the colour of its two neighbours where
    they agree and the other two differ."""
    height, width = len(rows), len(rows[0])

    def at(x, y):
        return rows[min(max(y, 0), height - 1)][min(max(x, 0), width - 1)]

    out = [[0] * (2 * width) for _ in range(2 * height)]
    for y in range(height):
        for x in range(width):
            p, a, b, c, d = at(x, y), at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return out


def toolbar_bitmap(scale=1):
    height = BUTTON_HEIGHT * scale
    rows = [[] for _ in range(height)]
    for art in TOOLBAR_BUTTONS:
        colours, _ = parse(art, BUTTON_WIDTH, BUTTON_HEIGHT)
        if scale == 2:
            colours = scale2x(colours)
        for y in range(height):
            rows[y] += colours[y]
    width = len(rows[0])
    pixels = pack_4bpp(rows)
    offset = 14 + 40 + 16 * 4
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info_header(width, height, len(pixels), 16) + palette_bytes() + pixels


def icon_image(art, size):
    colours, clear = parse(art, size, size)
    # Transparent pixels: black in the colour image, set in the mask.
    colours = [[0 if t else c for c, t in zip(cr, tr)] for cr, tr in zip(colours, clear)]
    xor = pack_4bpp(colours)
    mask = pack_1bpp(clear)
    return info_header(size, size * 2, len(xor) + len(mask), 0) + palette_bytes() + xor + mask


def rgba_rows(art, size):
    """The picture as rows of (red, green, blue, alpha)."""
    colours, clear = parse(art, size, size)
    return [[(0, 0, 0, 0) if t else PALETTE[c] + (255,) for c, t in zip(cr, tr)]
            for cr, tr in zip(colours, clear)]


def resample(rows, size):
    """The picture at `size` pixels: each new pixel the area-weighted mean of
    the pixels it covers, colours weighted by their alpha."""
    source = len(rows)
    scale = source / size

    def spans(i):
        start, end = i * scale, (i + 1) * scale
        return [(j, min(end, j + 1) - max(start, j)) for j in range(int(start), min(source, int(end) + 1))
                if min(end, j + 1) > max(start, j)]

    out = []
    for y in range(size):
        line = []
        for x in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy, wy in spans(y):
                for sx, wx in spans(x):
                    r, g, b, a = rows[sy][sx]
                    w = wx * wy * a
                    total[0] += r * w
                    total[1] += g * w
                    total[2] += b * w
                    total[3] += wx * wy * a
            alpha = total[3] / (scale * scale)
            colour = [round(c / total[3]) if total[3] else 0 for c in total[:3]]
            line.append(tuple(colour) + (round(alpha),))
        out.append(line)
    return out


def icon_image_32bpp(rows):
    size = len(rows)
    pixels = b''.join(struct.pack('<BBBB', b, g, r, a) for row in reversed(rows) for r, g, b, a in row)
    mask = pack_1bpp([[a == 0 for _, _, _, a in row] for row in rows])
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0,
                         0, 0)
    return header + pixels + mask


def png_image(rows):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    size = len(rows)
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def icon_file():
    # The larger pictures come from the 32-pixel one doubled (smoothly) to 64
    # and to 128, and 256 by plain doubling; each size is taken from the
    # smallest of these that is at least as large.
    x64 = [[p for p in row] for row in scale2x_rgba(rgba_rows(ICON_32, 32))]
    x128 = scale2x_rgba(x64)
    x256 = [[p for p in row for _ in range(2)] for row in x128 for _ in range(2)]
    full = {32: rgba_rows(ICON_32, 32), 64: x64, 256: x256}
    images = [(32, 16, 4, icon_image(ICON_32, 32)), (16, 16, 4, icon_image(ICON_16, 16)),
              (32, 0, 32, icon_image_32bpp(full[32])),
              (16, 0, 32, icon_image_32bpp(rgba_rows(ICON_16, 16)))]
    for size in (20, 24, 40, 48, 64):
        source = full[min(s for s in full if s >= size)]
        images.append((size, 0, 32, icon_image_32bpp(resample(source, size))))
    images.append((256, 0, 32, png_image(x256)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, _, _, data in images)


def scale2x_rgba(rows):
    """scale2x on pixels given as colours rather than palette indices."""
    colours = sorted({p for row in rows for p in row})
    index = {c: i for i, c in enumerate(colours)}
    return [[colours[i] for i in row] for row in scale2x([[index[p] for p in row] for row in rows])]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, 'Toolbar.bmp'), 'wb') as f:
        f.write(toolbar_bitmap())
    with open(os.path.join(here, 'Toolbar32.bmp'), 'wb') as f:
        f.write(toolbar_bitmap(2))
    with open(os.path.join(here, 'Tovemar.ico'), 'wb') as f:
        f.write(icon_file())


if __name__ == '__main__':
    main()
