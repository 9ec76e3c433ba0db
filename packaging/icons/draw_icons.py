#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the window icon, 32 x 32 and 16 x 16 pixels, into PNG files.

The icon is a sheet wider than high, white dotted with yellow, outlined in
black, crossed by three black horizontal rules, with two notches in its
lower edge, on a transparent ground. Both images use the sixteen colours of
the classic 16-colour palette, plus one transparent entry.

Run it from anywhere; it writes quibex-32.png and quibex-16.png next to
itself. It needs nothing but Python 3 (zlib and struct).
"""

import os
import struct
import zlib

# The classic 16-colour palette; index 0 is the transparent ground.
PALETTE = [
    (0, 0, 0),  # transparent (alpha 0)
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
CLEAR, BLACK, YELLOW, WHITE = 0, 1, 12, 16

# Each size is drawn from its own measures rather than scaled, so that the
# small image keeps crisp one-pixel lines.
SIZES = {
    32: {
        # The sheet, left/top/right/bottom pixels included.
        "sheet": (2, 7, 29, 24),
        # Notches cut up into the lower edge: (centre column, half width, depth).
        "notches": [(11, 3, 3), (20, 3, 3)],
        "rules": [11, 15, 19],
        "rule_span": (3, 28),
        # Yellow dots, two pixels square, by their top-left pixel.
        "dots": [(5, 9), (14, 8), (24, 9), (8, 13), (20, 13), (26, 17), (5, 17), (15, 17),
                 (25, 21), (6, 21)],
        "dot_size": 2,
    },
    16: {
        "sheet": (1, 2, 14, 13),
        "notches": [(5, 1, 2), (10, 1, 2)],
        "rules": [5, 7, 9],
        "rule_span": (2, 13),
        "dots": [(3, 3), (8, 4), (12, 3), (5, 6), (11, 6), (3, 8), (9, 8), (12, 10), (7, 11)],
        "dot_size": 1,
    },
}


def in_notch(x, y, bottom, notches):
    """A notch is a V cut up into the lower edge: widest at the edge."""
    for centre, half, depth in notches:
        up = bottom - y  # 0 on the lower edge
        if 0 <= up < depth and abs(x - centre) <= half - up * half // depth:
            return True
    return False


def draw(size):
    m = SIZES[size]
    left, top, right, bottom = m["sheet"]

    def on_sheet(x, y):
        return (left <= x <= right and top <= y <= bottom
                and not in_notch(x, y, bottom, m["notches"]))

    pixels = [[CLEAR] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if not on_sheet(x, y):
                continue
            edge = any(not on_sheet(x + dx, y + dy)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            pixels[y][x] = BLACK if edge else WHITE
    for x0, y0 in m["dots"]:
        for y in range(y0, y0 + m["dot_size"]):
            for x in range(x0, x0 + m["dot_size"]):
                if pixels[y][x] == WHITE:
                    pixels[y][x] = YELLOW
    first, last = m["rule_span"]
    for y in m["rules"]:
        for x in range(first, last + 1):
            if pixels[y][x] != CLEAR:
                pixels[y][x] = BLACK
    return pixels


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(pixels):
    height, width = len(pixels), len(pixels[0])
    # 8-bit palette indexes: 17 entries do not fit in four bits.
    header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
    palette = b"".join(bytes(rgb) for rgb in PALETTE)
    alpha = bytes([0])  # entry 0 transparent; the entries after it are opaque
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
            + chunk(b"tRNS", alpha) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for size in SIZES:
        with open(os.path.join(here, "quibex-%d.png" % size), "wb") as out:
            out.write(png(draw(size)))


if __name__ == "__main__":
    main()
