#!/usr/bin/env python3
"""Finds how far the level view moved between two screenshots of the game.

Usage: view_shift.py BEFORE.png AFTER.png X Y W H
Prints "DX DY": where the patch (X, Y, W, H) of BEFORE is found in AFTER, minus (X, Y). The map
moves in whole steps of 3 pixels (the player's step), so only those shifts are tried.
"""
import subprocess
import sys


def grey(path):
    raw = subprocess.run(["convert", path, "-colorspace", "gray", "-depth", "8", "gray:-"],
                         check=True, capture_output=True).stdout
    return raw, 800


def main():
    before_path, after_path = sys.argv[1:3]
    x, y, w, h = (int(v) for v in sys.argv[3:7])
    before, stride = grey(before_path)
    after, _ = grey(after_path)
    rows = [before[(y + r) * stride + x:(y + r) * stride + x + w] for r in range(0, h, 2)]
    best = None
    for dy in range(-150, 151, 3):
        for dx in range(-150, 151, 3):
            if not (0 <= x + dx and x + dx + w <= 800 and 0 <= y + dy and y + dy + h <= 600):
                continue
            cost = 0
            for i, row in enumerate(rows):
                start = (y + dy + 2 * i) * stride + x + dx
                other = after[start:start + w]
                cost += sum(abs(a - b) for a, b in zip(row[::2], other[::2]))
                if best is not None and cost >= best[0]:
                    break
            if best is None or cost < best[0]:
                best = (cost, dx, dy)
    print(best[1], best[2])


if __name__ == "__main__":
    main()
