#!/usr/bin/env python3
"""Writes sample.ico: one icon with a 32x32 and a 16x16 image, 8 bits per
pixel with a 256-colour palette and a 1-bit transparency mask, the shape the
program's own icon has. Run it again to remake the committed file."""

import os
import struct


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", i, 255 - i, (i * 7) & 255, 0) for i in range(256))
    # A diagonal pattern, so that each row differs.
    pixels = bytes((x + y) & 255 for y in range(size) for x in range(size))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)
    return header + palette + pixels + mask


def main():
    images = [(32, image(32)), (16, image(16))]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.ico")
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
