#!/usr/bin/env python3
"""Draws the program's icon, a small house, and writes it as a Windows .ico file with nine
images: 48, 32 and 16 pixels square, each at 4, 8 and 24 bits per pixel.

Usage: tools/make_icon.py app/res/kervalen.ico
"""
import struct
import sys

# The 16 colours of the standard 4-bit palette, as (r, g, b).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, OLIVE, RED, YELLOW, BLUE, WHITE = (
    VGA[0], VGA[1], VGA[3], VGA[9], VGA[11], VGA[12], VGA[15])


def draw_house(n):
    """Returns n rows of n pixels, top row first; None marks a transparent pixel."""
    img = [[None] * n for _ in range(n)]
    u = n / 16.0  # the drawing is laid out on a 16 x 16 grid

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(round(y0 * u)), int(round(y1 * u))):
            for x in range(int(round(x0 * u)), int(round(x1 * u))):
                img[y][x] = colour

    # Walls with an outline, a door and a window.
    fill(2, 7, 14, 16, BLACK)
    fill(3, 8, 13, 15, YELLOW)
    fill(9, 10, 12, 15, OLIVE)
    fill(4, 9, 8, 12, BLUE)
    # The roof: a triangle from the eaves up to the ridge at the middle.
    top, eaves = int(round(1 * u)), int(round(7 * u))
    for y in range(top, eaves + 1 if eaves < n else n):
        half = (y - top + 1) * (n / 2.0) / (eaves - top + 1)
        x0, x1 = int(round(n / 2.0 - half)), int(round(n / 2.0 + half))
        for x in range(max(0, x0), min(n, x1)):
            edge = x in (x0, x1 - 1) or y == eaves
            img[y][x] = DARK_RED if edge else RED
    # A chimney on the right slope.
    fill(11, 2, 13, 5, BLACK)
    return img


def palette_for(bits):
    if bits == 4:
        return VGA
    if bits == 8:
        # The 16 standard colours first, then a grey ramp to fill the 256 entries.
        return VGA + [(g, g, g) for g in range(0, 240)]
    return None


def row_padded(data):
    return data + b"\0" * ((-len(data)) % 4)


def dib(img, bits):
    """BITMAPINFOHEADER, palette, colour rows and the 1-bit transparency mask, bottom-up."""
    n = len(img)
    palette = palette_for(bits)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, bits, 0, 0, 0, 0,
                         len(palette) if palette else 0, 0)
    out = bytearray(header)
    if palette:
        for r, g, b in palette:
            out += bytes((b, g, r, 0))
    for row in reversed(img):
        if bits == 24:
            data = b"".join(bytes((c[2], c[1], c[0])) if c else b"\0\0\0" for c in row)
        else:
            idx = [palette.index(c) if c else 0 for c in row]
            if bits == 8:
                data = bytes(idx)
            else:
                data = bytes((idx[i] << 4) | idx[i + 1] for i in range(0, n, 2))
        out += row_padded(data)
    for row in reversed(img):
        mask = bytearray((n + 7) // 8)
        for x, c in enumerate(row):
            if c is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        out += row_padded(bytes(mask))
    return bytes(out)


def main(path):
    images = []
    for size in (48, 32, 16):
        picture = draw_house(size)
        for bits in (4, 8, 24):
            images.append((size, bits, dib(picture, bits)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
