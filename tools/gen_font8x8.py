#!/usr/bin/env python3
"""Generate the code page 437 bitmap fonts kFont8x8, kFont8x14 and kFont8x16.

By default the generator writes src/gfx/font8x8.cpp (kFont8x8); with --tall it
writes src/gfx/fonts_tall.cpp (kFont8x14 and kFont8x16).

Source: the console font Uni2-VGA8 of Debian's console-setup-linux package
(apt-get install console-setup-linux), a PSF font with a Unicode table. For
each code page 437 byte the generator finds the byte's Unicode character and
takes that character's glyph through the font's Unicode table. The font keeps
the leftmost pixel in bit 7; kFont8x8 keeps it in bit 0, so every byte is
bit-reversed.

Two corrections to what the font's table gives:
  * Five characters are not in the font's Unicode table and are drawn by
    hand below (HAND_DRAWN): 158 Pts, 169 reversed not, 236 infinity,
    239 intersection, 240 identical to.
  * Twelve Greek letters of code page 437 get a wrong glyph through the
    table (e.g. pi shows the glyph of "identical to", Gamma the glyph of a box
    tee ├, epsilon the glyph of sigma). The font's Greek block was filled by
    byte position: the glyph labelled U+0380 + (b - 0xB0), the ISO 8859-7
    position b, holds this font's code page 437 glyph of byte b. For those
    letters the glyph is taken from that slot instead (GREEK_FIX); the
    generator checks that the mix-up is still there before relying on it.

Any other character missing from the font is an error. Standard library only.

The 8 x 14 and 8 x 16 fonts (--tall) come the same way, with the same bit
reversal, from Uni2-VGA14 and Uni2-VGA16 of the same package. Their own
corrections:
  * Their Greek letters come through the table right: these two fonts do not
    have the 8-row font's mix-up, and GREEK_FIX is not applied to them. The
    generator checks that none of those twelve letters shares its glyph with
    another code page 437 character (the symptom of the mix-up: in the 8-row
    font alpha, Gamma, Omega and phi do) before relying on that.
  * Uni2-VGA14 lacks 158, 169, 236, 239, 240 and 252 (superscript n), and
    its glyph for 20 (pilcrow) is blank: these seven are drawn by hand
    (HAND_DRAWN_14).
  * Uni2-VGA16 has those but lacks 24 others: the symbols 1-3, 5, 6, 8-15,
    18, 22, 23, 28 and 29, the house 127 and the blocks 178 and 220-223.
    They are drawn by hand (HAND_DRAWN_16) after Uni2-VGA14's glyphs for the
    same characters, on the same rows: the two fonts share their shapes and
    their layout (capitals on rows 2-11, descenders below), so only the
    pieces that fill the cell grow to 16 rows.
A blank glyph for any character but the spaces counts as missing too.

Usage: tools/gen_font8x8.py [--font PATH] [--output PATH]
           writes src/gfx/font8x8.cpp from Uni2-VGA8
       tools/gen_font8x8.py --tall [--font14 PATH] [--font16 PATH] [--output PATH]
           writes src/gfx/fonts_tall.cpp from Uni2-VGA14 and Uni2-VGA16
       tools/gen_font8x8.py [--tall] --show 65 218 177
           prints glyphs as ASCII art (bit 0 leftmost) instead of writing;
           with --tall, from both tall fonts
"""

import argparse
import gzip
import os
import struct
import sys
import textwrap

FONT_NAME = "Uni2-VGA8"
DEFAULT_FONT = "/usr/share/consolefonts/Uni2-VGA8.psf.gz"
REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUTPUT = os.path.join(REPO_ROOT, "src", "gfx", "font8x8.cpp")

# The tall fonts, by glyph height.
TALL_FONT_NAMES = {14: "Uni2-VGA14", 16: "Uni2-VGA16"}
TALL_DEFAULT_FONTS = {
    height: f"/usr/share/consolefonts/{name}.psf.gz" for height, name in TALL_FONT_NAMES.items()
}
TALL_DEFAULT_OUTPUT = os.path.join(REPO_ROOT, "src", "gfx", "fonts_tall.cpp")

# Code page 437 characters whose glyph is blank by design.
BLANK_CHARS = {" ", "\u00a0"}

