#!/usr/bin/python3
"""Draws the two piece sets of the board from the DejaVu Sans chess glyphs.

Run from the repository root (Debian packages python3-pil and fonts-dejavu-core):
    /usr/bin/python3 tools/make_piecesets.py
It rewrites resources/SETVORNEL40.bmp (8-bit, palette) and resources/MainPieces.bmp (24-bit), and
their drawings for screens with 2 and 3 device pixels per pixel, SETVORNEL40@2x.png, @3x.png,
MainPieces@2x.png and @3x.png: the same pieces from the same glyphs, drawn at 2 and 3 times the size
rather than enlarged, so that they stay sharp. The output depends only on the font file and Pillow's
rasteriser, so reruns give the same bytes.

Layout of a set: 6 columns (pawn, knight, bishop, rook, queen, king) x 4 rows of 40 x 40 cells:
white colour images, white masks, black colour images, black masks. A mask is black on the
piece and white elsewhere; the board draws through it with a hard 1-bit cut, so every piece is
drawn at 8x, its mask is the thresholded solid silhouette, and the colour pixels on the rim of
the mask are set to the outline colour so that edges stay crisp over any square colour.
"""
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf'
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
OUT = os.path.join(ROOT, 'resources')

S = 8            # supersampling factor
C = 40           # cell side
BASE = 37        # bottom row of every piece (exclusive), leaving a 3-pixel margin
KINDS = 'PNBRQK'
OUTLINE_GLYPH = {'K': 0x2654, 'Q': 0x2655, 'R': 0x2656, 'B': 0x2657, 'N': 0x2658, 'P': 0x2659}
SOLID_OFFSET = 6  # U+265A..U+265F are the filled forms
# The font draws all six glyphs equally tall; real sets grade them from pawn to king.
HEIGHT = {'P': 26, 'N': 31, 'B': 32, 'R': 28, 'Q': 34, 'K': 35}
# Ink height of a chess glyph relative to the font size, measured on DejaVu Sans.
INK_PER_EM = 234 / 320


