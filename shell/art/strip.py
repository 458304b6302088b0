#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the paper strip of the cut-position adjuster, pixel by pixel, as a binary PPM on stdout.

The picture is 130 x 131 pixels: a white strip across the full width with a black line down each
side, torn at the top (light grey shows through within rows 0 to 12) and at the bottom (rows 124
to 130), faint printed ticket lines, and the black mark at columns 102 to 124, rows 59 to 63.
render.sh turns it into a 16-colour palette PNG. The tear is drawn from a fixed seed, so every
run gives the same picture.
"""

import random
import sys

WIDTH, HEIGHT = 130, 131
TOP_TORN_ROWS, BOTTOM_TORN_ROWS = 13, 7

BACKDROP = (192, 192, 192)  # the grey that shows through the tears
PAPER = (255, 255, 255)
EDGE = (0, 0, 0)
TEAR_SHADE = (128, 128, 128)  # the torn fibres just inside the paper
PRINT = (208, 212, 220)  # faint printed lines of the tickets
MARK = (0, 0, 0)
MARK_COLUMNS = range(102, 125)
MARK_ROWS = range(59, 64)


def tear(rng, lowest, highest):
    """A ragged edge: for each column, how far the tear reaches (lowest..highest)."""
    depth, edge = [], rng.randint(lowest, highest)
    for _ in range(WIDTH):
        edge = min(highest, max(lowest, edge + rng.choice((-3, -2, -1, -1, 0, 1, 1, 2, 3))))
        # A loose fibre now and then reaches one row further than its neighbours.
        depth.append(max(lowest, edge - 1) if rng.random() < 0.12 else edge)
    return depth


def main():
    rng = random.Random(52)
    # Rows of grey above the paper at each column (1..12) and below it (1..6).
    top = tear(rng, 2, TOP_TORN_ROWS - 1)
    bottom = tear(rng, 1, BOTTOM_TORN_ROWS - 1)

    pixels = [[PAPER] * WIDTH for _ in range(HEIGHT)]

    # Printed lines of the ticket above the mark and of the next one below it, left of the mark.
    for row, length in ((22, 70), (27, 54), (32, 84), (37, 62), (42, 76),
                        (80, 66), (85, 88), (90, 50), (95, 80), (100, 58), (105, 72), (110, 44)):
        column = 10
        while column < 10 + length:
            word = rng.randint(3, 11)
            for x in range(column, min(column + word, 10 + length)):
                pixels[row][x] = PRINT
                pixels[row + 1][x] = PRINT
            column += word + 3

    for row in MARK_ROWS:
        for column in MARK_COLUMNS:
            pixels[row][column] = MARK

    for row in range(HEIGHT):
        pixels[row][0] = EDGE
        pixels[row][WIDTH - 1] = EDGE

    for column in range(WIDTH):
        first_paper = top[column]
        last_paper = HEIGHT - 1 - bottom[column]
        for row in range(first_paper):
            pixels[row][column] = BACKDROP
        for row in range(last_paper + 1, HEIGHT):
            pixels[row][column] = BACKDROP
        if 0 < column < WIDTH - 1:
            pixels[first_paper][column] = TEAR_SHADE
            pixels[last_paper][column] = TEAR_SHADE

    out = sys.stdout.buffer
    out.write(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT))
    for row in pixels:
        out.write(bytes(channel for pixel in row for channel in pixel))


if __name__ == "__main__":
    main()
