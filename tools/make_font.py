#!/usr/bin/env python3
# Builds data/terminal.png, the game's code-page-437 tileset, from Debian's 8x8 VGA console
# font: 16 x 16 tiles of 8 x 8 pixels, code n at column n / 16, row n % 16, white on black.
import gzip
import os
import struct
import sys

from PIL import Image

FONT_PATH = "/usr/share/consolefonts/Uni2-VGA8.psf.gz"
OUT_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "terminal.png")

TILE_SIZE = 8
GRID = 16
FULL_BLOCK = 219

# Code page 437 as the IBM PC draws it: 1..31 and 127 are pictures, not control codes.
CP437 = (
    "\0☺☻♥♦♣♠•◘○◙♂♀♪♫☼"
    "►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
    " !\"#$%&'()*+,-./"
    "0123456789:;<=>?"
    "@ABCDEFGHIJKLMNO"
    "PQRSTUVWXYZ[\\]^_"
    "`abcdefghijklmno"
    "pqrstuvwxyz{|}~⌂"
    "ÇüéâäàåçêëèïîìÄÅ"
    "ÉæÆôöòûùÿÖÜ¢£¥₧ƒ"
    "áíóúñÑªº¿⌐¬½¼¡«»"
    "░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
    "└┴┬├─┼╞╟╚╔╩╦╠═╬╧"
    "╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀"
    "αßΓπΣσµτΦΘΩδ∞φε∩"
    "≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00a0"
)

# Characters the font has no glyph for, borrowed from a glyph it does have.
# "mirror" flips left to right, "turn" rotates a quarter turn clockwise.
BORROWED = {
    "⌐": ("¬", "mirror"),
    "∞": ("8", "turn"),
    "∩": ("n", None),
    "≡": ("=", None),
    "₧": ("P", None),
}

# The font maps ▶ ◀ ▲ ▼ to its arrow glyphs (→ ← ↑ ↓) and has no filled triangle at all,
# so the four triangles are drawn here; the game draws ► and ◄.
DRAWN = {
    "►": (0x80, 0xE0, 0xF8, 0xFE, 0xF8, 0xE0, 0x80, 0x00),
    "◄": (0x02, 0x0E, 0x3E, 0xFE, 0x3E, 0x0E, 0x02, 0x00),
    "▲": (0x00, 0x00, 0x10, 0x38, 0x7C, 0xFE, 0x00, 0x00),
    "▼": (0x00, 0x00, 0xFE, 0x7C, 0x38, 0x10, 0x00, 0x00),
}

FULL = bytes([0xFF] * TILE_SIZE)


def read_psf1(data):
    mode, height = data[2], data[3]
    count = 512 if mode & 0x01 else 256
    if not mode & 0x06:
        raise ValueError("PSF1 font has no Unicode table")
    glyphs_end = 4 + count * height
    table = unicode_table_psf1(data[glyphs_end:], count)
    return split_glyphs(data[4:glyphs_end], count, 8, height), table, "PSF1"


