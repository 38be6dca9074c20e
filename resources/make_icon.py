#!/usr/bin/env python3
"""Draws the program's icon: a small framed landscape, a picture on the wall.

Writes resources/morvelin.ico: one 32x32 image in 16 colours (4 bits per
pixel, the standard VGA palette), with a transparency mask. Run it again
after changing the drawing; the build uses the file it writes.
"""
import pathlib
import struct

SIZE = 32
# The 16-colour VGA palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_YELLOW, GREY, GREEN, YELLOW, CYAN, WHITE, DARK_GREEN = 0, 3, 8, 10, 11, 14, 15, 2
TRANSPARENT = None


def pixel(x, y):
    """The colour index at (x, y), y from the top; None where transparent."""
    if x < 2 or x > 29 or y < 3 or y > 28:
        return TRANSPARENT
    if x < 4 or x > 27 or y < 5 or y > 26:          # the wooden frame
        return BLACK if x in (2, 29) or y in (3, 28) else DARK_YELLOW
    if (x - 20) ** 2 + (y - 11) ** 2 <= 9:          # the sun
        return YELLOW
    hill = 19 + ((x - 12) ** 2) // 24              # a green hill
    if y >= hill:
        return DARK_GREEN if (x + y) % 5 == 0 else GREEN
    return CYAN if y < 14 else WHITE


def ico_bytes():
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):                 # bitmaps are stored bottom-up
        colours = [pixel(x, y) for x in range(SIZE)]
        nibbles = [0 if c is None else c for c in colours]
        xor_rows.append(bytes(nibbles[i] << 4 | nibbles[i + 1] for i in range(0, SIZE, 2)))
        mask = 0
        for c in colours:
            mask = mask << 1 | (c is None)
        and_rows.append(mask.to_bytes(4, "big"))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = (struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, 0, 0, 0, 16, 0)
             + palette + b"".join(xor_rows) + b"".join(and_rows))
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


if __name__ == "__main__":
    out = pathlib.Path(__file__).with_name("morvelin.ico")
    out.write_bytes(ico_bytes())
    print(f"{out}: {out.stat().st_size} bytes")
