#!/usr/bin/env python3
"""Draws the program's cursors and writes them as Windows cursor files (".cut").

Usage: make_cursors.py OUTPUT_FOLDER

Every cursor is 32x32: black strokes with a one-pixel white rim so that it stays visible on
light and dark pages. The output is the same bytes on every run.
"""

import math
import os
import struct
import sys

SIZE = 32
CLEAR, BLACK, WHITE = 0, 1, 2


class Picture:
    def __init__(self):
        self.px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def put(self, x, y, value):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = value

    def get(self, x, y):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            return self.px[y][x]
        return CLEAR

    def hline(self, x0, x1, y, value=BLACK, dotted=False):
        for x in range(x0, x1 + 1):
            if not dotted or (x - x0) % 2 == 0:
                self.put(x, y, value)

    def vline(self, x, y0, y1, value=BLACK, dotted=False):
        for y in range(y0, y1 + 1):
            if not dotted or (y - y0) % 2 == 0:
                self.put(x, y, value)

    def cross(self, cx, cy, arm):
        self.hline(cx - arm, cx + arm, cy)
        self.vline(cx, cy - arm, cy + arm)

    def frame(self, x0, y0, x1, y1, dotted=False):
        self.hline(x0, x1, y0, dotted=dotted)
        self.hline(x0, x1, y1, dotted=dotted)
        self.vline(x0, y0, y1, dotted=dotted)
        self.vline(x1, y0, y1, dotted=dotted)

    def region(self, inside, fill):
        """Fills the pixels whose centres satisfy `inside` and outlines the region in black."""
        cells = {(x, y) for y in range(SIZE) for x in range(SIZE) if inside(x + 0.5, y + 0.5)}
        for x, y in cells:
            edge = any((x + dx, y + dy) not in cells
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.put(x, y, BLACK if edge else fill)

    def circle(self, cx, cy, r):
        """A one-pixel ring: the pixels whose centres lie within half a pixel of radius r."""
        for y in range(cy - r - 1, cy + r + 2):
            for x in range(cx - r - 1, cx + r + 2):
                if abs(math.hypot(x - cx, y - cy) - r) < 0.5:
                    self.put(x, y, BLACK)

    def rim(self):
        """Gives every black stroke a white border where it touches the clear background."""
        add = []
        for y in range(SIZE):
            for x in range(SIZE):
                if self.px[y][x] != CLEAR:
                    continue
                if any(self.get(x + dx, y + dy) == BLACK
                       for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                    add.append((x, y))
        for x, y in add:
            self.px[y][x] = WHITE


def polygon(points):
    """An even-odd point-in-polygon test for region()."""
    def inside(px, py):
        result = False
        n = len(points)
        for i in range(n):
            x0, y0 = points[i]
            x1, y1 = points[(i + 1) % n]
            if (y0 > py) != (y1 > py):
                if px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                    result = not result
        return result
    return inside


def along(tip, d, n, s, w):
    """The point s along the axis direction d from tip and w across it (normal n)."""
    return (tip[0] + d[0] * s + n[0] * w, tip[1] + d[1] * s + n[1] * w)


def writing_pen():
    # A pencil lying from the lower left (its point, the hotspot) to the upper right.
    p = Picture()
    tip = (1.5, 30.5)
    k = 1 / math.sqrt(2)
    d, n = (k, -k), (k, k)
    half = 3.5
    cone, body_end, cap = 8.0, 33.0, 28.0
    p.region(polygon([along(tip, d, n, cone, -half), along(tip, d, n, body_end, -half),
                      along(tip, d, n, body_end, half), along(tip, d, n, cone, half)]), WHITE)
    p.region(polygon([along(tip, d, n, cap, -half), along(tip, d, n, body_end, -half),
                      along(tip, d, n, body_end, half), along(tip, d, n, cap, half)]), BLACK)
    p.region(polygon([tip, along(tip, d, n, cone, -half), along(tip, d, n, cone, half)]), WHITE)
    # The lead: the first few pixels of the point are solid.
    p.region(polygon([tip, along(tip, d, n, 3.5, -1.6), along(tip, d, n, 3.5, 1.6)]), BLACK)
    p.put(1, 30, BLACK)
    p.rim()
    return p, (1, 30)


def line_cross():
    p = Picture()
    p.cross(15, 15, 10)
    p.rim()
    return p, (15, 15)


def rectangle_cross():
    p = Picture()
    p.cross(10, 10, 8)
    p.frame(19, 19, 28, 28)
    p.rim()
    return p, (10, 10)


def ellipse_cross():
    p = Picture()
    p.cross(10, 10, 8)
    p.circle(24, 24, 5)
    p.rim()
    return p, (10, 10)


def eraser():
    # A block rubbed with its top-left corner first, so the hotspot is that corner.
    p = Picture()
    p.region(lambda x, y: x < 22 and y < 14, WHITE)
    p.region(lambda x, y: 14 <= x < 22 and y < 14, BLACK)
    p.rim()
    return p, (0, 0)


def range_cross():
    p = Picture()
    p.frame(4, 4, 26, 26, dotted=True)
    p.cross(15, 15, 6)
    p.rim()
    return p, (15, 15)


CURSORS = [
    ("Text_Hnd.cut", writing_pen),
    ("Sonic cross2.cut", line_cross),
    ("Sonic cross3.cut", rectangle_cross),
    ("prcs_mox1.cut", ellipse_cross),
    ("Altr_Fsh.cut", eraser),
    ("prcs_mox2.cut", range_cross),
]


def cursor_file(picture, hotspot):
    """One 32x32 image: BITMAPINFOHEADER, 32-bit BGRA colours and a 1-bit AND mask."""
    colours = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bitmaps are stored bottom-up
        bits = 0
        for x in range(SIZE):
            value = picture.px[y][x]
            if value == BLACK:
                colours += bytes((0, 0, 0, 255))
            elif value == WHITE:
                colours += bytes((255, 255, 255, 255))
            else:
                colours += bytes((0, 0, 0, 0))
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)  # leftmost pixel in the top bit, 4-byte rows
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colours) + len(mask), 0, 0, 0, 0)
    image = header + colours + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image),
                        len(directory) + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_cursors.py OUTPUT_FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in CURSORS:
        picture, hotspot = draw()
        with open(os.path.join(folder, name), "wb") as f:
            f.write(cursor_file(picture, hotspot))


if __name__ == "__main__":
    main()