def unicode_table_psf1(raw, count):
    table = {}
    glyph = 0
    in_sequence = False
    for (value,) in struct.iter_unpack("<H", raw[: len(raw) // 2 * 2]):
        if glyph >= count:
            break
        if value == 0xFFFF:
            glyph += 1
            in_sequence = False
        elif value == 0xFFFE:
            in_sequence = True
        elif not in_sequence:
            table.setdefault(value, glyph)
    return table


def read_psf2(data):
    fields = struct.unpack_from("<7I", data, 4)
    _version, header_size, flags, count, glyph_bytes, height, width = fields
    if not flags & 0x01:
        raise ValueError("PSF2 font has no Unicode table")
    glyphs_end = header_size + count * glyph_bytes
    table = unicode_table_psf2(data[glyphs_end:], count)
    return split_glyphs(data[header_size:glyphs_end], count, width, height), table, "PSF2"


def unicode_table_psf2(raw, count):
    # Each glyph's entry is UTF-8 text ended by 0xFF; 0xFE starts the combining sequences,
    # which a single-cell tile cannot use.
    table = {}
    for glyph, entry in enumerate(raw.split(b"\xff")[:count]):
        singles = entry.split(b"\xfe")[0].decode("utf-8", errors="replace")
        for char in singles:
            table.setdefault(ord(char), glyph)
    return table


def split_glyphs(raw, count, width, height):
    if (width, height) != (TILE_SIZE, TILE_SIZE):
        raise ValueError("font is %d x %d, this tileset needs 8 x 8 glyphs" % (width, height))
    if len(raw) < count * height:
        raise ValueError("font file is truncated")
    return [raw[g * height:(g + 1) * height] for g in range(count)]


def read_font(path):
    with gzip.open(path, "rb") if path.endswith(".gz") else open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"\x36\x04":
        return read_psf1(data)
    if data[:4] == b"\x72\xb5\x4a\x86":
        return read_psf2(data)
    raise ValueError("%s is not a PSF font" % path)


def tile(rows):
    # One byte per pixel row, leftmost pixel in the high bit: Pillow's 1-bit raw layout.
    return Image.frombytes("1", (TILE_SIZE, TILE_SIZE), bytes(rows))


def mirror(glyph):
    # The VGA glyphs keep column 7 empty, so flip within columns 0..6 to keep that gap.
    out = glyph.copy()
    out.paste(glyph.crop((0, 0, 7, 8)).transpose(Image.Transpose.FLIP_LEFT_RIGHT), (0, 0))
    return out


def turn(glyph):
    # Quarter turn clockwise inside the 7 x 7 box the glyphs are drawn in.
    out = Image.new("1", (TILE_SIZE, TILE_SIZE))
    out.paste(glyph.crop((0, 0, 7, 7)).transpose(Image.Transpose.ROTATE_270), (0, 0))
    return out


TRANSFORMS = {None: lambda glyph: glyph, "mirror": mirror, "turn": turn}


def glyph_for(code, glyphs, table, notes):
    char = CP437[code]
    if code == 0:
        return Image.new("1", (TILE_SIZE, TILE_SIZE))
    if char in DRAWN:
        notes.append("%3d U+%04X %s drawn: the font has no filled triangle" % (code, ord(char), char))
        return tile(DRAWN[char])
    if ord(char) in table:
        return tile(glyphs[table[ord(char)]])
    if char in BORROWED:
        source, how = BORROWED[char]
        if ord(source) in table:
            notes.append("%3d U+%04X %s from U+%04X %s%s"
                         % (code, ord(char), char, ord(source), source, " " + how if how else ""))
            return TRANSFORMS[how](tile(glyphs[table[ord(source)]]))
    raise ValueError("no glyph for code %d (U+%04X %s)" % (code, ord(char), char))


def build_sheet(glyphs, table, notes):
    tiles = [glyph_for(code, glyphs, table, notes) for code in range(256)]
    if tiles[FULL_BLOCK].tobytes() != FULL:
        notes.append("219 U+2588 █ forced full: the font's glyph leaves pixels dark")
        tiles[FULL_BLOCK] = tile(FULL)
    # 8-bit greyscale, white on black: libtcod reads it as ink coverage.
    sheet = Image.new("L", (GRID * TILE_SIZE, GRID * TILE_SIZE))
    for code, glyph in enumerate(tiles):
        # Column layout: code n sits at grid column n / 16, row n % 16.
        sheet.paste(glyph, (code // GRID * TILE_SIZE, code % GRID * TILE_SIZE))
    return sheet


def main(argv):
    font_path = argv[1] if len(argv) > 1 else FONT_PATH
    out_path = os.path.abspath(argv[2] if len(argv) > 2 else OUT_PATH)
    try:
        glyphs, table, kind = read_font(font_path)
        notes = []
        sheet = build_sheet(glyphs, table, notes)
        os.makedirs(os.path.dirname(out_path), exist_ok=True)
        sheet.save(out_path)
    except (OSError, ValueError) as err:
        print("make_font: %s" % err, file=sys.stderr)
        return 1
    print("font:   %s (%s, %d glyphs, %d Unicode entries)" % (font_path, kind, len(glyphs), len(table)))
    print("tiles:  256 codes, %dx%d each, code page 437, column layout" % (TILE_SIZE, TILE_SIZE))
    print("substitutions (%d):" % len(notes))
    for note in notes:
        print("  " + note)
    print("wrote:  %s (%dx%d greyscale, %d bytes)"
          % (out_path, sheet.width, sheet.height, os.path.getsize(out_path)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