# Code page 437 bytes 0x01-0x1F as graphic characters; 0x7F is the house.
CP437_GRAPHICS_LOW = "☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
CP437_HOUSE = "⌂"

# Characters the font knows under another code point only.
ALTERNATIVES = {
    0x25BA: 0x25B6,  # ► black right-pointing pointer -> ▶ black right-pointing triangle
    0x25C4: 0x25C0,  # ◄ black left-pointing pointer -> ◀ black left-pointing triangle
}

# Code page 437 Greek letters whose glyph the font's table gets wrong, and the
# code point whose glyph is this font's code page 437 glyph for the byte
# (U+0380 + byte - 0xB0; see the module comment).
GREEK_FIX = {
    0xE0: 0x03B0,  # α  (the table gives the glyph of ß)
    0xE2: 0x03B2,  # Γ  (the table gives ├)
    0xE3: 0x03B3,  # π  (the table gives ≡)
    0xE4: 0x03B4,  # Σ  (the table gives ╙)
    0xE5: 0x03B5,  # σ  (the table gives ≤)
    0xE7: 0x03B7,  # τ  (the table gives ⌠)
    0xE8: 0x03B8,  # Φ  (the table gives ╓)
    0xE9: 0x03B9,  # Θ  (the table gives ╚)
    0xEA: 0x03BA,  # Ω  (the table gives ┘)
    0xEB: 0x03BB,  # δ  (the table gives Σ)
    0xED: 0x03BD,  # φ  (the table gives ÷)
    0xEE: 0x03BE,  # ε  (the table gives σ)
}

# Glyphs drawn by hand, one string per pixel row from the top, '#' = ink,
# leftmost pixel first. The font's style: vertical strokes 2 pixels wide,
# horizontal strokes 1 pixel high, capitals on rows 0-6, row 7 for descenders.
HAND_DRAWN = {
    0x9E: [  # ₧ peseta: P as in 'P' (stem in columns 1-2) with a small t
        "######..",
        ".##..##.",
        ".#####..",
        ".##..#..",
        ".##.####",
        ".##..##.",
        "####..##",
        "........",
    ],
    0xA9: [  # ⌐ reversed not sign: '¬' (170) mirrored
        "........",
        "........",
        "........",
        "#######.",
        "##......",
        "##......",
        "........",
        "........",
    ],
    0xEC: [  # ∞ infinity: the loops of 'φ' (237) without the stroke
        "........",
        "........",
        ".######.",
        "##.##.##",
        "##.##.##",
        ".######.",
        "........",
        "........",
    ],
    # ∩ and ≡ copy the font's own code page 437 bitmaps, which it keeps in its
    # Greek block under U+03BF and U+03C0 (see GREEK_FIX) but not under their
    # own code points.
    0xEF: [  # ∩ intersection: like 'n' at cap height
        "........",
        ".#####..",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "........",
    ],
    0xF0: [  # ≡ identical to: three bars, as wide as '=' (61) plus one
        "........",
        "#######.",
        "........",
        "#######.",
        "........",
        "#######.",
        "........",
        "........",
    ],
}

