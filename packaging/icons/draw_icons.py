#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's icon at 16, 22, 24, 32, 48 and 64 pixels into PNG files.

The icon is a sheet wider than high, white dotted with yellow, outlined in
black, crossed by three black horizontal rules, with two notches in its
lower edge, on a transparent ground. Every image uses the sixteen colours of
the classic 16-colour palette, plus one transparent entry. The window
carries every size, and an install puts them in the desktop's theme: these
are the sizes desktops ask for, where a scaled drawing would blur its
one-pixel lines.

Run it from anywhere; it writes quibex-<size>.png next to itself. It needs
nothing but Python 3 (zlib and struct).
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
    22: {
        "sheet": (1, 4, 20, 17),
        "notches": [(8, 2, 2), (14, 2, 2)],
        "rules": [8, 11, 14],
        "rule_span": (2, 19),
        "dots": [(3, 5), (10, 5), (16, 6), (6, 9), (14, 9), (17, 12), (3, 12), (10, 12), (4, 15),
                 (17, 15)],
        "dot_size": 2,
    },
    24: {
        "sheet": (1, 5, 22, 18),
        "notches": [(8, 2, 2), (15, 2, 2)],
        "rules": [9, 12, 15],
        "rule_span": (2, 21),
        "dots": [(3, 6), (11, 6), (18, 7), (6, 10), (15, 10), (19, 13), (3, 13), (11, 13), (4, 16),
                 (19, 16)],
        "dot_size": 2,
    },
    # From 48 pixels on, lines are two pixels thick, as the theme's other
    # icons draw them at that size.
    48: {
        "sheet": (3, 10, 44, 37),
        "notches": [(17, 4, 5), (30, 4, 5)],
        "rules": [17, 23, 29],
        "rule_span": (5, 42),
        "dots": [(7, 13), (21, 12), (36, 13), (12, 19), (30, 19), (39, 25), (7, 25), (22, 25),
                 (37, 31), (9, 31)],
        "dot_size": 3,
        "line": 2,
    },
    64: {
        "sheet": (4, 14, 59, 49),
        "notches": [(22, 5, 6), (40, 5, 6)],
        "rules": [22, 30, 38],
        "rule_span": (6, 57),
        "dots": [(9, 17), (28, 16), (48, 17), (15, 25), (40, 25), (52, 33), (9, 33), (30, 33),
                 (50, 41), (11, 41)],
        "dot_size": 4,
        "line": 2,
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

    line = m.get("line", 1)
    pixels = [[CLEAR] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if not on_sheet(x, y):
                continue
            edge = any(not on_sheet(x + dx * d, y + dy * d)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)) for d in range(1, line + 1))
            pixels[y][x] = BLACK if edge else WHITE
    for x0, y0 in m["dots"]:
        for y in range(y0, y0 + m["dot_size"]):
            for x in range(x0, x0 + m["dot_size"]):
                if pixels[y][x] == WHITE:
                    pixels[y][x] = YELLOW
    first, last = m["rule_span"]
    for y in (r + d for r in m["rules"] for d in range(line)):
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
