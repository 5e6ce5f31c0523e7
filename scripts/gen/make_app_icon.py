#!/usr/bin/env python3
"""Writes resources/ledgra.ico: the application icon (a ledger page with an export arrow)
at 32x32 and 16x16, 32-bit BMP images with alpha. Run from the repository root."""
import struct
import sys


def draw(size):
    """Returns rows (top first) of (r, g, b, a) pixels."""
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    border = (60, 72, 88, 255)
    paper = (250, 250, 245, 255)
    header = (32, 96, 176, 255)
    line = (150, 160, 175, 255)
    arrow = (34, 150, 70, 255)

    rect(4, 2, 26, 30, border)          # page outline
    rect(5, 3, 25, 29, paper)
    rect(5, 3, 25, 9, header)           # title band
    for y in (12, 16, 20, 24):          # ledger rows
        rect(8, y, 22, y + 1, line)
    rect(15, 11, 16, 27, line)          # amount column rule
    # export arrow at the lower right
    rect(18, 21, 27, 25, arrow)
    for i in range(5):
        rect(27 + i, 18 + i, 28 + i, 28 - i, arrow)
    return px


def bmp_image(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(px):            # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for row in reversed(px):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    return header + bytes(xor) + bytes(and_mask)


def main(path):
    sizes = (32, 16)
    images = [bmp_image(n) for n in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/ledgra.ico")
