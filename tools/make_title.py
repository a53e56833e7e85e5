#!/usr/bin/env python3
# Builds data/title.png, the title screen's picture: 40 x 25 pixels, one per console cell,
# blitted as cell backgrounds one row up, so that picture row r lands on console row r - 1.
# It refuses to write a picture that fights the title's glyphs (see check_glyph_cells).
import math
import os
import re
import struct
import sys
import zlib

OUT_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "title.png")

WIDTH = 40
HEIGHT = 25

# One line per picture row, one character per pixel; the comment is the console row.
# An antlered stone troll stands under the title's outline glyphs: brow on row 10, eyes
# and face on rows 11-14, the heart on row 15, legs and feet on rows 20-22. The coloured
# glyphs come with black squares, so their cells are shadow: night sky at the troll's
# edges and antler tips, eye sockets, the dark under the kilt, hollows in the leaves. The
# left half below the leaves stays plain night for the captions.
PICTURE = (
    "FFFFFFFFFFFFFFFFFFFFFFF.................",  # above the screen
    "FFfggFfgFfgggFfgggfFF...................",  # 0
    "FDffgDfFDFffgDFfggF.....................",  # 1
    "FFFffDDfgFfffDFFfF....A..A..eMe..A..A...",  # 2
    "fFfgFDDFffFFFDDFDF....a.A..MMe....A.a...",  # 3
    "FFfgFFDFFFDF..FF.......AA..MC.....AA....",  # 4
    "FDfFDFFF..F.............A..MMe....A.....",  # 5
    "FFfFv..v................a...eMe...a.....",  # 6
    "F..v...v...............Aaa.......aaA....",  # 7
    "F..v...v..................a.....a.......",  # 8
    "..........................aHHHHHa.......",  # 9
    "..........................SSSSSSS.......",  # 10
    "........................bbhSxSxShbb.....",  # 11
    ".......................bBBhSSSSShBBb....",  # 12
    "........................BBhSTTTShBBB....",  # 13
    ".........................BBSTTTSBBB.....",  # 14
    "..........................BBBBRBBB...c..",  # 15
    "...........................KBBBBK...ccc.",  # 16
    "............................SWWS...ccccc",  # 17
    "...........................kkkkkcccccccc",  # 18
    "........................cckknnnkkccccccc",  # 19
    ".......................ccLLLcccLLLcccccc",  # 20
    "......................cccLLLcccLLLcccccc",  # 21
    ".....................ccccOOOcccOOOcccccc",  # 22
    "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG",  # 23
)

COLOURS = {
    ".": None,              # night sky, see sky()
    "D": (4, 10, 6),        # a hollow deep in the leaves
    "F": (10, 28, 14),      # leaves in shadow
    "f": (22, 54, 26),      # leaves
    "g": (42, 88, 42),      # leaves in the light
    "A": (112, 88, 58),     # antler
    "a": (80, 62, 42),      # antler root
    "H": (62, 54, 46),      # hair
    "h": (70, 62, 52),      # hair at the cheeks
    "S": (156, 144, 110),   # face
    "x": (24, 18, 12),      # eye sockets
    "s": (126, 116, 88),    # face in shade
    "T": (212, 204, 172),   # teeth
    "b": (122, 126, 114),   # shoulders in the moonlight
    "K": (70, 74, 68),      # stone body in shade
    "B": (96, 100, 92),     # stone body
    "R": (150, 38, 32),     # the heart on the chest
    "W": (74, 54, 36),      # belt
    "k": (84, 86, 80),      # kilt
    "n": (14, 14, 20),      # the shadow under the kilt, between the legs
    "L": (88, 86, 78),      # legs
    "O": (84, 64, 44),      # boots
    "M": (204, 206, 182),   # moon
    "C": (172, 174, 152),   # a crater on the moon
    "e": (74, 76, 78),      # the moon's rim, half moon and half sky
    "c": (24, 24, 36),      # crags on the horizon
    "v": (34, 78, 36),      # hanging creeper
    "G": (24, 22, 20),      # moor
}


# The moon's middle, in picture pixels (console column 28, row 4), and how far its glow reaches.
MOON = (28, 5)
GLOW_RADIUS = 4.5