# Glyphs of Uni2-VGA14 drawn by hand, 14 rows each. The font's style: strokes
# as in the 8-row font, capitals on rows 2-11, x-height from row 5, descenders
# on rows 12-13. The shapes follow Uni2-VGA16's glyphs for the same characters
# where that font has them (the two fonts share their letters and layout),
# except ⌐ and ⁿ, which match this font's own ¬ and ².
HAND_DRAWN_14 = {
    0x14: [  # ¶ pilcrow (the font's glyph is blank)
        "........",
        "........",
        ".#######",
        "##.##.##",
        "##.##.##",
        "##.##.##",
        ".####.##",
        "...##.##",
        "...##.##",
        "...##.##",
        "...##.##",
        "...##.##",
        "........",
        "........",
    ],
    0x9E: [  # ₧ peseta: P as in 'P' (stem in columns 1-2) with a small t
        "........",
        "........",
        "######..",
        ".##..##.",
        ".##..##.",
        ".#####..",
        ".##...#.",
        ".##..##.",
        ".##.####",
        ".##..##.",
        ".##..##.",
        "####..##",
        "........",
        "........",
    ],
    0xA9: [  # ⌐ reversed not sign: this font's '¬' (170) mirrored
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "#######.",
        "##......",
        "##......",
        "##......",
        "........",
        "........",
        "........",
    ],
    0xEC: [  # ∞ infinity: two loops at x-height
        "........",
        "........",
        "........",
        "........",
        "........",
        ".###.##.",
        "##.##.##",
        "##.##.##",
        ".##.###.",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
    0xEF: [  # ∩ intersection: like 'n' with a round top, rows 4-11
        "........",
        "........",
        "........",
        "........",
        ".#####..",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "##...##.",
        "........",
        "........",
    ],
    0xF0: [  # ≡ identical to: three bars, as wide as '=' (61) plus one
        "........",
        "........",
        "........",
        "........",
        "#######.",
        "........",
        "........",
        "#######.",
        "........",
        "........",
        "#######.",
        "........",
        "........",
        "........",
    ],
    0xFC: [  # ⁿ superscript n: this font's 'n' in rows 2-6, as tall as '²' (253)
        "........",
        "........",
        "##.###..",
        ".##..##.",
        ".##..##.",
        ".##..##.",
        ".##..##.",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
}

# Glyphs of Uni2-VGA16 drawn by hand, 16 rows each: Uni2-VGA14's glyphs for
# the same characters on the same rows (rows 14-15 blank, as in this font's
# own symbols), except the pieces that fill the cell: ◘ and ◙ keep their
# hole centred, the shade continues its pattern, and the half blocks split
# the cell at row 8 or run its full height, so that neighbouring cells join.
HAND_DRAWN_16 = {
    0x01: [  # ☺ white smiling face
        "........",
        "........",
        ".######.",
        "#......#",
        "#.#..#.#",
        "#......#",
        "#......#",
        "#.####.#",
        "#..##..#",
        "#......#",
        "#......#",
        ".######.",
        "........",
        "........",
        "........",
        "........",
    ],
    0x02: [  # ☻ black smiling face
        "........",
        "........",
        ".######.",
        "########",
        "##.##.##",
        "########",
        "########",
        "##....##",
        "###..###",
        "########",
        "########",
        ".######.",
        "........",
        "........",
        "........",
        "........",
    ],
    0x03: [  # ♥ heart
        "........",
        "........",
        "........",
        "........",
        ".##.##..",
        "#######.",
        "#######.",
        "#######.",
        "#######.",
        ".#####..",
        "..###...",
        "...#....",
        "........",
        "........",
        "........",
        "........",
    ],
    0x05: [  # ♣ club
        "........",
        "........",
        "........",
        "...##...",
        "..####..",
        "..####..",
        "###..###",
        "###..###",
        "###..###",
        "...##...",
        "...##...",
        "..####..",
        "........",
        "........",
        "........",
        "........",
    ],
    0x06: [  # ♠ spade
        "........",
        "........",
        "........",
        "...##...",
        "..####..",
        ".######.",
        "########",
        "########",
        ".######.",
        "...##...",
        "...##...",
        "..####..",
        "........",
        "........",
        "........",
        "........",
    ],
    0x08: [  # ◘ inverse bullet
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
        "###..###",
        "##....##",
        "##....##",
        "###..###",
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
    ],
    0x09: [  # ○ white circle
        "........",
        "........",
        "........",
        "........",
        "........",
        "..####..",
        ".##..##.",
        ".#....#.",
        ".#....#.",
        ".##..##.",
        "..####..",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
    0x0A: [  # ◙ inverse white circle
        "########",
        "########",
        "########",
        "########",
        "########",
        "##....##",
        "#..##..#",
        "#.####.#",
        "#.####.#",
        "#..##..#",
        "##....##",
        "########",
        "########",
        "########",
        "########",
        "########",
    ],
    0x0B: [  # ♂ male sign
        "........",
        "........",
        "...####.",
        "....###.",
        "...##.#.",
        "..##..#.",
        ".####...",
        "##..##..",
        "##..##..",
        "##..##..",
        "##..##..",
        ".####...",
        "........",
        "........",
        "........",
        "........",
    ],
    0x0C: [  # ♀ female sign
        "........",
        "........",
        "..####..",
        ".##..##.",
        ".##..##.",
        ".##..##.",
        ".##..##.",
        "..####..",
        "...##...",
        ".######.",
        "...##...",
        "...##...",
        "........",
        "........",
        "........",
        "........",
    ],
    0x0D: [  # ♪ eighth note
        "........",
        "........",
        "..#####.",
        "..##.##.",
        "..#####.",
        "..##....",
        "..##....",
        "..##....",
        "..##....",
        ".###....",
        "####....",
        "###.....",
        "........",
        "........",
        "........",
        "........",
    ],
    0x0E: [  # ♫ beamed eighth notes
        "........",
        "........",
        ".######.",
        ".##..##.",
        ".######.",
        ".##..##.",
        ".##..##.",
        ".##..##.",
        ".##..##.",
        ".##.###.",
        "###.###.",
        "###.##..",
        "##......",
        "........",
        "........",
        "........",
    ],
    0x0F: [  # ☼ sun with rays
        "........",
        "........",
        "........",
        "...##...",
        "...##...",
        "##.##.##",
        "..####..",
        "###..###",
        "..####..",
        "##.##.##",
        "...##...",
        "...##...",
        "........",
        "........",
        "........",
        "........",
    ],
    0x12: [  # ↕ up down arrow
        "........",
        "........",
        "...##...",
        "..####..",
        ".######.",
        "...##...",
        "...##...",
        "...##...",
        ".######.",
        "..####..",
        "...##...",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
    0x16: [  # ▬ black rectangle
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "#######.",
        "#######.",
        "#######.",
        "#######.",
        "........",
        "........",
        "........",
        "........",
    ],
    0x17: [  # ↨ up down arrow with base
        "........",
        "........",
        "...##...",
        "..####..",
        ".######.",
        "...##...",
        "...##...",
        "...##...",
        ".######.",
        "..####..",
        "...##...",
        ".######.",
        "........",
        "........",
        "........",
        "........",
    ],
    0x1C: [  # ∟ right angle
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "##......",
        "##......",
        "##......",
        "#######.",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
    0x1D: [  # ↔ left right arrow
        "........",
        "........",
        "........",
        "........",
        "........",
        "..#.#...",
        ".##.##..",
        "#######.",
        ".##.##..",
        "..#.#...",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
    0x7F: [  # ⌂ house
        "........",
        "........",
        "........",
        "........",
        "...#....",
        "..###...",
        ".##.##..",
        "##...##.",
        "##...##.",
        "##...##.",
        "#######.",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
    0xB2: [  # ▓ dark shade
        "##.###.#",
        ".###.###",
        "##.###.#",
        ".###.###",
        "##.###.#",
        ".###.###",
        "##.###.#",
        ".###.###",
        "##.###.#",
        ".###.###",
        "##.###.#",
        ".###.###",
        "##.###.#",
        ".###.###",
        "##.###.#",
        ".###.###",
    ],
    0xDC: [  # ▄ lower half block
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
    ],
    0xDD: [  # ▌ left half block
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
        "####....",
    ],
    0xDE: [  # ▐ right half block
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
        "....####",
    ],
    0xDF: [  # ▀ upper half block
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
        "########",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
        "........",
    ],
}

HAND_DRAWN_TALL = {14: HAND_DRAWN_14, 16: HAND_DRAWN_16}


def cp437_chars():
    """The Unicode character of each code page 437 byte; byte 0 is None (blank)."""
    chars = [None] + list(CP437_GRAPHICS_LOW)
    chars += [bytes([b]).decode("cp437") for b in range(0x20, 0x100)]
    chars[0x7F] = CP437_HOUSE
    assert len(chars) == 256
    return chars


def load_psf(path):
    """Return (glyph_height, glyphs, table): glyphs as lists of row bytes (bit 7
    leftmost), table mapping code point -> glyph index (first glyph listed)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    table = {}
    if data[:2] == b"\x36\x04":  # PSF1
        mode, height = data[2], data[3]
        count = 512 if mode & 0x01 else 256
        if not mode & 0x02:
            sys.exit(f"{path}: PSF1 font without a Unicode table")
        width_bytes, offset = 1, 4
        pos = offset + count * height
        index = 0
        in_sequence = False
        while index < count:
            if pos + 2 > len(data):
                sys.exit(f"{path}: Unicode table truncated")
            (value,) = struct.unpack_from("<H", data, pos)
            pos += 2
            if value == 0xFFFF:
                index, in_sequence = index + 1, False
            elif value == 0xFFFE:
                in_sequence = True  # combining sequences: not used here
            elif not in_sequence:
                table.setdefault(value, index)
    elif data[:4] == b"\x72\xb5\x4a\x86":  # PSF2
        (_, offset, flags, count, charsize, height, width) = struct.unpack_from("<7I", data, 4)
        if not flags & 0x01:
            sys.exit(f"{path}: PSF2 font without a Unicode table")
        width_bytes = (width + 7) // 8
        if width != 8:
            sys.exit(f"{path}: glyphs are {width} pixels wide, not 8")
        pos = offset + count * charsize
        for index in range(count):
            end = data.index(b"\xff", pos)
            entry = data[pos:end]
            pos = end + 1
            single = entry.split(b"\xfe")[0]
            for ch in single.decode("utf-8"):
                table.setdefault(ord(ch), index)
    else:
        sys.exit(f"{path}: not a PSF font")
    glyph_bytes = height * width_bytes
    glyphs = [
        list(data[offset + i * glyph_bytes : offset + (i + 1) * glyph_bytes]) for i in range(count)
    ]
    return height, glyphs, table


def reverse_bits(byte):
    return int(f"{byte:08b}"[::-1], 2)


def rows_from_art(art, height=8):
    """'#'-strings, leftmost pixel first -> bytes with bit 0 leftmost."""
    assert len(art) == height and all(len(r) == 8 and set(r) <= {"#", "."} for r in art), art
    return [sum(1 << x for x, c in enumerate(r) if c == "#") for r in art]


def table_code_point(ch, table):
    """The code point under which the font's table has ch, or None."""
    cp = ord(ch)
    if cp not in table and cp in ALTERNATIVES:
        cp = ALTERNATIVES[cp]
    return cp if cp in table else None


def greek_letters_sharing_glyphs(glyphs, table):
    """The code page 437 Greek letters of GREEK_FIX whose glyph through the
    table is also the glyph of another code page 437 character, as
    'code letter = other characters' strings. In Uni2-VGA8 these are alpha
    (= beta), Gamma (= the tee), Omega and phi; a font whose Greek letters
    are right gives none."""
    chars = cp437_chars()
    codes_of_bitmap = {}
    for code, ch in enumerate(chars):
        cp = table_code_point(ch, table) if ch else None
        if cp is not None:
            codes_of_bitmap.setdefault(tuple(glyphs[table[cp]]), []).append(code)
    shared = []
    for code in sorted(GREEK_FIX):
        cp = table_code_point(chars[code], table)
        if cp is None:
            continue  # reported as missing
        others = [c for c in codes_of_bitmap[tuple(glyphs[table[cp]])] if c != code]
        if others:
            shared.append(f"{code} {chars[code]} = " + " ".join(f"{c} {chars[c]}" for c in others))
    return shared


def build_font(font_path, height=8):
    """Return (glyphs, notes): 256 glyphs of `height` bytes, bit 0 leftmost,
    and a note for each glyph that did not come straight through the table.
    Height 8 is Uni2-VGA8 (HAND_DRAWN, GREEK_FIX), 14 and 16 are the tall
    fonts (HAND_DRAWN_TALL, no Greek fix)."""
    font_height, glyphs, table = load_psf(font_path)
    if font_height != height:
        sys.exit(f"{font_path}: glyphs are {font_height} rows high, not {height}")
    hand_drawn = HAND_DRAWN if height == 8 else HAND_DRAWN_TALL[height]
    greek_fix = GREEK_FIX if height == 8 else {}

    def glyph_of(cp):
        return [reverse_bits(b) for b in glyphs[table[cp]]]

    def has_ink(cp):
        return any(glyphs[table[cp]])

    if height == 8:
        # The Greek fix relies on the font's known mix-up; refuse if it changed.
        # Signature: α shares the glyph of ß, and Γ shows the box piece ├.
        mixed_up = all(cp in table for cp in (0x03B1, 0x00DF, 0x0393, 0x251C)) and (
            glyph_of(0x03B1) == glyph_of(0x00DF) and glyph_of(0x0393) == glyph_of(0x251C)
        )
        if not mixed_up:
            sys.exit(
                f"{font_path}: the font's Greek glyphs are not mixed up as expected; "
                "review GREEK_FIX in tools/gen_font8x8.py"
            )
    else:
        # The tall fonts' Greek letters are taken straight through the table;
        # refuse if they show the 8-row font's mix-up after all.
        shared = greek_letters_sharing_glyphs(glyphs, table)
        if shared:
            sys.exit(
                f"{font_path}: Greek letters share their glyph with other characters "
                f"({'; '.join(shared)}): the Greek block may be mixed up as in "
                f"{FONT_NAME}; review GREEK_FIX in tools/gen_font8x8.py"
            )

    chars = cp437_chars()
    out, notes, missing = [], {}, []
    for code, ch in enumerate(chars):
        if ch is None:
            out.append([0] * height)
        elif code in hand_drawn:
            in_table = ord(ch) in table
            if in_table and has_ink(ord(ch)):
                sys.exit(
                    f"{font_path}: {code} {ch} U+{ord(ch):04X} is in the font now: "
                    "drop its hand drawing"
                )
            out.append(rows_from_art(hand_drawn[code], height))
            notes[code] = "drawn by hand; blank in the font" if in_table else "drawn by hand"
        elif code in greek_fix:
            out.append(glyph_of(greek_fix[code]))
            notes[code] = f"from the slot of U+{greek_fix[code]:04X}"
        else:
            cp = table_code_point(ch, table)
            if cp is None:
                missing.append(f"{code} {ch} U+{ord(ch):04X}")
            elif ch not in BLANK_CHARS and not has_ink(cp):
                missing.append(f"{code} {ch} U+{ord(ch):04X} (blank glyph)")
            else:
                out.append(glyph_of(cp))
    if missing:
        sys.exit(f"{font_path}: characters missing from the font: " + ", ".join(missing))
    return out, notes


def label(code):
    ch = cp437_chars()[code]
    if ch is None:
        return ""
    if code == 0x20:
        return " space"
    if code == 0xFF:
        return " no-break space"
    if ch == "\\":
        return " \\ backslash"  # never end a // comment with a backslash
    return " " + ch


def render_cpp(glyphs, notes):
    lines = [
        "// font8x8.cpp - the 8 x 8 code page 437 font, kFont8x8 (declared in gfx/fonts.h).",
        "//",
        "// GENERATED by tools/gen_font8x8.py from the console font "
        f"{FONT_NAME} ({os.path.basename(DEFAULT_FONT)},",
        "// Debian package console-setup-linux). Do not edit: change the generator and",
        "// run it again. Glyphs 158, 169, 236, 239 and 240 are not in the font's Unicode",
        "// table and are drawn by hand in the generator; the Greek letters 224-238 come",
        "// from the font's mislabelled Greek block (see the generator).",
        "//",
        "// One row per glyph: 8 bytes, one per pixel row from the top; bit 0 is the",
        "// leftmost pixel and bit 7 the rightmost.",
        "",
        "#include <cstdint>",
        "",
        '#include "gfx/fonts.h"',
        "",
        "const uint8_t kFont8x8[256][8] = {",
    ]
    for code, g in enumerate(glyphs):
        row = ", ".join(f"0x{b:02X}" for b in g)
        note = f" ({notes[code]})" if code in notes else ""
        lines.append(f"    {{{row}}},  // {code:3d} 0x{code:02X}{label(code)}{note}")
    lines.append("};")
    return "\n".join(lines) + "\n"


def code_list(codes):
    """'1-3, 5, 6 and 8' style list of glyph codes."""
    runs = []
    for code in sorted(codes):
        if runs and code == runs[-1][1] + 1:
            runs[-1][1] = code
        else:
            runs.append([code, code])
    items = []
    for first, last in runs:
        if last - first >= 2:
            items.append(f"{first}-{last}")
        else:
            items += [str(c) for c in range(first, last + 1)]
    return items[0] if len(items) == 1 else ", ".join(items[:-1]) + " and " + items[-1]


def render_tall_cpp(fonts):
    """fonts: {14: (glyphs, notes), 16: (glyphs, notes)}."""
    drawn = {h: [c for c, n in notes.items() if n.startswith("drawn by hand")]
             for h, (_, notes) in fonts.items()}
    sources = " and ".join(
        f"{TALL_FONT_NAMES[h]} ({os.path.basename(TALL_DEFAULT_FONTS[h])})" for h in (14, 16)
    )
    about = (
        f"GENERATED by tools/gen_font8x8.py --tall from the console fonts {sources}, "
        "Debian package console-setup-linux. Do not edit: change the generator and run "
        "it again. Glyphs missing from a font, or blank in it, are drawn by hand in the "
        f"generator: in kFont8x14 {code_list(drawn[14])}; in kFont8x16 "
        f"{code_list(drawn[16])}. Unlike the 8 x 8 font's, these fonts' Greek letters "
        "come straight through their Unicode tables."
    )
    lines = [
        "// fonts_tall.cpp - the 8 x 14 and 8 x 16 code page 437 fonts, kFont8x14 and",
        "// kFont8x16 (declared in gfx/fonts.h).",
        "//",
    ]
    lines += ["// " + line for line in textwrap.wrap(about, 77)]
    lines += [
        "//",
        "// One row per glyph: 14 or 16 bytes, one per pixel row from the top; bit 0 is",
        "// the leftmost pixel and bit 7 the rightmost. The rows of the 8 x 16 table are",
        "// longer than the column limit, hence no clang-format here.",
        "",
        "#include <cstdint>",
        "",
        '#include "gfx/fonts.h"',
        "",
        "// clang-format off",
    ]
    for height in (14, 16):
        glyphs, notes = fonts[height]
        lines.append(f"const uint8_t kFont8x{height}[256][{height}] = {{")
        for code, g in enumerate(glyphs):
            row = ", ".join(f"0x{b:02X}" for b in g)
            note = f" ({notes[code]})" if code in notes else ""
            lines.append(f"    {{{row}}},  // {code:3d} 0x{code:02X}{label(code)}{note}")
        lines.append("};")
        if height == 14:
            lines.append("")
    lines.append("// clang-format on")
    return "\n".join(lines) + "\n"


def show(glyphs, codes):
    for code in codes:
        print(f"{code} 0x{code:02X}{label(code)}")
        for b in glyphs[code]:
            print("  " + "".join("#" if b >> x & 1 else "." for x in range(8)) + f"  0x{b:02X}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tall", action="store_true",
                        help="the 8 x 14 and 8 x 16 fonts (src/gfx/fonts_tall.cpp) "
                        "instead of the 8 x 8 one")
    parser.add_argument("--font", default=DEFAULT_FONT, help="the Uni2-VGA8 PSF file")
    parser.add_argument("--font14", default=TALL_DEFAULT_FONTS[14],
                        help="the Uni2-VGA14 PSF file (--tall)")
    parser.add_argument("--font16", default=TALL_DEFAULT_FONTS[16],
                        help="the Uni2-VGA16 PSF file (--tall)")
    parser.add_argument("--output",
                        help="the C++ file to write (default src/gfx/font8x8.cpp, "
                        "with --tall src/gfx/fonts_tall.cpp)")
    parser.add_argument("--show", type=int, nargs="+", metavar="CODE",
                        help="print these glyphs as ASCII art instead of writing the file")
    args = parser.parse_args()
    paths = {14: args.font14, 16: args.font16} if args.tall else {8: args.font}
    for path in paths.values():
        if not os.path.exists(path):
            sys.exit(f"{path} not found: apt-get install -y console-setup-linux")
    fonts = {height: build_font(path, height) for height, path in paths.items()}
    if args.show:
        for height, (glyphs, _) in fonts.items():
            if args.tall:
                print(f"8 x {height}:")
            show(glyphs, args.show)
        return
    if args.tall:
        output, text = args.output or TALL_DEFAULT_OUTPUT, render_tall_cpp(fonts)
    else:
        output, text = args.output or DEFAULT_OUTPUT, render_cpp(*fonts[8])
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)
    print(f"wrote {output}")


if __name__ == "__main__":
    main()
