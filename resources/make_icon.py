#!/usr/bin/env python3
"""Draws the program's icon: two framed pictures, one in front of the other.

The front one is a landscape by day, the one behind it a night sky with a
moon, peeking out above and to the right: the next wallpaper waiting its
turn. Writes resources/morvelin.ico: one 32x32 image in 16 colours (4 bits
per pixel, the standard VGA palette), with a transparency mask. Run it again
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
(BLACK, DARK_RED, DARK_GREEN, DARK_YELLOW, DARK_BLUE, DARK_MAGENTA, DARK_CYAN, LIGHT_GREY,
 GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE) = range(16)
TRANSPARENT = None

# Each picture: outer left, top, right, bottom (inclusive), then a black
# outline, a two-pixel frame and the picture inside it.
FRONT = (1, 9, 23, 30)
BACK = (9, 1, 30, 21)
FRAME_WIDTH = 3


def inside(box, x, y, inset=0):
    left, top, right, bottom = box
    return left + inset <= x <= right - inset and top + inset <= y <= bottom - inset


def frame(box, x, y, light, dark):
    """The frame's colour at (x, y): lit along the top and left, shaded below."""
    if not inside(box, x, y, 1):
        return BLACK
    left, top, _, _ = box
    return light if x - left == 1 or y - top == 1 else dark


def day(x, y):
    if (x - 17) ** 2 + (y - 15) ** 2 <= 4:          # the sun
        return YELLOW
    if (y == 15 and 6 <= x <= 9) or (y == 14 and 7 <= x <= 8):   # a cloud
        return WHITE
    if y >= 23 + ((x - 8) ** 2) // 9:               # the near hill
        return GREEN
    if y >= 19 + ((x - 16) ** 2) // 7:              # the far hill
        return DARK_GREEN
    return CYAN


def night(x, y):
    if (x - 25) ** 2 + (y - 7) ** 2 <= 3:           # the moon, with a bite out
        return BLUE if (x - 26) ** 2 + (y - 6) ** 2 <= 1 else YELLOW
    if (x, y) in ((14, 5), (18, 7), (21, 4), (26, 15), (27, 11)):   # stars
        return WHITE
    return BLUE if y < 6 else DARK_BLUE


def pixel(x, y):
    """The colour index at (x, y), y from the top; None where transparent."""
    for box, light, dark, scene in ((FRONT, YELLOW, DARK_YELLOW, day),
                                    (BACK, LIGHT_GREY, GREY, night)):
        if inside(box, x, y):
            return scene(x, y) if inside(box, x, y, FRAME_WIDTH) else frame(box, x, y, light, dark)
    return TRANSPARENT


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
