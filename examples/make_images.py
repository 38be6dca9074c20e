#!/usr/bin/env python3
"""Draws the sample wallpapers that examples/morvelin.cfg names.

    python3 examples/make_images.py OUT_DIR

Writes OUT_DIR/MORV1.BMP to OUT_DIR/MORV4.BMP: 800x600, 24 bits per pixel,
each a solid colour with its own pattern and its number in big white digits,
so that a glance at the screen tells which one is up. The colour of the
point (40, 40) is the image's own background colour (WALLPAPERS below), which
the demo reads back from the screen to know that the wallpaper really
changed. Python's standard library only.
"""
import pathlib
import struct
import sys

WIDTH, HEIGHT = 800, 600
WHITE = (255, 255, 255)

# The point whose colour tells the images apart; free of pattern and digit.
PROBE = (40, 40)

# name, background, pattern colour, pattern
WALLPAPERS = [
    ("MORV1.BMP", (200, 40, 40), (250, 200, 40), "sun"),        # red, a yellow sun
    ("MORV2.BMP", (30, 90, 200), (150, 200, 255), "stripes"),   # blue, pale stripes
    ("MORV3.BMP", (30, 150, 60), (20, 90, 30), "checks"),       # green, dark checks
    ("MORV4.BMP", (120, 40, 160), (240, 160, 230), "diamond"),  # purple, a pink diamond
]

# 5x7 digits, one string per row, '#' for a lit cell.
DIGITS = {
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
}
DIGIT_CELL = 24                      # a digit is 120x168 pixels
DIGIT_LEFT, DIGIT_TOP = 620, 400     # bottom right, clear of the probe


def in_pattern(pattern, x, y):
    if pattern == "sun":
        return (x - 400) ** 2 + (y - 260) ** 2 <= 150 ** 2
    if pattern == "stripes":
        return y >= 100 and (y // 50) % 2 == 0
    if pattern == "checks":
        return x >= 100 and y >= 100 and (x // 100 + y // 100) % 2 == 0
    if pattern == "diamond":
        return abs(x - 400) + abs(y - 300) <= 220
    raise ValueError(pattern)


def in_digit(digit, x, y):
    column, row = (x - DIGIT_LEFT) // DIGIT_CELL, (y - DIGIT_TOP) // DIGIT_CELL
    if x < DIGIT_LEFT or y < DIGIT_TOP or column >= 5 or row >= 7:
        return False
    return DIGITS[digit][row][column] == "#"


def colour_at(number, background, ink, pattern, x, y):
    if in_digit(str(number), x, y):
        return WHITE
    return ink if in_pattern(pattern, x, y) else background


def bmp_bytes(number, background, ink, pattern):
    # Rows are stored bottom-up, each blue-green-red; 800 * 3 needs no padding.
    rows = []
    for y in reversed(range(HEIGHT)):
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = colour_at(number, background, ink, pattern, x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0,
                         14 + len(info))
    return header + info + pixels


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: make_images.py OUT_DIR")
    out_dir = pathlib.Path(argv[1])
    out_dir.mkdir(parents=True, exist_ok=True)
    for number, (name, background, ink, pattern) in enumerate(WALLPAPERS, start=1):
        (out_dir / name).write_bytes(bmp_bytes(number, background, ink, pattern))
        print(f"{out_dir / name}: {pattern}, background {background}")


if __name__ == "__main__":
    main(sys.argv)