def sky(column, row):
    # Darker toward the ground, so that the captions stand on near black, and lit around
    # the moon; the glow stops short of the black cells at the antler tips.
    base = (10 + max(0, 10 - row), 12 + max(0, 10 - row), 22 + max(0, 12 - row))
    distance = math.hypot(column - MOON[0], row - MOON[1])
    glow = max(0.0, 1.0 - distance / GLOW_RADIUS)
    return tuple(round(channel + (lit - channel) * glow * 0.4)
                 for channel, lit in zip(base, (70, 72, 84)))


def pixels():
    if len(PICTURE) != HEIGHT or any(len(line) != WIDTH for line in PICTURE):
        raise ValueError("the picture must be %d lines of %d characters" % (HEIGHT, WIDTH))
    return [[COLOURS[key] or sky(column, row) for column, key in enumerate(line)]
            for row, line in enumerate(PICTURE)]


# Luma of a colour as stored (Rec. 601 weights on the sRGB values), 0 to 1: how light a
# cell looks next to the black of a glyph.
def luma(colour):
    red, green, blue = colour
    return (0.299 * red + 0.587 * green + 0.114 * blue) / 255


# A coloured glyph brings its own black square, which reads as a hole unless the picture
# around it is in shadow; an outline glyph is a black stroke, lost on a dark cell.
SHADOW_LUMA = 0.12
LIGHT_LUMA = 0.20
TITLE_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "display",
                            "title.cpp")


def glyph_cells(source, table):
    # The (column, row) of every entry of one of the title's glyph tables, read from the
    # game's source so that the picture is checked against the glyphs the game draws.
    found = re.search(r"\b%s\[\] = \{(.*?)\n\};" % table, source, re.S)
    if not found:
        raise ValueError("no table %s in %s" % (table, TITLE_SOURCE))
    entry = r"\{(\d+), (\d+), \d+(?:, \d+)?\}"
    if re.sub(entry, "", found.group(1)).strip(" ,\n"):
        raise ValueError("cannot read every entry of %s" % table)
    return [(int(column), int(row)) for column, row in re.findall(entry, found.group(1))]


def check_glyph_cells(rows, source):
    # Console cell (c, r) shows picture pixel (c, r + 1). Returns the offending cells, one
    # sentence each, and a summary of the margins.
    problems = []
    shadows = []
    for column, row in glyph_cells(source, "TITLE_COLOUR_GLYPHS"):
        shadows.append(luma(rows[row + 1][column]))
        if shadows[-1] > SHADOW_LUMA:
            problems.append("colour glyph at (%d, %d) sits on luma %.1f%%, above %.0f%%"
                            % (column, row, 100 * shadows[-1], 100 * SHADOW_LUMA))
    lights = []
    for column, row in glyph_cells(source, "TITLE_OUTLINE_GLYPHS"):
        lights.append(luma(rows[row + 1][column]))
        if lights[-1] < LIGHT_LUMA:
            problems.append("outline glyph at (%d, %d) sits on luma %.1f%%, under %.0f%%"
                            % (column, row, 100 * lights[-1], 100 * LIGHT_LUMA))
    summary = ("%d colour glyphs on luma <= %.1f%%, %d outline glyphs on luma >= %.1f%%"
               % (len(shadows), 100 * max(shadows), len(lights), 100 * min(lights)))
    return problems, summary


def png_chunk(kind, body):
    crc = zlib.crc32(kind + body) & 0xFFFFFFFF
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)


def encode_png(rows):
    # 8-bit RGB, no alpha, no timestamp: the bytes depend only on the picture.
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)
    raw = b"".join(b"\x00" + bytes(channel for pixel in row for channel in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def main(argv):
    out_path = os.path.abspath(argv[1] if len(argv) > 1 else OUT_PATH)
    try:
        rows = pixels()
        with open(TITLE_SOURCE) as f:
            problems, summary = check_glyph_cells(rows, f.read())
    except (KeyError, ValueError, OSError) as err:
        print("make_title: %s" % err, file=sys.stderr)
        return 1
    for problem in problems:
        print("make_title: %s" % problem, file=sys.stderr)
    if problems:
        print("make_title: the picture fights its glyphs; nothing written", file=sys.stderr)
        return 1
    png = encode_png(rows)
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    with open(out_path, "wb") as f:
        f.write(png)
    print("wrote:  %s (%dx%d RGB, %d bytes)" % (out_path, WIDTH, HEIGHT, len(png)))
    print("glyphs: %s" % summary)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
