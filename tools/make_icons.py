#!/usr/bin/python3
"""Draws the application icon: a gold knight of the main piece set on a blue board tile.

Run from anywhere (Debian packages python3-pil and fonts-dejavu-core):
    /usr/bin/python3 tools/make_icons.py
It rewrites resources/icons/gambitron-N.png for N in SIZES and resources/icons/gambitron.svg.

The knight is the outline glyph U+2658 of DejaVu Sans, read straight from the font's outlines, so the
SVG and the PNGs share one geometry. Like the main piece set, the inside of the outline is filled with a
gold gradient lit from the upper left and the lines are a dark brown ink. Each PNG is rasterised at its
own size rather than scaled down from a big one: small sizes get a thicker line and a larger piece, so
the knight still reads as a knight at 16 px. Reruns give the same bytes.
"""
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter

FONT = '/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf'
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
OUT = os.path.join(ROOT, 'resources', 'icons')
NAME = 'gambitron'
KNIGHT = 0x2658
SIZES = (16, 32, 48, 64, 128, 256)
SS = 8  # supersampling factor of the PNGs

# Colours of the main piece set (gold pieces) and a board tile in the blue of the other side.
GOLD_LIGHT, GOLD_DARK = (255, 238, 150), (200, 140, 24)
INK = (62, 40, 4)
TILE_LIGHT, TILE_DARK = (74, 112, 214), (22, 50, 164)
TILE_EDGE = (8, 14, 52)

# Per size, in pixels of that size: tile inset and corner radius, piece height, ink line width.
# Below 48 px the tile fills the icon and the piece nearly fills the tile.
LAYOUT = {16: (0, 3, 15, 1.0), 32: (1, 5, 28, 1.7), 48: (2, 7, 41, 2.2),
          64: (3, 9, 54, 2.6), 128: (6, 18, 104, 4.0), 256: (12, 36, 206, 6.0)}


class Font:
    """The few TrueType tables needed to read one glyph's outline: head, cmap (format 4), loca, glyf."""

    def __init__(self, path):
        with open(path, 'rb') as f:
            self.data = f.read()
        count = struct.unpack_from('>H', self.data, 4)[0]
        self.tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack_from('>4sIII', self.data, 12 + 16 * i)
            self.tables[tag.decode('ascii')] = (offset, length)
        head = self.tables['head'][0]
        self.units_per_em = struct.unpack_from('>H', self.data, head + 18)[0]
        self.long_loca = struct.unpack_from('>h', self.data, head + 50)[0] == 1

    def glyph_index(self, codepoint):
        cmap = self.tables['cmap'][0]
        count = struct.unpack_from('>H', self.data, cmap + 2)[0]
        for i in range(count):
            platform, encoding, offset = struct.unpack_from('>HHI', self.data, cmap + 4 + 8 * i)
            sub = cmap + offset
            if platform == 3 and encoding == 1 and struct.unpack_from('>H', self.data, sub)[0] == 4:
                return self._format4(sub, codepoint)
        raise ValueError('no Unicode BMP character map')

    def _format4(self, sub, codepoint):
        segs = struct.unpack_from('>H', self.data, sub + 6)[0] // 2
        ends = sub + 14
        starts = ends + 2 * segs + 2
        deltas = starts + 2 * segs
        ranges = deltas + 2 * segs
        for s in range(segs):
            end, start = (struct.unpack_from('>H', self.data, a + 2 * s)[0] for a in (ends, starts))
            if not start <= codepoint <= end:
                continue
            delta = struct.unpack_from('>h', self.data, deltas + 2 * s)[0]
            range_offset = struct.unpack_from('>H', self.data, ranges + 2 * s)[0]
            if range_offset == 0:
                return (codepoint + delta) & 0xFFFF
            at = ranges + 2 * s + range_offset + 2 * (codepoint - start)
            glyph = struct.unpack_from('>H', self.data, at)[0]
            return (glyph + delta) & 0xFFFF if glyph else 0
        return 0

    def contours(self, codepoint):
        """The glyph's contours in font units, each a list of (x, y, on_curve)."""
        index = self.glyph_index(codepoint)
        loca = self.tables['loca'][0]
        if self.long_loca:
            start, end = struct.unpack_from('>II', self.data, loca + 4 * index)
        else:
            start, end = (2 * v for v in struct.unpack_from('>HH', self.data, loca + 2 * index))
        at = self.tables['glyf'][0] + start
        n = struct.unpack_from('>h', self.data, at)[0]
        if end == start or n < 0:
            raise ValueError('U+%04X is empty or composite' % codepoint)
        ends = struct.unpack_from('>%dH' % n, self.data, at + 10)
        points = ends[-1] + 1
        p = at + 10 + 2 * n
        p += 2 + struct.unpack_from('>H', self.data, p)[0]  # skip the hinting instructions
        flags = []
        while len(flags) < points:
            flag = self.data[p]
            p += 1
            repeat = 0
            if flag & 8:
                repeat = self.data[p]
                p += 1
            flags += [flag] * (repeat + 1)
        coords = []
        for short, same in ((2, 16), (4, 32)):
            value, values = 0, []
            for flag in flags:
                if flag & short:
                    step = self.data[p]
                    p += 1
                    value += step if flag & same else -step
                elif not flag & same:
                    value += struct.unpack_from('>h', self.data, p)[0]
                    p += 2
                values.append(value)
            coords.append(values)
        result, first = [], 0
        for last in ends:
            result.append([(coords[0][i], coords[1][i], bool(flags[i] & 1)) for i in range(first, last + 1)])
            first = last + 1
        return result


