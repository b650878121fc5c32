#!/usr/bin/env python3
"""Draws the uninstaller's emblem and writes it as a Windows icon file.

The emblem: a deep-teal disc holding a white box, with an orange arrow
leaving it upwards, on a transparent ground. Two images, 32x32 and 16x16,
each 8 bits per pixel with a 256-colour palette and a 1-bit mask, so that
the images are 2216 and 1384 bytes as the dialog's icon resource wants them.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

# Palette index -> (red, green, blue). The rest of the 256 entries are black.
TRANSPARENT, TEAL, WHITE, ORANGE, DARK = 0, 1, 2, 3, 4
COLOURS = {
    TRANSPARENT: (0, 0, 0),
    TEAL: (0x0F, 0x6E, 0x78),
    WHITE: (0xFF, 0xFF, 0xFF),
    ORANGE: (0xF2, 0x8C, 0x28),
    DARK: (0x0A, 0x3C, 0x44),
}


def draw(size):
    """Returns rows (top first) of palette indices for one image."""
    s = size / 32.0
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    centre = (size - 1) / 2.0
    radius = size / 2.0 - 0.5
    for y in range(size):
        for x in range(size):
            d2 = (x - centre) ** 2 + (y - centre) ** 2
            if d2 <= radius ** 2:
                pixels[y][x] = DARK if d2 > (radius - 1.2 * s) ** 2 else TEAL

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    pixels[y][x] = colour

    # The open box: two walls and a floor.
    fill(8, 16, 10, 25, WHITE)
    fill(22, 16, 24, 25, WHITE)
    fill(8, 23, 24, 25, WHITE)
    # The arrow leaving it: a shaft and a head.
    fill(15, 10, 17, 21, ORANGE)
    for row in range(5):
        fill(16 - row - 1, 5 + row, 16 + row + 1, 6 + row, ORANGE)
    return pixels


def image_bytes(size):
    pixels = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 0, 0)
    palette = b"".join(
        struct.pack("<BBBB", *reversed(COLOURS.get(i, (0, 0, 0))), 0) for i in range(256)
    )
    xor_rows = []
    and_rows = []
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        xor_rows.append(bytes(row))
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(bits))
    data = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    return data


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [image_bytes(32), image_bytes(16)]
    assert [len(i) for i in images] == [2216, 1384], [len(i) for i in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
