#!/usr/bin/env python3
"""Compares the frames of the Direct3D device with the software device's frames of the same run.

    bench/d3d_agreement.py [--min PERCENT] NAME SOFT_DIR D3D_DIR [NAME SOFT_DIR D3D_DIR ...]

Two pixels agree when each channel is within one RGB565 step. Prints, per configuration, the
frames compared, the worst and the mean share of agreeing pixels, the worst frame, and the share
of disagreeing pixels that lie on the edge of a shape (a pixel whose neighbours in the software
frame do not all have its colour). With --min, exits 1 when any frame agrees on less."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from png_read import read_png  # noqa: E402


def agrees(a, b, i):
    return (abs((a[i] >> 3) - (b[i] >> 3)) <= 1 and abs((a[i + 1] >> 2) - (b[i + 1] >> 2)) <= 1
            and abs((a[i + 2] >> 3) - (b[i + 2] >> 3)) <= 1)


def on_edge(rows, width, x, y):
    here = rows[y][3 * x:3 * x + 3]
    for ny in range(max(0, y - 1), min(len(rows), y + 2)):
        for nx in range(max(0, x - 1), min(width, x + 2)):
            if rows[ny][3 * nx:3 * nx + 3] != here:
                return True
    return False


def compare(soft_path, d3d_path):
    """(agreeing pixels, all pixels, disagreeing pixels on edges, disagreeing pixels)"""
    with open(soft_path, 'rb') as f:
        width, _, soft = read_png(f.read())
    with open(d3d_path, 'rb') as f:
        other_width, _, d3d = read_png(f.read())
    if (width, len(soft)) != (other_width, len(d3d)):
        raise ValueError(f'{d3d_path}: another size than {soft_path}')
    misses = edges = 0
    for y, (a, b) in enumerate(zip(soft, d3d)):
        if a == b:
            continue
        for x in range(width):
            if a[3 * x:3 * x + 3] != b[3 * x:3 * x + 3] and not agrees(a, b, 3 * x):
                misses += 1
                edges += on_edge(soft, width, x, y)
    total = width * len(soft)
    return total - misses, total, edges, misses


def main(args):
    minimum = None
    if args[:1] == ['--min']:
        minimum, args = float(args[1]), args[2:]
    if not args or len(args) % 3:
        sys.exit(__doc__)
    failed = False
    print(f'{"configuration":<28} {"frames":>6} {"worst":>9} {"mean":>9}  {"worst frame":<16} {"misses on edges":>15}')
    for at in range(0, len(args), 3):
        name, soft_dir, d3d_dir = args[at:at + 3]
        frames = sorted(f for f in os.listdir(soft_dir) if f.endswith('.png'))
        shares, edges, misses, worst = [], 0, 0, (101.0, '')
        for frame in frames:
            good, total, on_edges, missed = compare(os.path.join(soft_dir, frame), os.path.join(d3d_dir, frame))
            share = 100.0 * good / total
            shares.append(share)
            edges += on_edges
            misses += missed
            worst = min(worst, (share, frame))
            if minimum is not None and share < minimum:
                print(f'{name}: {frame} agrees on only {share:.3f}% of its pixels', file=sys.stderr)
                failed = True
        mean = sum(shares) / len(shares) if shares else 0.0
        edge_share = f'{100.0 * edges / misses:.1f}%' if misses else '-'
        print(f'{name:<28} {len(frames):>6} {worst[0]:>8.3f}% {mean:>8.3f}%  {worst[1]:<16} {edge_share:>15}')
    sys.exit(1 if failed else 0)


if __name__ == '__main__':
    main(sys.argv[1:])
