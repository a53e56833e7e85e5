#!/usr/bin/env python3
# Builds data/terminal.png, the game's code-page-437 tileset, from Debian's 8x8 VGA console
# font: 16 x 16 tiles of 8 x 8 pixels, code n at column n / 16, row n % 16, white on black.
import gzip
import os
import struct
import sys
import zlib

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

BLANK = tuple([0] * TILE_SIZE)
FULL = tuple([0xFF] * TILE_SIZE)


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
    return [tuple(raw[g * height:(g + 1) * height]) for g in range(count)]


def read_font(path):
    with gzip.open(path, "rb") if path.endswith(".gz") else open(path, "rb") as f:
        data = f.read()
    if data[:2] == b"\x36\x04":
        return read_psf1(data)
    if data[:4] == b"\x72\xb5\x4a\x86":
        return read_psf2(data)
    raise ValueError("%s is not a PSF font" % path)


def mirror(rows):
    # The VGA glyphs keep column 7 empty, so flip within columns 0..6 to keep that gap.
    return tuple(sum((r >> (7 - x) & 1) << (1 + x) for x in range(7)) | (r & 1) for r in rows)


def turn(rows):
    # Quarter turn clockwise inside the 7 x 7 box the glyphs are drawn in.
    ink = lambda x, y: rows[y] >> (7 - x) & 1
    return tuple(sum(ink(y, 6 - x) << (7 - x) for x in range(7)) if y < 7 else 0
                 for y in range(8))


TRANSFORMS = {None: lambda rows: rows, "mirror": mirror, "turn": turn}


def glyph_for(code, glyphs, table, notes):
    char = CP437[code]
    if code == 0:
        return BLANK
    if char in DRAWN:
        notes.append("%3d U+%04X %s drawn: the font has no filled triangle" % (code, ord(char), char))
        return DRAWN[char]
    if ord(char) in table:
        return glyphs[table[ord(char)]]
    if char in BORROWED:
        source, how = BORROWED[char]
        if ord(source) in table:
            notes.append("%3d U+%04X %s from U+%04X %s%s"
                         % (code, ord(char), char, ord(source), source, " " + how if how else ""))
            return TRANSFORMS[how](glyphs[table[ord(source)]])
    raise ValueError("no glyph for code %d (U+%04X %s)" % (code, ord(char), char))


def build_tiles(glyphs, table, notes):
    tiles = [glyph_for(code, glyphs, table, notes) for code in range(256)]
    if tiles[FULL_BLOCK] != FULL:
        notes.append("219 U+2588 █ forced full: the font's glyph leaves pixels dark")
        tiles[FULL_BLOCK] = FULL
    return tiles


def pixel_rows(tiles):
    # Column layout: code n sits at grid column n / 16, row n % 16.
    size = GRID * TILE_SIZE
    image = [bytearray(size) for _ in range(size)]
    for code, rows in enumerate(tiles):
        left, top = code // GRID * TILE_SIZE, code % GRID * TILE_SIZE
        for y in range(TILE_SIZE):
            for x in range(TILE_SIZE):
                if rows[y] >> (7 - x) & 1:
                    image[top + y][left + x] = 0xFF
    return image


def png_chunk(kind, body):
    crc = zlib.crc32(kind + body) & 0xFFFFFFFF
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)


def encode_png(image):
    # 8-bit greyscale, no alpha, no timestamp: libtcod reads it as ink coverage and the
    # bytes depend only on the font.
    height, width = len(image), len(image[0])
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)
    raw = b"".join(b"\x00" + bytes(row) for row in image)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def main(argv):
    font_path = argv[1] if len(argv) > 1 else FONT_PATH
    out_path = os.path.abspath(argv[2] if len(argv) > 2 else OUT_PATH)
    try:
        glyphs, table, kind = read_font(font_path)
        notes = []
        png = encode_png(pixel_rows(build_tiles(glyphs, table, notes)))
    except (OSError, ValueError) as err:
        print("make_font: %s" % err, file=sys.stderr)
        return 1
    os.makedirs(os.path.dirname(out_path), exist_ok=True)
    with open(out_path, "wb") as f:
        f.write(png)
    print("font:   %s (%s, %d glyphs, %d Unicode entries)" % (font_path, kind, len(glyphs), len(table)))
    print("tiles:  256 codes, %dx%d each, code page 437, column layout" % (TILE_SIZE, TILE_SIZE))
    print("substitutions (%d):" % len(notes))
    for note in notes:
        print("  " + note)
    size = GRID * TILE_SIZE
    print("wrote:  %s (%dx%d greyscale, %d bytes)" % (out_path, size, size, len(png)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
