#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: valid map and game files and
files at the edges of what the loaders accept, and map codes. Run from anywhere; the files go
to corpus/map and corpus/game beside this script. The encoding is written out
here on its own, as a second reading of the record layout."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def header(w, h, n, solved=0, count=0, lengths=(), counts=(), version=2, stamps=(0, 0, 0, 0), reserved=0):
    out = struct.pack("<iii4iiiiiii", version, 4711, 1_700_000_000, *stamps, w, h, n, solved, count, reserved)
    lengths = list(lengths) + [0.0] * (20 - len(lengths))
    counts = list(counts) + [0] * (20 - len(counts))
    out += struct.pack("<20d", *lengths) + struct.pack("<20i", *counts)
    assert len(out) == 292
    return out


def cities(points):
    points = list(points) + [(0, 0)] * (18 - len(points))
    return b"".join(struct.pack("<ii", x, y) for x, y in points)


def route(entries):
    entries = list(entries) + [0] * (19 - len(entries))
    return struct.pack("<19i", *entries)


def map_file(hdr, points, solution=()):
    out = hdr + cities(points) + route(solution)
    assert len(out) == 512
    return out


def game_file(hdr, points, solution=(), player=(0,), length=1, elapsed=40, finished=0):
    out = hdr + struct.pack("<iii", elapsed, finished, length) + cities(points) + route(solution) + route(player)
    assert len(out) == 600
    return out


def tour_length(points, order):
    return sum(math.dist(points[order[k]], points[order[(k + 1) % len(order)]]) for k in range(len(order)))


# A solved square of four cities: its rim (met twice, once each way) and the
# two crossed tours (four orderings).
square = [(0, 0), (10, 0), (10, 10), (0, 10)]
short = tour_length(square, [0, 1, 2, 3])
long_ = tour_length(square, [0, 2, 1, 3])
square_header = header(11, 11, 4, solved=1, count=2, lengths=(1.0, long_ / short), counts=(2, 4))
nine = [(i * 7 % 41, i * 13 % 41) for i in range(9)]
eighteen = [(i, (i * 5) % 18) for i in range(18)]
stale = square + [(9000 - i, 100 + i) for i in range(14)]

maps = {
    "solved_square": map_file(square_header, square, [0, 1, 2, 3, 0]),
    "unsolved_nine": map_file(header(41, 41, 9), nine),
    "eighteen_large_grid": map_file(header(10000, 10000, 18), [(x * 500, y * 500) for x, y in eighteen]),
    "stale_slots": map_file(header(11, 11, 4), stale),
    "narrow_many": map_file(header(1, 3, 50), [(0, 0), (1, 2)]),
    "empty": map_file(header(11, 11, 0), []),
    "off_grid": map_file(header(11, 11, 3, solved=1, count=1, lengths=(1.0,)), [(-4, 12), (50, 50), (3, 3)], [0, 1, 2, 0]),
    "bad_spectrum": map_file(header(11, 11, 4, solved=1, count=21, lengths=(float("nan"), float("inf"))), square, [0, 1, 2, 3, 0]),
    "grid_too_large": map_file(header(10001, 11, 4), square),
    "version_three": map_file(header(11, 11, 4, version=3), square),
    "one_byte_short": map_file(header(11, 11, 4), square)[:511],
    "longer_file": map_file(header(11, 11, 4), square) + bytes(range(256)),
}
games = {
    "solved_square_closed": game_file(square_header, square, [0, 1, 2, 3, 0], [0, 3, 2, 1, 0], 5, finished=1),
    "mid_route": game_file(header(41, 41, 9), nine, player=[0, 4, 2], length=3),
    "mid_route_with_picks": game_file(header(41, 41, 9), nine, player=[0, 4, 2], length=3) + bytes([1, 3, 5, 8, 2, 0x80, 7, 6]),
    "eighteen": game_file(header(10000, 10000, 18), [(x * 500, y * 500) for x, y in eighteen], player=[0, 17, 16], length=3),
    "route_duplicates": game_file(header(11, 11, 4), square, player=[0, 1, 1, 2, 0], length=5),
    "route_out_of_range": game_file(header(11, 11, 4), square, player=[0, 2, 99, -1], length=4),
    "route_too_long": game_file(header(11, 11, 4), square, player=[0, 1, 2, 3, 0, 1, 2], length=2**31 - 1),
    "route_length_zero": game_file(header(11, 11, 4), square, player=[5], length=0),
    "clock_extremes": game_file(header(11, 11, 4), square, elapsed=-2**31, finished=7),
    "clock_max": game_file(header(11, 11, 4), square, elapsed=2**31 - 1),
    "version_one": game_file(header(11, 11, 4, version=1), square),
    "map_sized": map_file(header(11, 11, 4), square),
}

maps["game_file"] = games["solved_square_closed"]

# The map target also reads its input as a map code: codes of each grid kind,
# one as a whole link, so that the fuzzer starts past the code's check.
maps["code_coarse"] = b"48GC5GVQJ8RZ31R61"
maps["code_medium_link"] = b"https://example.org/orvanta/public.html#5CKQM8FXHN8947DDHD7XCBT81VZJ20X"
maps["code_fine"] = b"6JGMTE6WVFAP414CWC92JSYTSHWPEMJ814AB2V25WK73875KJGY6EW5Z0M1JNCSSQMRMNY1SC2T2NXYKYCK0TYD0WA27151WY4N6N"
maps["code_given_grid"] = b"7014060G03Q392A51TW"

for kind, files in (("map", maps), ("game", games)):
    folder = os.path.join(HERE, "corpus", kind)
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
