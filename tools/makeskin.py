#!/usr/bin/env python3
"""Builds the shipped skins into data/skins/: "Slate Dusk" (default/),
"Linen Morning" (linen/) and "Night Signal" (signal/).

Plain Python 3, standard library only. Writes the eleven 24-bit BMP files
and skin.ini (CR LF) of each skin. The output is committed; run this again
only after changing the look:

    python3 tools/makeskin.py [--skin default|linen|signal] [--out DIR]
"""

import argparse
import os
import struct
import sys

# ---------------------------------------------------------------- themes (RGB)

class Theme:
    """The colours and texts of one skin. Every bitmap is drawn from these."""

    def __init__(self, folder, info, **colours):
        self.folder = folder
        self.info = info
        # Slate Dusk is the reference; the other themes change what they need.
        self.BG_TOP = (47, 56, 66)        # body gradient, top
        self.BG_BOT = (31, 37, 44)        # body gradient, bottom
        self.CAP_TOP = (60, 71, 83)       # caption strip gradient
        self.CAP_BOT = (40, 48, 57)
        self.RIM_DARK = (9, 12, 15)       # outermost frame line
        self.BEVEL_HI = (88, 102, 116)    # raised edge, light side
        self.BEVEL_LO = (20, 25, 30)      # raised edge, dark side
        self.WELL = (19, 24, 29)          # recessed areas around the text fields
        self.WELL_HI = (70, 82, 94)       # lower/right lip of a recess
        self.ACCENT = (63, 184, 173)      # teal
        self.ACCENT_DIM = (34, 104, 98)
        self.GLYPH = (206, 218, 224)      # caption button glyphs
        self.CLOSE_GLYPH = (232, 140, 118)
        self.BTN_TOP = (72, 84, 97)       # push-button face gradient
        self.BTN_BOT = (40, 48, 57)
        self.BTN_HI = (104, 119, 134)     # its top edge
        self.BTN_LO = (30, 36, 43)        # its bottom edge
        self.BTN_LEFT = (84, 97, 111)
        self.BTN_RIGHT = (34, 41, 49)
        self.BTN_CORNER = (22, 27, 32)
        self.MARK = 0.55                  # wordmark: share of the accent
        self.TEXT_BG = (16, 21, 25)
        self.TEXT_FORE = (214, 228, 232)
        self.OVER_BOX = (20, 38, 42)
        self.OFF_BOX = (13, 17, 21)
        self.BUTTON_FORE = (230, 238, 240)
        self.TITLE_FORE = (127, 214, 204)
        self.STATIC_FORE = (170, 184, 194)
        self.REST_FORE = (95, 201, 190)
        self.RECT_FORE = (185, 199, 208)
        self.MENUBAR_FORE = (223, 232, 236)
        self.MENU_FORE = (207, 218, 222)
        self.MENU_BG = (35, 42, 50)
        self.FONT = "DejaVu Sans"
        for name, value in colours.items():
            if not hasattr(self, name):
                raise SystemExit("unknown theme value " + name)
            setattr(self, name, value)


SLATE = Theme("default", {
    "name": "Slate Dusk",
    "artist": "Tavi Brennock",
    "rating": "4 of 5 - easy on the eyes",
    "comment": "Dark slate with a teal edge, made for long nights of ascii.",
})

