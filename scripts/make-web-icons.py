#!/usr/bin/env python3
"""Draws the page's icons into resources/web/icon-SIZE.png (32: the favicon, 180: the touch
icon, 192 and 512: the web app manifest's): the logo's light-blue dart-shaped craft on black,
nose to the right (the shape of scripts/make-logo.py), its edges smoothed by 8 x 8 samples a
pixel. The craft stays inside the middle 80 % of the square, so a launcher that cuts the icon
to a circle keeps all of it. 8-bit RGB PNGs, opaque.

Run it again only when the picture is meant to change: scripts/make-web-icons.py"""
import importlib.util
import os
import struct
import zlib

_spec = importlib.util.spec_from_file_location(
    "make_logo", os.path.join(os.path.dirname(__file__), "make-logo.py"))
_logo = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_logo)

SIZES = (32, 180, 192, 512)
SAMPLES = 8
GROUND, HULL, COCKPIT = _logo.PALETTE[0], _logo.PALETTE[1], _logo.PALETTE[2]
# The hull's box in the logo (x 28 to 146, y 14 to 98) and the cockpit, as make-logo.py draws it.
LEFT, RIGHT, TOP, BOTTOM = 28.0, 146.0, 14.0, 98.0
CX, CY, RX, RY = 104.0, 56.0, 14.0, 5.0
REACH = 0.5 * 0.78  # the dart's half length, as a part of the icon's side: inside the circle


def colour_of(lx, ly):
    """The logo's colour at the point (lx, ly) of its own coordinates."""
    if not _logo.inside(_logo.HULL, lx - 0.5, ly - 0.5):
        return GROUND
    if ((lx - CX) / RX) ** 2 + ((ly - CY) / RY) ** 2 <= 1.0:
        return COCKPIT
    return HULL


def icon(size):
    scale = (RIGHT - LEFT) / (2 * REACH * size)  # logo units an icon pixel
    middle_x, middle_y = (LEFT + RIGHT) / 2, (TOP + BOTTOM) / 2
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            total = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    lx = middle_x + (x + (sx + 0.5) / SAMPLES - size / 2) * scale
                    ly = middle_y + (y + (sy + 0.5) / SAMPLES - size / 2) * scale
                    colour = colour_of(lx, ly)
                    for c in range(3):
                        total[c] += colour[c]
            row.extend(round(t / SAMPLES ** 2) for t in total)
        rows.append(b"\0" + bytes(row))  # filter 0: none

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main():
    folder = os.path.join(os.path.dirname(__file__), "..", "resources", "web")
    os.makedirs(folder, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(folder, f"icon-{size}.png"), "wb") as out:
            out.write(icon(size))


if __name__ == "__main__":
    main()
