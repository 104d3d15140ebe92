#!/usr/bin/env python3
"""Draws the shop's icons into data/icons/.

Plain Python 3, standard library only. Three icons, each in several sizes, as
PNG files named NAME-SIZE.png:

    quorl   the program: a slate tile with the row of shade blocks, light to solid
    gly     an art file: a page with four lines of art, one per art page
    mcr     a macro file: a page with a taller block of art lines

The output is committed; run this again only after changing the look:

    python3 tools/makeicons.py [--out DIR]
"""

import argparse
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SUPER = 4  # samples per pixel edge, for smooth edges

SLATE_TOP = (60, 71, 83)
SLATE_BOT = (31, 37, 44)
RIM = (9, 12, 15)
PAPER = (223, 232, 236)
PAPER_SHADE = (176, 190, 198)
ACCENT = (63, 184, 173)
ACCENT_DIM = (34, 104, 98)
INK = (47, 56, 66)
WARM = (232, 140, 118)


def png(width, height, rows):
    """rows: list of bytes objects of RGBA pixels."""
    raw = b"".join(b"\x00" + r for r in rows)

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    head = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


class Canvas:
    """A supersampled RGBA canvas in unit coordinates (0..1 both ways)."""

    def __init__(self, size):
        self.size = size
        self.n = size * SUPER
        self.px = [[(0, 0, 0, 0)] * self.n for _ in range(self.n)]

    def rect(self, x0, y0, x1, y1, colour, alpha=255):
        n = self.n
        for y in range(max(0, int(y0 * n)), min(n, int(round(y1 * n)))):
            row = self.px[y]
            for x in range(max(0, int(x0 * n)), min(n, int(round(x1 * n)))):
                row[x] = blend(row[x], colour, alpha)

    def gradient(self, x0, y0, x1, y1, top, bottom):
        n = self.n
        ya, yb = int(y0 * n), int(round(y1 * n))
        for y in range(max(0, ya), min(n, yb)):
            t = (y - ya) / max(1, yb - ya - 1)
            c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
            row = self.px[y]
            for x in range(max(0, int(x0 * n)), min(n, int(round(x1 * n)))):
                row[x] = (c[0], c[1], c[2], 255)

    def triangle_cut(self, x0, y0, x1, y1):
        """Clears the triangle above the line from (x0, y1) to (x1, y0): the folded corner."""
        n = self.n
        for y in range(int(y0 * n), int(round(y1 * n))):
            for x in range(int(x0 * n), int(round(x1 * n))):
                u = (x + 0.5) / n - x0
                v = (y + 0.5) / n - y0
                if (u / (x1 - x0)) > (v / (y1 - y0)):
                    self.px[y][x] = (0, 0, 0, 0)

    def pixels(self):
        rows = []
        s = SUPER
        for y in range(self.size):
            out = bytearray()
            for x in range(self.size):
                r = g = b = a = 0
                for dy in range(s):
                    row = self.px[y * s + dy]
                    for dx in range(s):
                        pr, pg, pb, pa = row[x * s + dx]
                        r += pr * pa
                        g += pg * pa
                        b += pb * pa
                        a += pa
                if a:
                    out += bytes((r // a, g // a, b // a, a // (s * s)))
                else:
                    out += b"\x00\x00\x00\x00"
            rows.append(bytes(out))
        return rows


def blend(under, colour, alpha):
    ur, ug, ub, ua = under
    if ua == 0 or alpha == 255:
        return (colour[0], colour[1], colour[2], max(alpha, ua))
    t = alpha / 255
    return (int(colour[0] * t + ur * (1 - t)), int(colour[1] * t + ug * (1 - t)),
            int(colour[2] * t + ub * (1 - t)), max(alpha, ua))


def page(c, fold=0.22):
    """A sheet with a folded top-right corner, from 0.14 to 0.86 wide."""
    x0, y0, x1, y1 = 0.14, 0.06, 0.86, 0.94
    c.rect(x0, y0, x1, y1, RIM)
    c.rect(x0 + 0.03, y0 + 0.03, x1 - 0.03, y1 - 0.03, PAPER)
    # The folded corner: cut it away, then draw the flap.
    c.triangle_cut(x1 - fold, y0, x1, y0 + fold)
    n = c.n
    for y in range(int(y0 * n), int(round((y0 + fold) * n))):
        for x in range(int((x1 - fold) * n), int(round(x1 * n))):
            u = (x + 0.5) / n - (x1 - fold)
            v = (y + 0.5) / n - y0
            if u <= v:
                edge = abs(u - v) < 0.03 or u < 0.03
                c.px[y][x] = (RIM + (255,)) if edge else (PAPER_SHADE + (255,))
    return x0 + 0.1, x1 - 0.1


def draw_quorl(c):
    c.rect(0.04, 0.04, 0.96, 0.96, RIM)
    c.gradient(0.08, 0.08, 0.92, 0.92, SLATE_TOP, SLATE_BOT)
    # The shop's mark: four shade blocks, light to solid.
    for i, alpha in enumerate((70, 130, 195, 255)):
        x = 0.14 + i * 0.19
        c.rect(x, 0.40, x + 0.15, 0.60, ACCENT, alpha)
    c.rect(0.14, 0.70, 0.86, 0.74, ACCENT_DIM)


def draw_gly(c):
    left, right = page(c)
    # Four lines of art, one per art page, in shade blocks of varying length.
    lengths = (0.9, 0.6, 1.0, 0.75)
    for i, length in enumerate(lengths):
        y = 0.36 + i * 0.14
        c.rect(left, y, left + (right - left) * length, y + 0.08, ACCENT if i % 2 == 0 else INK)


def draw_mcr(c):
    left, right = page(c)
    # A taller piece: a little stair of blocks over many short lines, and a warm play mark.
    for i in range(7):
        y = 0.32 + i * 0.08
        w = 0.35 + 0.09 * (i if i < 4 else 6 - i)
        c.rect(left, y, left + (right - left) * w, y + 0.05, INK)
    c.rect(right - 0.2, 0.72, right, 0.84, WARM)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default=os.path.join(here, "..", "data", "icons"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, draw in (("quorl", draw_quorl), ("gly", draw_gly), ("mcr", draw_mcr)):
        for size in SIZES:
            c = Canvas(size)
            draw(c)
            with open(os.path.join(args.out, "%s-%d.png" % (name, size)), "wb") as f:
                f.write(png(size, size, c.pixels()))


if __name__ == "__main__":
    main()
