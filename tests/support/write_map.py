#!/usr/bin/env python3
"""Writes an unsolved map file (.rva, 512 bytes) for the front-end checks.

Usage: write_map.py <file> <grid width> <grid height> x,y [x,y ...]
"""
import struct
import sys

VERSION = 2
MAP_BYTES = 512
CITIES_AT = 292


def main():
    path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    cities = [tuple(int(v) for v in pair.split(",")) for pair in sys.argv[4:]]
    if not 1 <= len(cities) <= 18:
        sys.exit("between 1 and 18 cities")
    record = bytearray(MAP_BYTES)
    # version, personal number, save time, four stamp words, width, height, count, solved
    struct.pack_into("<11i", record, 0, VERSION, 0, 0, 0, 0, 0, 0, width, height, len(cities), 0)
    for i, (x, y) in enumerate(cities):
        struct.pack_into("<2i", record, CITIES_AT + 8 * i, x, y)
    with open(path, "wb") as out:
        out.write(record)


if __name__ == "__main__":
    main()