def segments(contour):
    """A closed contour as a start point and a list of ('L', p) and ('Q', control, p) steps."""
    pts = contour
    if not pts[0][2]:
        # Start on an on-curve point: the last one if it is, else the midpoint of the first two.
        if pts[-1][2]:
            pts = [pts[-1]] + pts[:-1]
        else:
            mid = ((pts[-1][0] + pts[0][0]) / 2, (pts[-1][1] + pts[0][1]) / 2, True)
            pts = [mid] + pts
    start = pts[0][:2]
    steps, control = [], None
    for x, y, on in pts[1:] + [pts[0]]:
        if on:
            steps.append(('Q', control, (x, y)) if control else ('L', (x, y)))
            control = None
        elif control:
            mid = ((control[0] + x) / 2, (control[1] + y) / 2)
            steps.append(('Q', control, mid))
            control = (x, y)
        else:
            control = (x, y)
    return start, steps


def bbox(contour):
    xs = [p[0] for p in contour]
    ys = [p[1] for p in contour]
    return min(xs), min(ys), max(xs), max(ys)


class Knight:
    """The outline glyph placed in a square of side `side`, `height` tall, centred both ways."""

    def __init__(self, font, side, height):
        self.side = side
        self.contours = font.contours(KNIGHT)
        x0, y0, x1, y1 = bbox([p for c in self.contours for p in c])
        self.scale = height / (y1 - y0)
        self.dx = (side - (x1 - x0) * self.scale) / 2 - x0 * self.scale
        self.dy = (side + height) / 2 + y0 * self.scale  # font y grows upwards
        # The outer contour encloses all others; filling it alone gives the solid silhouette.
        self.outer = max(range(len(self.contours)),
                         key=lambda i: (lambda b: (b[2] - b[0]) * (b[3] - b[1]))(bbox(self.contours[i])))

    def map(self, p):
        return p[0] * self.scale + self.dx, self.dy - p[1] * self.scale

    def svg_path(self, which):
        out = []
        for i in which:
            start, steps = segments(self.contours[i])
            out.append('M%.2f %.2f' % self.map(start))
            for step in steps:
                if step[0] == 'L':
                    out.append('L%.2f %.2f' % self.map(step[1]))
                else:
                    out.append('Q%.2f %.2f %.2f %.2f' % (self.map(step[1]) + self.map(step[2])))
            out.append('Z')
        return ''.join(out)

    def polygon(self, i, factor):
        """Contour i flattened, in pixels scaled by factor."""
        start, steps = segments(self.contours[i])
        pts, here = [self.map(start)], start
        for step in steps:
            if step[0] == 'L':
                pts.append(self.map(step[1]))
            else:
                c, end = step[1], step[2]
                for k in range(1, 9):
                    t = k / 8
                    pts.append(self.map(((1 - t) ** 2 * here[0] + 2 * t * (1 - t) * c[0] + t * t * end[0],
                                         (1 - t) ** 2 * here[1] + 2 * t * (1 - t) * c[1] + t * t * end[1])))
            here = step[-1]
        return [(x * factor, y * factor) for x, y in pts]

    def mask(self, n, which):
        """Even-odd fill of the given contours as an L image of side n (the supersampled square)."""
        out = Image.new('1', (n, n), 0)
        for i in which:
            layer = Image.new('1', (n, n), 0)
            ImageDraw.Draw(layer).polygon(self.polygon(i, n / self.side), fill=1)
            out = ImageChops.logical_xor(out, layer)
        return out.convert('L')


def diagonal(n, light, dark):
    """Square of side n lit from the upper left, darkening towards the lower right."""
    ramp = Image.linear_gradient('L').resize((n, n))
    diag = ImageChops.add(ramp, ramp.rotate(90), scale=2.0)
    return Image.merge('RGB', [diag.point(lambda v, a=light[i], b=dark[i]: round(a + (b - a) * v / 255))
                               for i in range(3)])


