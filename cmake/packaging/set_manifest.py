#!/usr/bin/env python3
"""Puts the installer's own manifest into the installer's header in place of
the compiler's, at the same size (padded with spaces) so that nothing else in
the file moves.

Usage: set_manifest.py <header exe> <manifest.xml>
"""
import re
import struct
import sys


def main():
    exe_path, manifest_path = sys.argv[1], sys.argv[2]
    data = bytearray(open(exe_path, "rb").read())
    # The manifest text itself: the compiler's is the one XML document in the header.
    start = data.find(b"<?xml")
    end = data.find(b"</assembly>", start)
    if start < 0 or end < 0:
        sys.exit("set_manifest.py: no manifest in " + exe_path)
    end += len(b"</assembly>")
    room = end - start
    # One line, no comments: the manifest must fit where the compiler's stood.
    text = open(manifest_path, encoding="utf-8").read()
    text = re.sub(r"<!--.*?-->", "", text, flags=re.S)
    text = re.sub(r">\s+<", "><", text).strip()
    text = re.sub(r"\s+", " ", text).encode("utf-8")
    if len(text) > room:
        sys.exit(f"set_manifest.py: the manifest has {len(text)} bytes, room for {room}")
    closing = b"</assembly>"
    text = text[: -len(closing)] + b" " * (room - len(text)) + closing
    data[start:end] = text
    open(exe_path, "wb").write(data)


if __name__ == "__main__":
    main()
