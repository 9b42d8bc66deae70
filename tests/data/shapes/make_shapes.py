#!/usr/bin/env python3
"""Writes the shape pictures of this folder with nothing but the Python standard library, so that the
engine's readers are checked against an encoder that shares no code with them.

    soft_dot.png     32 x 32 grey RGB: 255 at the centre falling linearly to 0 at 16 pixels out
    bars.bmp         20 x 12, 24 bits, bottom-up: pixel (x, y) = (12x, 20y, 255 - 12x)
    stripes_rle8.bmp 16 x 8, 8-bit RLE with a 4-colour palette (runs, absolute runs, a delta, row ends)
    blot.vfx         an effect script: a 24 x 24 white square turned by 30 degrees

Run it from anywhere; it writes next to itself."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def soft_dot():
    w = h = 32
    rows = b""
    for y in range(h):
        row = bytearray([0])  # filter: none
        for x in range(w):
            d = math.hypot(x + 0.5 - 16, y + 0.5 - 16)
            v = max(0, 255 - int(255 * d / 16))
            row += bytes([v, v, v])
        rows += row
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", zlib.compress(rows, 9)) +
            png_chunk(b"IEND", b""))


def bmp_file(info, palette, pixels):
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def bars():
    w, h = 20, 12
    stride = (w * 3 + 3) & ~3
    pixels = b""
    for y in reversed(range(h)):
        row = bytearray()
        for x in range(w):
            r, g, b = 12 * x, 20 * y, 255 - 12 * x
            row += bytes([b, g, r])
        pixels += bytes(row) + bytes(stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return bmp_file(info, b"", pixels)


def stripes_rle8():
    w, h = 16, 8
    palette = bytes([0, 0, 0, 0,  0, 0, 255, 0,  0, 255, 0, 0,  255, 0, 0, 0])  # black, red, green, blue (B, G, R, 0)
    data = bytearray()
    # Bottom row: 8 red, then 8 green.
    data += bytes([8, 1, 8, 2, 0, 0])
    # Second row: absolute run of 5 indices (padded to an even count of bytes), then 11 blue.
    data += bytes([0, 5, 3, 2, 1, 2, 3, 0, 11, 3, 0, 0])
    # Third row: 4 green, then a delta of 6 right and 1 up, leaving the rest of this row at index 0.
    data += bytes([4, 2, 0, 2, 6, 1])
    # Fourth row from x = 10: 6 red, then the end of the bitmap; rows above stay at index 0.
    data += bytes([6, 1, 0, 1])
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(data), 2835, 2835, 4, 0)
    return bmp_file(info, palette, bytes(data))


SCRIPT = """velmora-effect-script 1
# A white square turned by 30 degrees; the corners it uncovers are 0.
size 24 24
background 255 255 255 255
effect 51
value 3 30
value 4 100
"""

if __name__ == "__main__":
    for name, data in (("soft_dot.png", soft_dot()), ("bars.bmp", bars()), ("stripes_rle8.bmp", stripes_rle8()),
                       ("blot.vfx", SCRIPT.encode())):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
