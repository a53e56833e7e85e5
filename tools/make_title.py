#!/usr/bin/env python3
# Builds data/title.png, the title screen's picture: 40 x 25 pixels, one per console cell,
# blitted as cell backgrounds one row up, so that picture row r lands on console row r - 1.
# The unit tests check that each of the title's glyphs stands on the shade it needs.
import math
import os
import sys

from PIL import Image

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
    return [COLOURS[key] or sky(column, row)
            for row, line in enumerate(PICTURE) for column, key in enumerate(line)]


def main(argv):
    out_path = os.path.abspath(argv[1] if len(argv) > 1 else OUT_PATH)
    try:
        picture = Image.new("RGB", (WIDTH, HEIGHT))
        picture.putdata(pixels())
        os.makedirs(os.path.dirname(out_path), exist_ok=True)
        picture.save(out_path)
    except (KeyError, ValueError, OSError) as err:
        print("make_title: %s" % err, file=sys.stderr)
        return 1
    print("wrote:  %s (%dx%d RGB, %d bytes)" % (out_path, WIDTH, HEIGHT, os.path.getsize(out_path)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
