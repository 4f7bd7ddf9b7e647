#!/usr/bin/env python3
"""Writes the pictures the ground tests read, with Python's struct and
ImageMagick's convert, so the readers are checked against other writers."""
import os
import shutil
import struct
import subprocess
import sys

out = sys.argv[1]


def path(name):
    return os.path.join(out, name)


def write(name, data):
    with open(path(name), "wb") as f:
        f.write(data)


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def bmp(width, height, rows_bottom_up, offset=54, compression=0, bits=24, size_field=None):
    """A 24-bit BMP from RGB rows (bottom row first), rows padded to 4 bytes."""
    body = b""
    for row in rows_bottom_up:
        data = b"".join(bytes((b, g, r)) for r, g, b in row)
        body += data + b"\0" * (-len(data) % 4)
    header = b"BM" + struct.pack("<IHHI", 54 + len(body), 0, 0, offset)
    header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                          len(body), 2835, 2835, 0, 0)
    return header + body


def grey(v):
    return (v, v, v)


# [SECTION] readers
# 3x2 PPM with comments between the numbers and a sample of value '#'.
grid = bytes([35, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 250, 251, 252])
write("grid.ppm", b"P6\n# made for the tests\n3 # width\n2\n# max\n255\n" + grid)
convert(path("grid.ppm"), "-type", "TrueColor", "BMP3:" + path("padded.bmp"))
convert(path("grid.ppm"), "-type", "TrueColor", "BMP:" + path("padded_v5.bmp"))
convert("-size", "32x32", "gradient:red-blue", "-type", "Palette", "-compress", "None",
        "BMP3:" + path("palette.bmp"))
convert("-size", "32x32", "gradient:red-blue", "-type", "Palette", "-compress", "RLE",
        "BMP3:" + path("rle8.bmp"))
convert(path("grid.ppm"), "-compress", "RLE", path("rle.tga"))
convert(path("grid.ppm"), path("grid.tga"))

rows = [[(1, 2, 3), (4, 5, 6), (7, 8, 9)], [(10, 11, 12), (13, 14, 15), (16, 17, 18)]]
write("zero_offset.bmp", bmp(3, 2, rows, offset=0))
write("no_last_pad.bmp", bmp(3, 2, rows)[:-3])
write("short.bmp", b"BM" + b"\0" * 20)
write("not_bm.bmp", b"XY" + bmp(3, 2, rows)[2:])

write("truncated.ppm", b"P6 2 2 255\n" + bytes(range(9)))
# ImageMagick's picture with its last 100 samples cut off.
convert("-size", "8x8", "xc:rgb(10,20,30)", "-depth", "8", path("whole.ppm"))
with open(path("whole.ppm"), "rb") as f:
    write("cut.ppm", f.read()[:-100])
write("text.ppm", b"P3\n1 1\n255\n1 2 3\n")

# 32-bit TGA, 2x1, with a five-byte image-ID field before the pixels (B, G, R, A).
tga = struct.pack("<BBBHHBHHHHBB", 5, 0, 2, 0, 0, 0, 0, 0, 2, 1, 32, 8)
write("id32.tga", tga + b"hello" + bytes([30, 20, 10, 40, 70, 60, 50, 80]))
shutil.copy(path("padded.bmp"), path("GRID.BMP"))
shutil.copy(path("id32.tga"), path("GRID.TGA"))

# Hostile headers: sizes that overflow, exceed any sane bound, or are not in the file.
write("huge.bmp", bmp(100000, 100000, []))
write("big.bmp", bmp(10000, 10000, []))  # 3 * 10^8 bytes: within the bound in pixels, not in bytes
write("overflow.bmp", bmp(0x7FFFFFFF, 0x7FFFFFFF, []))
write("claims.bmp", bmp(1000, 1000, rows))
write("top_down.bmp", bmp(3, -2, rows))
write("zero_width.bmp", bmp(0, 2, rows))
write("huge.tga", struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 65535, 65535, 32, 8))
write("claims.tga", struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 100, 100, 24, 0) + b"\1" * 30)
write("huge.ppm", b"P6\n100000 100000\n255\n" + b"\0" * 30)
write("overflow.ppm", b"P6\n99999999999999999999999 1\n255\n" + b"\0" * 30)
write("negative.ppm", b"P6\n-5 2\n255\n" + b"\0" * 30)
write("deep.ppm", b"P6\n1 1\n65535\n" + b"\0" * 6)

# [SECTION] ground height maps (grey levels; z = grey / 51 with a maximum height of 5)
write("two_by_two.bmp", bmp(2, 2, [[grey(0), grey(255)], [grey(102), grey(153)]]))
write("ramp.bmp", bmp(5, 2, [[grey(51 * c) for c in range(5)]] * 2))
write("bump.bmp", bmp(3, 3, [[grey(0), grey(255), grey(0)], [grey(0)] * 3, [grey(0)] * 3]))
write("white.bmp", bmp(4, 4, [[grey(255)] * 4] * 4))
write("colours.bmp", bmp(2, 2, [[(255, 0, 0), (0, 255, 0)], [(0, 0, 255), (255, 255, 255)]]))
