#!/usr/bin/env python3
"""Checks and converts the demo's screen captures (24-bit BMP files).

    picture.py shows SHOT.BMP   which sample wallpaper the screen shows, or "none"
    picture.py png SHOT.BMP OUT.PNG [--half]   writes the capture as PNG (half size)

`shows` reads the point that tells the sample wallpapers apart (see
examples/make_images.py) and prints the name of the wallpaper whose
background colour it has, say MORV2.BMP, or "none" with the colour it found.
Python's standard library only.
"""
import pathlib
import struct
import sys
import zlib

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent))
import make_images  # noqa: E402  (the sample wallpapers' colours)


class Bmp:
    """A bottom-up, uncompressed 24-bit BMP, as capture_screen writes it."""

    def __init__(self, path):
        data = pathlib.Path(path).read_bytes()
        if data[:2] != b"BM" or len(data) < 54:
            raise ValueError(f"{path}: not a BMP file")
        offset, = struct.unpack_from("<I", data, 10)
        _, self.width, height, _, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
        if bits != 24 or compression != 0 or height <= 0:
            raise ValueError(f"{path}: not a bottom-up 24-bit BMP")
        self.height = height
        self.row_bytes = (self.width * 3 + 3) & ~3
        self.pixels = data[offset:offset + self.row_bytes * height]
        if len(self.pixels) < self.row_bytes * height:
            raise ValueError(f"{path}: the file ends inside the picture")

    def rgb_row(self, y):
        """Row y (0 at the top) as red-green-blue bytes."""
        start = (self.height - 1 - y) * self.row_bytes
        row = bytearray(self.pixels[start:start + self.width * 3])
        row[0::3], row[2::3] = row[2::3], row[0::3]
        return bytes(row)

    def colour(self, x, y):
        row = self.rgb_row(y)
        return tuple(row[3 * x:3 * x + 3])


def shows(shot_path):
    shot = Bmp(shot_path)
    seen = shot.colour(*make_images.PROBE)
    for name, background, _, _ in make_images.WALLPAPERS:
        if seen == background:
            print(name)
            return 0
    print(f"none (colour {seen} at {make_images.PROBE})")
    return 0


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data)))


def write_png(shot_path, out_path, half):
    shot = Bmp(shot_path)
    step = 2 if half else 1
    width, height = shot.width // step, shot.height // step
    # Each PNG row: filter type 0, then the pixels (every other one at half size).
    rows = []
    for y in range(0, height * step, step):
        row = shot.rgb_row(y)
        if half:
            row = b"".join(row[i:i + 3] for i in range(0, width * 6, 6))
        rows.append(b"\0" + row)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    pathlib.Path(out_path).write_bytes(
        b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
        + png_chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + png_chunk(b"IEND", b""))
    print(f"{out_path}: {width}x{height}")
    return 0


def main(argv):
    if len(argv) == 3 and argv[1] == "shows":
        return shows(argv[2])
    if len(argv) in (4, 5) and argv[1] == "png" and argv[4:] in ([], ["--half"]):
        return write_png(argv[2], argv[3], half=len(argv) == 5)
    print(__doc__.split("\n\n")[1], file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