# Warm paper with a terracotta edge: light bodies, ink-dark text.
LINEN = Theme("linen", {
    "name": "Linen Morning",
    "artist": "Pell Aversano",
    "rating": "4 of 5 - bright and calm",
    "comment": "Warm paper and a terracotta thread, for art made by daylight.",
},
    BG_TOP=(244, 239, 229), BG_BOT=(228, 220, 205),
    CAP_TOP=(252, 248, 240), CAP_BOT=(234, 226, 211),
    RIM_DARK=(118, 102, 86), BEVEL_HI=(255, 255, 252), BEVEL_LO=(186, 173, 154),
    WELL=(212, 202, 186), WELL_HI=(255, 253, 247),
    ACCENT=(192, 92, 42), ACCENT_DIM=(222, 164, 124),
    GLYPH=(86, 72, 60), CLOSE_GLYPH=(186, 64, 36),
    BTN_TOP=(255, 252, 246), BTN_BOT=(230, 221, 205), BTN_HI=(255, 255, 255),
    BTN_LO=(190, 177, 158), BTN_LEFT=(250, 246, 239), BTN_RIGHT=(206, 194, 176),
    BTN_CORNER=(196, 186, 170), MARK=0.75,
    TEXT_BG=(255, 253, 248), TEXT_FORE=(44, 36, 30),
    OVER_BOX=(255, 242, 222), OFF_BOX=(247, 243, 235),
    BUTTON_FORE=(60, 46, 36), TITLE_FORE=(160, 72, 30), STATIC_FORE=(98, 86, 74),
    REST_FORE=(166, 82, 36), RECT_FORE=(88, 74, 60), MENUBAR_FORE=(64, 50, 40),
    MENU_FORE=(52, 42, 34), MENU_BG=(249, 245, 238),
)

# High contrast: black, white lines and one signal yellow.
SIGNAL = Theme("signal", {
    "name": "Night Signal",
    "artist": "Juno Rask",
    "rating": "5 of 5 - reads from across the room",
    "comment": "High contrast: white on black with a signal-yellow edge, for tired eyes and bright rooms.",
},
    BG_TOP=(0, 0, 0), BG_BOT=(0, 0, 0), CAP_TOP=(0, 0, 0), CAP_BOT=(0, 0, 0),
    RIM_DARK=(255, 255, 255), BEVEL_HI=(0, 0, 0), BEVEL_LO=(0, 0, 0),
    WELL=(0, 0, 0), WELL_HI=(255, 255, 255),
    ACCENT=(255, 214, 0), ACCENT_DIM=(255, 214, 0),
    GLYPH=(255, 255, 255), CLOSE_GLYPH=(255, 214, 0),
    BTN_TOP=(0, 0, 0), BTN_BOT=(0, 0, 0), BTN_HI=(255, 255, 255),
    BTN_LO=(255, 255, 255), BTN_LEFT=(255, 255, 255), BTN_RIGHT=(255, 255, 255),
    BTN_CORNER=(0, 0, 0), MARK=1.0,
    TEXT_BG=(0, 0, 0), TEXT_FORE=(255, 255, 255),
    OVER_BOX=(0, 0, 110), OFF_BOX=(0, 0, 0),
    BUTTON_FORE=(255, 255, 255), TITLE_FORE=(255, 214, 0), STATIC_FORE=(255, 255, 255),
    REST_FORE=(255, 214, 0), RECT_FORE=(255, 255, 255), MENUBAR_FORE=(255, 255, 255),
    MENU_FORE=(255, 255, 255), MENU_BG=(0, 0, 0),
)

THEMES = {t.folder: t for t in (SLATE, LINEN, SIGNAL)}
T = SLATE  # the theme being drawn


# ---------------------------------------------------------------- drawing

