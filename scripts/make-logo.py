#!/usr/bin/env python3
"""Draws the 152 x 112 logo into resources/logo.bmp: a light-blue dart-shaped craft on black,
nose to the right, and a grey block in the top right corner. An uncompressed 8-bit BMP with a
colour table, so the Windows build can take the same file as its bitmap resource.

Run it again only when the picture is meant to change: scripts/make-logo.py"""
import os
import struct

WIDTH, HEIGHT = 152, 112
PALETTE = [
    (0, 0, 0),        # 0 black ground
    (140, 200, 255),  # 1 light blue hull
    (80, 140, 220),   # 2 darker blue: the cockpit and the wing's trailing line
    (150, 150, 150),  # 3 grey block
]

HULL = [(146, 56), (28, 14), (58, 56), (28, 98)]  # nose, upper wing tip, tail notch, lower tip


def inside(polygon, x, y):
    """Even-odd test of the pixel centre (x + 0.5, y + 0.5)."""
    px, py = x + 0.5, y + 0.5
    result = False
    for i, (x1, y1) in enumerate(polygon):
        x2, y2 = polygon[(i + 1) % len(polygon)]
        if (y1 > py) != (y2 > py):
            cross = x1 + (py - y1) * (x2 - x1) / (y2 - y1)
            if px < cross:
                result = not result
    return result


def colour_at(x, y):
    if 122 <= x < 146 and 6 <= y < 22:
        return 3
    if inside(HULL, x, y):
        if ((x - 104) / 14.0) ** 2 + ((y - 56) / 5.0) ** 2 <= 1.0:
            return 2
        return 1
    return 0


def main():
    rows = []
    for y in reversed(range(HEIGHT)):  # a BMP stores its bottom row first
        rows.append(bytes(colour_at(x, y) for x in range(WIDTH)))
    pixels = b"".join(rows)  # 152 is a multiple of 4: no row padding
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835,
                       len(PALETTE), len(PALETTE))
    path = os.path.join(os.path.dirname(__file__), "..", "resources", "logo.bmp")
    with open(path, "wb") as out:
        out.write(header + info + table + pixels)


if __name__ == "__main__":
    main()
