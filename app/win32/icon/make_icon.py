#!/usr/bin/env python3
"""Makes the Windows icon from the program's one icon picture (app/qt/orvanta.png,
256x256, the same picture the Linux desktop shows): true-colour images with
alpha of 16, 24, 32, 48, 64, 128 and 256 pixels, each scaled down smoothly
(area averaging with premultiplied alpha) from the large one, written as one
.ico file: 32-bit images below 256 pixels, the 256-pixel image as PNG.

Usage: make_icon.py SOURCE.png OUTPUT.ico
The icon in the tree is this script's output; run it again after a change."""

import struct
import sys
import zlib

SIZES = [16, 24, 32, 48, 64, 128, 256]


def read_png(path):
    """The pixels of an 8-bit PNG (palette, grey, RGB or RGBA, not interlaced)
    as rows of (red, green, blue, alpha) tuples."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is not a PNG file")
    pos, idat, palette, alphas = 8, b"", [], b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"tRNS":
            alphas = body
        elif kind == b"IDAT":
            idat += body
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    if depth != 8 or interlace != 0:
        raise ValueError(f"{path}: only 8-bit, non-interlaced PNG files are read")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        row = []
        for x in range(width):
            px = line[x * channels:(x + 1) * channels]
            if colour == 3:
                index = px[0]
                r, g, b = palette[index]
                row.append((r, g, b, alphas[index] if index < len(alphas) else 255))
            elif colour == 0:
                row.append((px[0], px[0], px[0], 255))
            elif colour == 4:
                row.append((px[0], px[0], px[0], px[1]))
            elif colour == 2:
                row.append((px[0], px[1], px[2], 255))
            else:
                row.append(tuple(px))
        rows.append(row)
    return rows


def weights(source, target):
    """For each target pixel, the source pixels it covers and how much."""
    scale = source / target
    spans = []
    for t in range(target):
        start, end = t * scale, (t + 1) * scale
        span, s = [], int(start)
        while s < end and s < source:
            cover = min(end, s + 1) - max(start, s)
            if cover > 1e-9:
                span.append((s, cover / scale))
            s += 1
        spans.append(span)
    return spans


def scale_down(rows, size):
    """Area-averaged downscale in premultiplied alpha, rounded to 8 bits."""
    height, width = len(rows), len(rows[0])
    premultiplied = [[(r * a, g * a, b * a, a) for r, g, b, a in row] for row in rows]
    across = weights(width, size)
    wide = [[tuple(sum(row[s][c] * w for s, w in span) for c in range(4)) for span in across]
            for row in premultiplied]
    out = []
    for span in weights(height, size):
        row = []
        for x in range(size):
            r, g, b, a = (sum(wide[s][x][c] * w for s, w in span) for c in range(4))
            if a < 0.5:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, int(v / a + 0.5)) for v in (r, g, b)) + (min(255, int(a + 0.5)),))
        out.append(row)
    return out


def png_bytes(rows):
    """An RGBA PNG of the rows, without time stamps."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bitmap_bytes(rows):
    """A 32-bit icon image: header, blue-green-red-alpha rows bottom-up, and
    the 1-bit mask (set where the picture is fully transparent)."""
    size = len(rows)
    mask_row = (size + 31) // 32 * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, (size * 4 + mask_row) * size, 0, 0, 0, 0)
    colour, mask = bytearray(), bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, (r, g, b, a) in enumerate(row):
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def icon_file(source):
    images = []
    for size in SIZES:
        rows = source if size == len(source) else scale_down(source, size)
        images.append(png_bytes(rows) if size >= 256 else bitmap_bytes(rows))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        # A width and height of 0 stand for 256.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_icon.py SOURCE.png OUTPUT.ico")
    picture = read_png(sys.argv[1])
    if len(picture) != 256 or len(picture[0]) != 256:
        sys.exit(f"{sys.argv[1]} is not 256x256")
    with open(sys.argv[2], "wb") as f:
        f.write(icon_file(picture))