def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    def __init__(self, w, h, color=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[color] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def blend(self, x, y, c, a):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = mix(self.px[y][x], c, a)

    def rect(self, x0, y0, x1, y1, c):
        """Fill [x0, x1] x [y0, y1], inclusive."""
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                row[x] = c

    def vgrad(self, x0, y0, x1, y1, top, bot):
        span = max(1, y1 - y0)
        for y in range(y0, y1 + 1):
            self.rect(x0, y, x1, y, mix(top, bot, (y - y0) / span))

    def hgrad(self, x0, y0, x1, y1, left, right):
        span = max(1, x1 - x0)
        for x in range(x0, x1 + 1):
            self.rect(x, y0, x, y1, mix(left, right, (x - x0) / span))

    def hline(self, x0, x1, y, c):
        self.rect(x0, y, x1, y, c)

    def vline(self, x, y0, y1, c):
        self.rect(x, y0, x, y1, c)

    def frame(self, x0, y0, x1, y1, tl, br):
        """One-pixel edge: tl on top/left, br on bottom/right."""
        self.hline(x0, x1, y0, tl)
        self.vline(x0, y0, y1, tl)
        self.hline(x0, x1, y1, br)
        self.vline(x1, y0, y1, br)

    def raised(self, x0, y0, x1, y1):
        self.frame(x0, y0, x1, y1, T.RIM_DARK, T.RIM_DARK)
        self.frame(x0 + 1, y0 + 1, x1 - 1, y1 - 1, T.BEVEL_HI, T.BEVEL_LO)

    def recess(self, x0, y0, x1, y1, fill=None):
        """Sunken well whose inside is (x0+1..x1-1, y0+1..y1-1)."""
        if fill is not None:
            self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)
        self.frame(x0, y0, x1, y1, T.RIM_DARK, T.WELL_HI)

    def glyph(self, x, y, rows, c):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == "#":
                    self.put(x + dx, y + dy, c)
                elif ch == "+":
                    self.blend(x + dx, y + dy, c, 0.45)

    def text(self, x, y, s, c, gap=1):
        for ch in s:
            rows = FONT[ch]
            self.glyph(x, y, rows, c)
            x += len(rows[0]) + gap
        return x

    def shade(self, x0, y0, x1, y1, c, level):
        """Dithered block of density level/4, like the shade characters."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                i, j = (x - x0) & 1, (y - y0) & 1
                on = {1: i == 0 and j == 0,
                      2: (i ^ j) == 0,
                      3: not (i == 1 and j == 1),
                      4: True}[level]
                if on:
                    self.put(x, y, c)

    def save_bmp(self, path):
        pad = (4 - (self.w * 3) % 4) % 4
        size = (self.w * 3 + pad) * self.h
        out = bytearray()
        out += b"BM" + struct.pack("<IHHI", 54 + size, 0, 0, 54)
        out += struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0,
                           size, 2835, 2835, 0, 0)
        for y in range(self.h - 1, -1, -1):
            for r, g, b in self.px[y]:
                out += bytes((b, g, r))
            out += b"\0" * pad
        with open(path, "wb") as f:
            f.write(out)


# Tiny pixel font for the few letters the bitmaps carry ('+' = half tone).
FONT = {
    "q": [".....", ".####", "#...#", "#...#", ".####", "....#", "....#"],
    "u": [".....", "#...#", "#...#", "#...#", "#..##", ".##.#", "....."],
    "o": [".....", ".###.", "#...#", "#...#", "#...#", ".###.", "....."],
    "r": [".....", "#.##.", "##..#", "#....", "#....", "#....", "....."],
    "l": ["##.", ".#.", ".#.", ".#.", ".#.", "###", "..."],
    "a": [".....", ".###.", "....#", ".####", "#...#", ".####", "....."],
    "s": [".....", ".####", "#....", ".###.", "....#", "####.", "....."],
    "c": [".....", ".###.", "#....", "#....", "#....", ".###.", "....."],
    "i": [".#.", "...", "##.", ".#.", ".#.", "###", "..."],
    "h": ["#....", "#....", "#.##.", "##..#", "#...#", "#...#", "....."],
    "p": [".....", "####.", "#...#", "#...#", "####.", "#....", "#...."],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
}

HELP_GLYPH = [".###.", "#+..#", "...#.", "..#..", "..#..", ".....", "..#.."]
MIN_GLYPH = [".....", ".....", ".....", ".....", ".....", ".....", "#####"]
CLOSE_GLYPH_ROWS = ["#...#", "+#.#+", ".+#+.", "..#..", ".+#+.", "+#.#+",
                    "#...#"]


# ---------------------------------------------------------------- pieces

def body(cv):
    cv.vgrad(0, 0, cv.w - 1, cv.h - 1, T.BG_TOP, T.BG_BOT)


def caption(cv, height=16):
    """Caption strip 0..height-1 with a teal underline fading at both ends."""
    cv.vgrad(0, 0, cv.w - 1, height - 1, T.CAP_TOP, T.CAP_BOT)
    y = height
    n = cv.w
    for x in range(n):
        t = min(x, n - 1 - x) / max(1.0, n * 0.18)
        cv.put(x, y, mix(T.BEVEL_LO, T.ACCENT_DIM, t))
    cv.hline(0, cv.w - 1, y + 1, mix(T.BG_TOP, T.BEVEL_LO, 0.5))


def shade_run(cv, x_right, y0, y1, color, cell=4):
    """Four dither blocks light to dense, ending at x_right."""
    x = x_right - 4 * (cell + 1) + 2
    for level in (1, 2, 3, 4):
        cv.shade(x, y0, x + cell - 1, y1, color, level)
        x += cell + 1


def cap_button(cv, x, y, rows, glyph_color):
    w, h = 12, 12
    cv.vgrad(x + 1, y + 1, x + w - 2, y + h - 2,
             mix(T.CAP_TOP, T.BEVEL_HI, 0.35), mix(T.CAP_BOT, T.RIM_DARK, 0.35))
    cv.frame(x, y, x + w - 1, y + h - 1, T.RIM_DARK, T.RIM_DARK)
    cv.hline(x + 1, x + w - 2, y + 1, mix(T.BEVEL_HI, T.CAP_TOP, 0.2))
    cv.glyph(x + 4 - (len(rows[0]) - 4) // 2, y + 2, rows, glyph_color)


def window_frame(cv):
    cv.raised(0, 0, cv.w - 1, cv.h - 1)


# ---------------------------------------------------------------- bitmaps

def make_iface():
    cv = Canvas(248, 150)
    body(cv)
    caption(cv)
    # Header band under the caption: what stays in view when rolled up.
    # Rolled up the window is 36 or 37 px high: rows 35/36 are both dark,
    # so it ends on a rim either way.
    cv.vgrad(0, 18, cv.w - 1, 34, mix(T.BG_TOP, T.CAP_BOT, 0.4), T.BG_TOP)
    cv.text(12, 23, "quorl ascii shop", mix(T.BG_TOP, T.ACCENT, T.MARK))
    shade_run(cv, 236, 23, 29, mix(T.BG_TOP, T.ACCENT, min(1.0, T.MARK + 0.05)))
    cv.hline(0, cv.w - 1, 35, T.BEVEL_LO)
    cv.hline(0, cv.w - 1, 36, T.RIM_DARK)
    cv.hline(6, cv.w - 7, 37, mix(T.BG_TOP, T.BEVEL_HI, 0.5))
    # One well holds the string list (11..84 x 46..138) and the four art
    # pages (88..237, tops 48/72/96/120, 18 high).
    cv.recess(8, 43, 241, 141, T.WELL)
    cv.vline(86, 46, 138, mix(T.WELL, T.WELL_HI, 0.45))
    cv.frame(10, 45, 85, 139, T.RIM_DARK, mix(T.WELL, T.WELL_HI, 0.6))
    for top in (48, 72, 96, 120):
        cv.frame(87, top - 1, 238, top + 18, T.RIM_DARK,
                 mix(T.WELL, T.WELL_HI, 0.6))
    # Foot grip.
    for x in range(cv.w // 2 - 14, cv.w // 2 + 15, 4):
        cv.put(x, 145, T.BEVEL_HI)
        cv.put(x + 1, 146, T.RIM_DARK)
    window_frame(cv)
    # Caption buttons: help 195, minimize 213, close 227.
    cap_button(cv, 195, 2, HELP_GLYPH, T.GLYPH)
    cap_button(cv, 213, 2, MIN_GLYPH, T.GLYPH)
    cap_button(cv, 227, 2, CLOSE_GLYPH_ROWS, T.CLOSE_GLYPH)
    return cv


def make_frmrect():
    cv = Canvas(248, 22)
    body(cv)
    cv.recess(3, 3, cv.w - 4, cv.h - 4, None)
    cv.vgrad(4, 4, cv.w - 5, cv.h - 5, mix(T.WELL, T.BG_BOT, 0.2), T.WELL)
    cv.hline(4, cv.w - 5, 4, mix(T.WELL, T.ACCENT_DIM, 0.45))
    window_frame(cv)
    return cv


def make_ops():
    cv = Canvas(248, 104)
    body(cv)
    for row in range(4):
        for col in range(3):
            x, y = 6 + 80 * col, 6 + 24 * row
            cv.recess(x - 1, y - 1, x + 76, y + 20, T.WELL)
    window_frame(cv)
    return cv


def make_button():
    cv = Canvas(76, 20)
    cv.vgrad(1, 1, 74, 18, T.BTN_TOP, T.BTN_BOT)
    cv.hline(1, 74, 1, T.BTN_HI)
    cv.hline(1, 74, 18, T.BTN_LO)
    cv.vline(1, 2, 17, T.BTN_LEFT)
    cv.vline(74, 2, 17, T.BTN_RIGHT)
    # Teal pip on the left edge.
    cv.vgrad(3, 6, 4, 13, T.ACCENT, T.ACCENT_DIM)
    cv.frame(0, 0, 75, 19, T.RIM_DARK, T.RIM_DARK)
    for x, y in ((0, 0), (75, 0), (0, 19), (75, 19)):
        cv.put(x, y, T.BTN_CORNER)
    return cv


def make_dialog(w, h):
    cv = Canvas(w, h)
    body(cv)
    caption(cv)
    shade_run(cv, w - 6, 4, 11, mix(T.CAP_BOT, T.ACCENT, 0.7))
    # Soft footer line.
    cv.hline(6, w - 7, h - 6, mix(T.BG_BOT, T.BEVEL_LO, 0.6))
    cv.hline(6, w - 7, h - 5, mix(T.BG_BOT, T.BEVEL_HI, 0.25))
    window_frame(cv)
    return cv


def make_extra():
    cv = Canvas(96, 400)
    body(cv)
    cv.recess(3, 3, cv.w - 4, cv.h - 4, T.WELL)
    window_frame(cv)
    return cv


def make_bar():
    cv = Canvas(14, 400)
    cv.hgrad(0, 0, 13, 399, mix(T.ACCENT_DIM, T.MENU_BG, 0.15),
             mix(T.MENU_BG, T.RIM_DARK, 0.35))
    cv.vline(0, 0, 399, mix(T.ACCENT, T.ACCENT_DIM, 0.4))
    cv.vline(13, 0, 399, T.RIM_DARK)
    # Dotted spine like a column of shade characters.
    for y in range(2, 400, 3):
        cv.blend(6, y, T.ACCENT, 0.35)
    return cv


def make_menu_edge(bottom):
    """Menu cap: rim, teal line, then a short fall into the menu colour.
    The right end fades into mnubg so wider menus carry on seamlessly."""
    rows = [T.BEVEL_HI, T.ACCENT, mix(T.ACCENT_DIM, T.CAP_TOP, 0.4), T.CAP_TOP,
            mix(T.CAP_TOP, T.MENU_BG, 0.5), T.MENU_BG]
    if bottom:
        rows = [T.MENU_BG, mix(T.CAP_BOT, T.MENU_BG, 0.5), T.CAP_BOT,
                mix(T.ACCENT_DIM, T.CAP_BOT, 0.3), mix(T.ACCENT, T.ACCENT_DIM, 0.5),
                T.RIM_DARK]
    cv = Canvas(160, 6)
    for y, c in enumerate(rows):
        for x in range(160):
            fade = max(0.0, (x - 120) / 39.0)
            cv.put(x, y, mix(c, T.MENU_BG, fade * 0.85))
    return cv


# ---------------------------------------------------------------- skin.ini

def color_value(rgb):
    """0x00BBGGRR as decimal."""
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def skin_ini():
    keys = [
        ("textbg", color_value(T.TEXT_BG)),
        ("textfore", color_value(T.TEXT_FORE)),
        ("buttonfore", color_value(T.BUTTON_FORE)),
        ("frmtitlebar", color_value(T.TITLE_FORE)),
        ("frm2titlebar", color_value(T.TITLE_FORE)),
        ("static", color_value(T.STATIC_FORE)),
        ("restfontclr", color_value(T.REST_FORE)),
        ("frmrectfore", color_value(T.RECT_FORE)),
        ("menubar", color_value(T.MENUBAR_FORE)),
        ("menubarfont", T.FONT),
        ("top", 15),
        ("topnbottomsep", "True"),
        ("mnufont", T.FONT),
        ("fontcolor", color_value(T.MENU_FORE)),
        ("mnubg", color_value(T.MENU_BG)),
        ("overbox", color_value(T.OVER_BOX)),
        ("offbox", color_value(T.OFF_BOX)),
        ("frmdraw", color_value(T.TITLE_FORE)),
        ("name", T.info["name"]),
        ("artist", T.info["artist"]),
        ("rating", T.info["rating"]),
        ("comment", T.info["comment"]),
    ]
    lines = ["[skin]"] + ["%s=%s" % (k, v) for k, v in keys]
    return "\r\n".join(lines) + "\r\n"


# ---------------------------------------------------------------- main

BITMAPS = {
    "iface.bmp": (make_iface, (248, 150)),
    "frmrect.bmp": (make_frmrect, (248, 22)),
    "ops.bmp": (make_ops, (248, 104)),
    "button.bmp": (make_button, (76, 20)),
    "frm.bmp": (lambda: make_dialog(320, 136), (320, 136)),
    "frm2.bmp": (lambda: make_dialog(360, 240), (360, 240)),
    "frmdraw.bmp": (lambda: make_dialog(600, 400), (600, 400)),
    "extra.bmp": (make_extra, (96, 400)),
    "bar.bmp": (make_bar, (14, 400)),
    "top.bmp": (lambda: make_menu_edge(False), (160, 6)),
    "bottom.bmp": (lambda: make_menu_edge(True), (160, 6)),
}


def build(theme, out):
    global T
    T = theme
    os.makedirs(out, exist_ok=True)
    for name, (make, size) in BITMAPS.items():
        cv = make()
        if (cv.w, cv.h) != size:
            raise SystemExit("%s: drew %dx%d, want %dx%d"
                             % (name, cv.w, cv.h, size[0], size[1]))
        cv.save_bmp(os.path.join(out, name))
    with open(os.path.join(out, "skin.ini"), "wb") as f:
        f.write(skin_ini().encode("ascii"))
    print(theme.info["name"], "written to", os.path.normpath(out))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    skins = os.path.join(here, os.pardir, "data", "skins")
    ap = argparse.ArgumentParser(description="Build the shipped skins.")
    ap.add_argument("--skin", choices=sorted(THEMES),
                    help="only this skin (default: all of them)")
    ap.add_argument("--out", help="folder for the one skin given by --skin")
    args = ap.parse_args(argv)
    if args.out and not args.skin:
        ap.error("--out needs --skin")
    for folder, theme in THEMES.items():
        if args.skin and folder != args.skin:
            continue
        build(theme, args.out or os.path.join(skins, folder))


if __name__ == "__main__":
    main(sys.argv[1:])
