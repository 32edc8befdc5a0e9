#!/usr/bin/env python3
"""Draws the application icon: a closed round trip through six cities on the
grey board, in the program's own colours, as a 32x32 and a 16x16 image of 16
colours each, and writes them as one .ico file.

Usage: make_icon.py OUTPUT.ico
The icon in the tree is this script's output; run it again after a change."""

import struct
import sys

# The 16-colour palette (red, green, blue). Index 0 stands behind the
# transparent pixels.
PALETTE = [
    (0, 0, 0),        # 0 black, under the mask
    (176, 176, 176),  # 1 board grey
    (192, 192, 192),  # 2 frame
    (128, 128, 128),  # 3 route
    (200, 100, 0),    # 4 start city and visited cities
    (128, 100, 255),  # 5 city outline, last picked city
    (255, 255, 255),  # 6 white
    (64, 64, 64),     # 7 dark edge
    (144, 144, 144),  # 8 darker grid
    (160, 160, 160),  # 9 lighter grid
    (0, 0, 128),      # 10..15 unused, the usual dark colours
    (0, 128, 0),
    (0, 128, 128),
    (128, 0, 0),
    (128, 0, 128),
    (128, 128, 0),
]
BOARD, FRAME, ROUTE, ORANGE, VIOLET, WHITE, EDGE = 1, 2, 3, 4, 5, 6, 7

# Cities on a unit square (x right, y down) and the order of the trip.
CITIES = [(0.05, 0.80), (0.12, 0.12), (0.55, 0.02), (0.95, 0.25), (0.80, 0.70), (0.40, 0.98)]
TRIP = [0, 1, 2, 3, 4, 5, 0]


def draw(size):
    pixels = [[BOARD] * size for _ in range(size)]
    transparent = [[False] * size for _ in range(size)]

    def put(x, y, colour):
        if 0 <= x < size and 0 <= y < size:
            pixels[y][x] = colour

    # Rounded corners: the corner pixels show the desktop through the mask.
    cut = 2 if size >= 32 else 1
    for y in range(size):
        for x in range(size):
            dx = min(x, size - 1 - x)
            dy = min(y, size - 1 - y)
            if dx + dy < cut:
                transparent[y][x] = True
                pixels[y][x] = 0
            elif dx == 0 or dy == 0 or dx + dy == cut:
                pixels[y][x] = EDGE

    # The frame around the board, a few pixels inside the edge.
    inset = 3 if size >= 32 else 1
    for i in range(inset, size - inset):
        for x, y in ((i, inset), (i, size - 1 - inset), (inset, i), (size - 1 - inset, i)):
            put(x, y, FRAME)

    lo, hi = inset + 2, size - inset - 3
    points = [(round(lo + cx * (hi - lo)), round(lo + cy * (hi - lo))) for cx, cy in CITIES]

    thick = size >= 32
    for a, b in zip(TRIP, TRIP[1:]):
        (x0, y0), (x1, y1) = points[a], points[b]
        for x, y in line(x0, y0, x1, y1):
            put(x, y, ROUTE)
            if thick:
                put(x + 1, y, ROUTE)
                put(x, y + 1, ROUTE)

    half = 2 if size >= 32 else 1
    for i, (x, y) in enumerate(points):
        for yy in range(y - half, y + half + 1):
            for xx in range(x - half, x + half + 1):
                edge = abs(xx - x) == half or abs(yy - y) == half
                if i == 0:
                    put(xx, yy, ORANGE)
                elif i == len(points) - 1:
                    put(xx, yy, VIOLET)
                else:
                    put(xx, yy, VIOLET if edge else ORANGE)
    return pixels, transparent


def line(x0, y0, x1, y1):
    """The pixels of a line from (x0, y0) to (x1, y1), both ends included."""
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx = 1 if x0 < x1 else -1
    sy = 1 if y0 < y1 else -1
    err = dx + dy
    while True:
        yield x0, y0
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def image_bytes(size):
    """One icon image: header, palette, 4-bit colour rows and the 1-bit mask,
    rows bottom-up and each padded to four bytes."""
    pixels, transparent = draw(size)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         (xor_row + and_row) * size, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(xor_row)
        for x in range(0, size, 2):
            row[x // 2] = (pixels[y][x] << 4) | pixels[y][x + 1]
        xor += row
        bits = bytearray(and_row)
        for x in range(size):
            if transparent[y][x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def icon_file(sizes):
    images = [image_bytes(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as f:
        f.write(icon_file([32, 16]))
