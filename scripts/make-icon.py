#!/usr/bin/env python3
"""Draws the 32 x 32 program icon into resources/win32/tavrik.ico: the logo's light-blue
dart-shaped craft on black, nose to the right (the shape of scripts/make-logo.py, scaled down).
One image, 16 colours (4 bits a pixel, a 16-entry colour table), with an AND mask that keeps
every pixel opaque, so the black ground is part of the icon.

Run it again only when the picture is meant to change: scripts/make-icon.py"""
import importlib.util
import os
import struct

# The logo's even-odd test of a pixel centre, from scripts/make-logo.py.
_spec = importlib.util.spec_from_file_location(
    "make_logo", os.path.join(os.path.dirname(__file__), "make-logo.py"))
_logo = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_logo)
inside = _logo.inside

SIZE = 32
PALETTE = [
    (0, 0, 0),        # 0 black ground
    (140, 200, 255),  # 1 light blue hull
    (80, 140, 220),   # 2 darker blue cockpit
] + [(0, 0, 0)] * 13  # 3-15 unused

# The logo's hull (nose, upper wing tip, tail notch, lower tip) maps onto the icon by
# x' = 1 + (x - 28) / 4, y' = 16 + (y - 56) / 4: the 118 x 84 dart becomes 29.5 x 21.
HULL = [(30.5, 16.0), (1.0, 5.5), (8.5, 16.0), (1.0, 26.5)]
COCKPIT = (20.0, 16.0, 3.5, 1.25)  # centre x, centre y, half width, half height


def colour_at(x, y):
    if inside(HULL, x, y):
        cx, cy, rx, ry = COCKPIT
        if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1.0:
            return 2
        return 1
    return 0


def main():
    rows = []
    for y in reversed(range(SIZE)):  # bottom row first, as in a BMP
        row = bytearray()
        for x in range(0, SIZE, 2):  # two pixels a byte, the left one in the high nibble
            row.append(colour_at(x, y) << 4 | colour_at(x + 1, y))
        rows.append(bytes(row))  # 16 bytes: already a multiple of 4
    xor_mask = b"".join(rows)
    and_mask = bytes(SIZE // 8 * SIZE)  # 1 bit a pixel, 4 bytes a row, all 0: opaque
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    # The header's height counts the XOR and the AND masks together.
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                       len(xor_mask) + len(and_mask), 0, 0, 0, 0)
    image = info + table + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)  # reserved, type 1 = icon, one image
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, len(PALETTE), 0, 1, 4, len(image),
                        len(directory) + 16)
    path = os.path.join(os.path.dirname(__file__), "..", "resources", "win32", "tavrik.ico")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
