#!/usr/bin/env python3
"""Draws the picture buttons of gambitron-lite into resources/buttons/.

Each picture is drawn at four times its size and scaled down, which gives clean anti-aliased edges:
take back and replay (curved arrows), snapshot (camera), turn the board (board with a double arrow),
save (diskette), new game (a pawn with a plus), all 24 x 24, and open (folder), 16 x 16.  Needs Debian's python3-pil.
Each also gets a NAME@2x.png of twice the size, reduced from the same large drawing, for screens with
two device pixels per pixel.
"""
import math
import os

from PIL import Image, ImageDraw

SCALE = 4
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "buttons")

OUTLINE = (40, 52, 70, 255)
GREEN = (46, 140, 60, 255)
BLUE = (40, 100, 190, 255)
GREY = (120, 130, 140, 255)
LIGHT = (235, 238, 242, 255)
GOLD = (232, 180, 60, 255)
GOLD_DARK = (170, 120, 30, 255)


def canvas(size):
    img = Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))
    return img, ImageDraw.Draw(img)


def finish(img, size, name):
    img.resize((size, size), Image.LANCZOS).save(os.path.join(OUT, name), optimize=True)
    stem, ext = os.path.splitext(name)
    img.resize((2 * size, 2 * size), Image.LANCZOS).save(os.path.join(OUT, stem + "@2x" + ext), optimize=True)


def s(v):
    return round(v * SCALE)


def arrow_head(d, tip, direction, length, width, colour):
    """A filled triangle pointing along direction (radians) with its tip at tip."""
    tx, ty = tip
    back = (tx - length * math.cos(direction), ty - length * math.sin(direction))
    nx, ny = -math.sin(direction), math.cos(direction)
    d.polygon([tip, (back[0] + nx * width, back[1] + ny * width), (back[0] - nx * width, back[1] - ny * width)],
              fill=colour)


def curved_arrow(mirror, colour, name):
    size = 24
    img, d = canvas(size)
    # A hook: a U-turn arc on the right, a straight run at the bottom, the head at the top left.
    cx, cy, r, w = s(14), s(12.5), s(6.5), s(3)
    d.arc([cx - r, cy - r, cx + r, cy + r], start=-90, end=90, fill=colour, width=int(w))
    d.line([(s(8), cy + r - w / 2), (cx, cy + r - w / 2)], fill=colour, width=int(w))
    d.line([(s(9), cy - r + w / 2), (cx + s(0.5), cy - r + w / 2)], fill=colour, width=int(w))
    arrow_head(d, (s(2.5), cy - r + w / 2), math.pi, s(7.5), s(5.5), colour)
    if mirror:
        img = img.transpose(Image.FLIP_LEFT_RIGHT)
    finish(img, size, name)


def snapshot():
    size = 24
    img, d = canvas(size)
    d.rounded_rectangle([s(7.5), s(4), s(14.5), s(9)], radius=s(1), fill=OUTLINE)
    d.rounded_rectangle([s(2), s(7), s(22), s(20)], radius=s(2.5), fill=GREY, outline=OUTLINE, width=s(1.2))
    d.ellipse([s(7), s(8.5), s(17), s(18.5)], fill=OUTLINE)
    d.ellipse([s(8.6), s(10.1), s(15.4), s(16.9)], fill=BLUE)
    d.ellipse([s(10), s(11.2), s(12.4), s(13.6)], fill=(190, 215, 250, 255))
    d.rectangle([s(17.5), s(9), s(20), s(10.6)], fill=GOLD)
    finish(img, size, "snapshot.png")


def turn_board():
    size = 24
    img, d = canvas(size)
    x0, y0, cell = s(1.5), s(4), s(3.75)
    for row in range(4):
        for col in range(4):
            colour = LIGHT if (row + col) % 2 == 0 else (110, 120, 135, 255)
            d.rectangle([x0 + col * cell, y0 + row * cell, x0 + (col + 1) * cell, y0 + (row + 1) * cell],
                        fill=colour)
    d.rectangle([x0, y0, x0 + 4 * cell, y0 + 4 * cell], outline=OUTLINE, width=s(1))
    ax, w = s(20), s(2.6)
    d.line([(ax, s(7)), (ax, s(17))], fill=GREEN, width=int(w))
    arrow_head(d, (ax, s(1.5)), -math.pi / 2, s(6.5), s(3.8), GREEN)
    arrow_head(d, (ax, s(22.5)), math.pi / 2, s(6.5), s(3.8), GREEN)
    finish(img, size, "turn.png")


def save():
    size = 24
    img, d = canvas(size)
    d.polygon([(s(3), s(3)), (s(18), s(3)), (s(21), s(6)), (s(21), s(21)), (s(3), s(21))], fill=BLUE,
              outline=OUTLINE, width=s(1.2))
    d.rectangle([s(7), s(3.6), s(16.5), s(9.5)], fill=LIGHT)
    d.rectangle([s(13), s(4.6), s(15.2), s(8.5)], fill=OUTLINE)
    d.rounded_rectangle([s(6), s(12.5), s(18), s(21)], radius=s(1), fill=(250, 250, 250, 255))
    for y in (15, 17.5):
        d.line([(s(8), s(y)), (s(16), s(y))], fill=GREY, width=s(1))
    finish(img, size, "save.png")


def new_game():
    size = 24
    img, d = canvas(size)
    # A pawn on its base, and a green plus badge at its lower right.
    d.rounded_rectangle([s(1.5), s(18), s(16.5), s(22)], radius=s(1), fill=LIGHT, outline=OUTLINE, width=s(1.3))
    d.polygon([(s(6.5), s(11)), (s(11.5), s(11)), (s(14.5), s(18.3)), (s(3.5), s(18.3))], fill=LIGHT,
              outline=OUTLINE, width=s(1.3))
    d.rounded_rectangle([s(4.5), s(9.5), s(13.5), s(12)], radius=s(1), fill=LIGHT, outline=OUTLINE, width=s(1.3))
    d.ellipse([s(5), s(1.5), s(13), s(9.5)], fill=LIGHT, outline=OUTLINE, width=s(1.3))
    d.ellipse([s(12.5), s(11.5), s(23.5), s(22.5)], fill=GREEN, outline=OUTLINE, width=s(1))
    d.line([(s(15), s(17)), (s(21), s(17))], fill=(255, 255, 255, 255), width=s(2.2))
    d.line([(s(18), s(14)), (s(18), s(20))], fill=(255, 255, 255, 255), width=s(2.2))
    finish(img, size, "newgame.png")


def open_folder():
    size = 16
    img, d = canvas(size)
    d.polygon([(s(1), s(3)), (s(6), s(3)), (s(7.5), s(4.5)), (s(14), s(4.5)), (s(14), s(13.5)), (s(1), s(13.5))],
              fill=GOLD_DARK, outline=OUTLINE, width=s(1))
    d.polygon([(s(3.5), s(7)), (s(15.5), s(7)), (s(13.5), s(13.5)), (s(1), s(13.5))], fill=GOLD, outline=OUTLINE,
              width=s(1))
    finish(img, size, "open.png")


def main():
    os.makedirs(OUT, exist_ok=True)
    curved_arrow(False, GREEN, "takeback.png")
    curved_arrow(True, GREEN, "replay.png")
    snapshot()
    turn_board()
    save()
    new_game()
    open_folder()


if __name__ == "__main__":
    main()