def tile_mask(n, inset, radius):
    mask = Image.new('L', (n, n), 0)
    ImageDraw.Draw(mask).rounded_rectangle((inset, inset, n - 1 - inset, n - 1 - inset), radius, fill=255)
    return mask


def render_png(font, size):
    inset, radius, height, line = LAYOUT[size]
    n = size * SS
    knight = Knight(font, size, height)
    # Tile: blue gradient, a 2 x 2 checker in two blues, a thin dark edge.
    tile = diagonal(n, TILE_LIGHT, TILE_DARK)
    shade = Image.new('L', (n, n), 0)
    half = n // 2
    ImageDraw.Draw(shade).rectangle((half, 0, n, half), fill=40)
    ImageDraw.Draw(shade).rectangle((0, half, half, n), fill=40)
    tile = Image.composite(Image.new('RGB', (n, n), TILE_DARK), tile, shade)
    outer = tile_mask(n, inset * SS, radius * SS)
    inner = tile_mask(n, inset * SS + max(SS, round(line * SS / 2)), max(radius * SS - SS, 0))
    img = Image.composite(tile, Image.new('RGB', (n, n), TILE_EDGE), inner)
    # Piece: gold under the silhouette, ink on the glyph's lines thickened to the line width.
    silhouette = knight.mask(n, [knight.outer])
    lines = knight.mask(n, range(len(knight.contours)))
    grow = max(1, round(line * SS)) | 1
    lines = lines.filter(ImageFilter.MaxFilter(grow)) if grow > 1 else lines
    rim = silhouette.filter(ImageFilter.MaxFilter(grow))
    ink = ImageChops.lighter(lines, ImageChops.subtract(rim, silhouette))
    gold = diagonal(n, GOLD_LIGHT, GOLD_DARK)
    img = Image.composite(gold, img, silhouette)
    img = Image.composite(Image.new('RGB', (n, n), INK), img, ink)
    alpha = ImageChops.lighter(outer, ImageChops.lighter(rim, silhouette))
    img.putalpha(alpha)
    return img.resize((size, size), Image.BOX)


def svg(font):
    side = 256
    inset, radius, height, line = LAYOUT[side]
    knight = Knight(font, side, height)
    everything = knight.svg_path(range(len(knight.contours)))
    silhouette = knight.svg_path([knight.outer])
    a, b = inset, side - inset
    edge = max(1.0, line / 2)  # as wide as the PNGs' dark edge
    # The two darker squares of the checker: the upper right and lower left quarters of the inner tile.
    lo, hi, r, m = a + edge, b - edge, radius - edge, side / 2
    checker = (f'M{m} {lo}H{hi - r}A{r} {r} 0 0 1 {hi} {lo + r}V{m}H{m}Z'
               f'M{lo} {m}H{m}V{hi}H{lo + r}A{r} {r} 0 0 1 {lo} {hi - r}Z')
    return f'''<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{side}" height="{side}" viewBox="0 0 {side} {side}">
  <title>Gambitron</title>
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="rgb{TILE_LIGHT}"/>
      <stop offset="1" stop-color="rgb{TILE_DARK}"/>
    </linearGradient>
    <linearGradient id="gold" gradientUnits="userSpaceOnUse" x1="{a}" y1="{a}" x2="{b}" y2="{b}">
      <stop offset="0" stop-color="rgb{GOLD_LIGHT}"/>
      <stop offset="1" stop-color="rgb{GOLD_DARK}"/>
    </linearGradient>
  </defs>
  <rect x="{a}" y="{a}" width="{b - a}" height="{b - a}" rx="{radius}" fill="rgb{TILE_EDGE}"/>
  <rect x="{a + edge}" y="{a + edge}" width="{b - a - 2 * edge}" height="{b - a - 2 * edge}" rx="{radius - edge}"
        fill="url(#tile)"/>
  <path d="{checker}" fill="rgb{TILE_DARK}" fill-opacity="{40 / 255:.3f}"/>
  <path d="{silhouette}" fill="url(#gold)" stroke="rgb{INK}" stroke-width="{line:.1f}"
        stroke-linejoin="round"/>
  <path d="{everything}" fill="rgb{INK}" stroke="rgb{INK}" stroke-width="{line:.1f}" stroke-linejoin="round"/>
</svg>
'''


def main():
    os.makedirs(OUT, exist_ok=True)
    font = Font(FONT)
    for size in SIZES:
        render_png(font, size).save(os.path.join(OUT, '%s-%d.png' % (NAME, size)), optimize=True)
    with open(os.path.join(OUT, NAME + '.svg'), 'w', encoding='utf-8') as f:
        f.write(svg(font))
    return 0


if __name__ == '__main__':
    sys.exit(main())
