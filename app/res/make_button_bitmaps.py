#!/usr/bin/env python3
"""Writes the bitmap button's built-in pictures (13 x 13, 8 x 8 patterns) as
24-bit BMP files beside this script. Run it again after changing a picture;
Setup.rc names the files."""
import os
import struct

K, D, L, W = (0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)
HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(name, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row)
        pixels += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 54) + header + pixels)


def box(inside, mark=()):
    """A sunken 13 x 13 box: grey and black above and left, white and light
    grey below and right."""
    rows = [[inside] * 13 for _ in range(13)]
    for i in range(13):
        rows[0][i] = rows[i][0] = D
        rows[12][i] = rows[i][12] = W
    for i in range(1, 12):
        rows[1][i] = rows[i][1] = K
        rows[11][i] = rows[i][11] = L
    rows[12][0], rows[0][12] = W, W
    rows[11][1], rows[1][11] = L, L
    for x, y in mark:
        rows[y][x] = K
    return rows


TICK = [(3, 5), (3, 6), (3, 7), (4, 6), (4, 7), (4, 8), (5, 7), (5, 8), (5, 9), (6, 6), (6, 7), (6, 8),
        (7, 5), (7, 6), (7, 7), (8, 4), (8, 5), (8, 6), (9, 3), (9, 4), (9, 5)]
CROSS = [(x, y) for i in range(3, 10) for (x, y) in ((i, i), (i, 12 - i))]


def radio(inside, dot):
    rows = [[L] * 13 for _ in range(13)]
    cx = cy = 6
    for y in range(13):
        for x in range(13):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 <= 16:
                rows[y][x] = inside
            elif d2 <= 25:
                rows[y][x] = K if x + y <= 12 else L
            elif d2 <= 38:
                rows[y][x] = D if x + y <= 12 else W
            if dot and d2 <= 3:
                rows[y][x] = K
    return rows


def arrow(direction, look):
    """A triangle on a light grey face; pressed moves it one pixel right and
    down, disabled draws it grey with a white shadow."""
    rows = [[L] * 13 for _ in range(13)]
    points = []
    for i in range(4):
        for j in range(-i, i + 1):
            points.append((6 + j, 4 + i))   # pointing up
    turn = {"u": lambda x, y: (x, y), "d": lambda x, y: (x, 12 - y),
            "l": lambda x, y: (y, x), "r": lambda x, y: (12 - y, x)}[direction]
    shift = 1 if look == "H" else 0
    cells = [turn(x, y) for (x, y) in points]
    if look == "D":
        for x, y in cells:
            rows[y + 1][x + 1] = W
    for x, y in cells:
        rows[y + shift][x + shift] = D if look == "D" else K
    return rows


write_bmp("btn_box.bmp", box(W))
write_bmp("btn_tick.bmp", box(W, TICK))
write_bmp("btn_cross.bmp", box(W, CROSS))
write_bmp("btn_box_grey.bmp", box(L))
write_bmp("btn_radio.bmp", radio(W, False))
write_bmp("btn_radio_dot.bmp", radio(W, True))
write_bmp("btn_radio_grey.bmp", radio(L, False))
write_bmp("btn_hpattern.bmp", [[D if y % 2 else L] * 8 for y in range(8)])
write_bmp("btn_vpattern.bmp", [[D if x % 2 else L for x in range(8)] for _ in range(8)])
for d in "udlr":
    for look in ("", "H", "D"):
        write_bmp("btn_arrow_%s%s.bmp" % (d, look.lower()), arrow(d, look))