def glyph_layers(kind, k=1):
    """Outline glyph, solid glyph and solid silhouette (L images, C*k*S square), placed in the cell."""
    C = globals()['C'] * k
    size = round(HEIGHT[kind] * k * S / INK_PER_EM)
    font = ImageFont.truetype(FONT, size)
    big = C * S * 2
    drawn = []
    for cp in (OUTLINE_GLYPH[kind], OUTLINE_GLYPH[kind] + SOLID_OFFSET):
        im = Image.new('L', (big, big), 0)
        ImageDraw.Draw(im).text((big // 4, big // 8), chr(cp), font=font, fill=255)
        drawn.append(im)
    x0, y0, x1, y1 = drawn[0].getbbox()
    # Centred on the middle pixel boundary, so that symmetric pieces stay symmetric after reduction.
    dx = (C * S - (x1 - x0)) // 2 - x0
    dy = BASE * k * S - y1
    outline, solid = [], []
    for im, dst in zip(drawn, (outline, solid)):
        cell = Image.new('L', (C * S, C * S), 0)
        cell.paste(im, (dx, dy))
        dst.append(cell)
    outline, solid = outline[0], solid[0]
    ink = ImageChops.lighter(outline, solid).point(lambda v: 255 if v >= 128 else 0)
    # Whatever a flood from the corner cannot reach lies inside the piece.
    flood = ink.copy()
    ImageDraw.floodfill(flood, (0, 0), 128)
    silhouette = flood.point(lambda v: 0 if v == 128 else 255)
    return outline, solid, silhouette


def gradient(light, dark, k=1):
    """Fill lit from the upper left, darkening towards the lower right."""
    n = C * k * S
    ramp = Image.linear_gradient('L').resize((n, n))
    diag = ImageChops.add(ramp, ramp.rotate(90), scale=2.0)  # (x + y) / 2 in 0..255
    return Image.merge('RGB', [diag.point(lambda v, a=light[i], b=dark[i]: round(a + (b - a) * v / 255))
                               for i in range(3)])


def solid_rgb(colour, k=1):
    return Image.new('RGB', (C * k * S, C * k * S), colour)


def render(kind, fill, ink, dark_body=None, weight=3, k=1):
    """One piece as (RGB C x C image, C x C list of booleans: the mask), C the cell side at scale k.

    Light pieces: the fill under the outline glyph. Dark pieces (dark_body given): the solid glyph
    as the body, and the gaps it leaves inside the silhouette show the fill as fine light lines.
    At scale k the lines thicken and the rim widens by k, so the larger drawing looks the same.
    """
    C = globals()['C'] * k
    outline, solid, silhouette = glyph_layers(kind, k)
    weight = (weight - 1) * k + 1
    if dark_body is None:
        lines = outline.filter(ImageFilter.MaxFilter(weight)) if weight > 1 else outline
        img = Image.composite(solid_rgb(ink, k), fill, lines)
    else:
        img = Image.composite(dark_body, fill, solid)
    # Ink outside the silhouette, so that partly covered pixels darken when reduced.
    img = Image.composite(img, solid_rgb(ink, k), silhouette)
    small = img.resize((C, C), Image.BOX)
    cover = silhouette.resize((C, C), Image.BOX)
    mask = [[cover.getpixel((x, y)) >= 128 for x in range(C)] for y in range(C)]
    px = small.load()
    steps = [(dx, dy) for d in range(1, k + 1) for dx, dy in ((d, 0), (-d, 0), (0, d), (0, -d))]
    for y in range(C):
        for x in range(C):
            if mask[y][x] and any(not (0 <= x + dx < C and 0 <= y + dy < C and mask[y + dy][x + dx])
                                  for dx, dy in steps):
                px[x, y] = ink
    return small, mask


def assemble(pieces, background, k=1):
    """pieces[side][column] = (image, mask); background(kind) gives the colour outside the piece."""
    C = globals()['C'] * k
    out = Image.new('RGB', (6 * C, 4 * C), (255, 255, 255))
    px = out.load()
    for side in range(2):
        for j, kind in enumerate(KINDS):
            image, mask = pieces[side][j]
            ipx = image.load()
            bg = background(kind)
            ox, oy = j * C, 2 * side * C
            for y in range(C):
                for x in range(C):
                    px[ox + x, oy + y] = ipx[x, y] if mask[y][x] else bg
                    px[ox + x, oy + C + y] = (0, 0, 0) if mask[y][x] else (255, 255, 255)
    return out


def to_palette(rgb, fixed):
    """8-bit copy of rgb whose palette holds the fixed colours exactly and the rest adaptively."""
    pieces = rgb.quantize(colors=256 - len(fixed), method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    adaptive = pieces.getpalette()[:3 * (256 - len(fixed))]
    palette = [c for colour in fixed for c in colour] + adaptive
    palette += [0] * (768 - len(palette))
    holder = Image.new('P', (1, 1))
    holder.putpalette(palette)
    return rgb.quantize(palette=holder, dither=Image.Dither.NONE)


BROWN = (128, 80, 40)
PALE_GREEN = (200, 232, 190)


def builtin_set(k=1):
    ivory = gradient((255, 255, 248), (222, 212, 186), k)
    ebony = gradient((82, 72, 64), (18, 15, 14), k)
    light_lines = solid_rgb((214, 204, 186), k)
    white = [render(p, ivory, (0, 0, 0), k=k) for p in KINDS]
    black = [render(p, light_lines, (20, 16, 16), dark_body=ebony, k=k) for p in KINDS]
    rgb = assemble([white, black], lambda p: PALE_GREEN if p == 'Q' else BROWN, k)
    return to_palette(rgb, [(0, 0, 0), (255, 255, 255), BROWN, PALE_GREEN, (20, 16, 16)])


def main_set(k=1):
    gold = gradient((255, 238, 150), (200, 140, 24), k)
    blue = gradient((130, 168, 255), (22, 50, 164), k)
    white = [render(p, gold, (62, 40, 4), weight=5, k=k) for p in KINDS]
    black = [render(p, blue, (8, 14, 52), weight=5, k=k) for p in KINDS]
    return assemble([white, black], lambda p: (255, 255, 255), k)


def main():
    os.makedirs(OUT, exist_ok=True)
    builtin_set().save(os.path.join(OUT, 'SETVORNEL40.bmp'))
    main_set().save(os.path.join(OUT, 'MainPieces.bmp'))
    for k in (2, 3):
        builtin_set(k).save(os.path.join(OUT, f'SETVORNEL40@{k}x.png'), optimize=True)
        main_set(k).save(os.path.join(OUT, f'MainPieces@{k}x.png'), optimize=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
