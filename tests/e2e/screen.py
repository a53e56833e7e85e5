# screen.py -- reads the game's window as a player sees it: screenshots cut into 40 x 25
# cells, each matched against the game's own font so that a cell reads as a glyph in colours.
import ctypes
import ctypes.util
import struct
import zlib

COLUMNS = 40
ROWS = 25
MAP_ROWS = 24
STATUS_ROW = 24

FLOOR_BLOCK = 219
HEART = 3
MONSTER_FACE = 1
TRAIL_MARK = 160


class _Colour(ctypes.Structure):
    _fields_ = [("r", ctypes.c_uint8), ("g", ctypes.c_uint8), ("b", ctypes.c_uint8)]


def _libtcod_colours(names):
    # The game draws in libtcod's named colours; the values come from the library itself.
    library = ctypes.CDLL(ctypes.util.find_library("tcod") or "libtcod.so.1")
    colours = {}
    for name in names:
        colour = _Colour.in_dll(library, "TCOD_" + name)
        colours[name] = (colour.r, colour.g, colour.b)
    return colours


COLOUR = _libtcod_colours(["black", "white", "grey", "dark_grey", "light_grey", "red",
                           "orange", "yellow", "cyan", "green", "dark_purple"])


def read_png(path):
    """Returns (width, height, channels, rows) for an 8-bit non-interlaced PNG without palette."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is not a PNG file" % path)
    position, idat, header = 8, b"", None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour_type)
    if depth != 8 or channels is None or interlace:
        raise ValueError("%s: only 8-bit grey or RGB(A) PNG files are read here" % path)
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - corner
                pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
                nearest = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                row[i] = (row[i] + nearest) & 0xFF
        rows.append(bytes(row))
        previous = row
    return width, height, channels, rows


def read_ppm(data):
    """Returns (width, height, rgb bytes) of a binary 8-bit PPM."""
    fields, position = [], 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[position + 1:position + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError("PPM ends early")
    return width, height, pixels


class Font:
    """The game's terminal.png: code n at grid column n / 16, row n % 16, white ink on black."""

    def __init__(self, path):
        width, height, channels, rows = read_png(path)
        self.tile_width, self.tile_height = width // 16, height // 16
        self.masks = []
        for code in range(256):
            left = code // 16 * self.tile_width
            top = code % 16 * self.tile_height
            mask = tuple(
                tuple(rows[top + y][(left + x) * channels] >= 128 for x in range(self.tile_width))
                for y in range(self.tile_height))
            self.masks.append(mask)
        self.inverse = [tuple(tuple(not p for p in row) for row in mask) for mask in self.masks]
        self.full = [all(all(row) for row in mask) for mask in self.masks]
        self.empty = [not any(any(row) for row in mask) for mask in self.masks]
        self.codes_by_mask, self.codes_by_inverse = {}, {}
        for code in range(256):
            self.codes_by_mask.setdefault(self.masks[code], []).append(code)
            self.codes_by_inverse.setdefault(self.inverse[code], []).append(code)


class Cell:
    """One cell of the screen: one colour all over, or two colours in a glyph's shape."""

    def __init__(self, colours, mask):
        self.colours = colours  # (one colour,) or (the top-left pixel's colour, the other)
        self.mask = mask        # True where the first colour lies; None for one colour,
                                # "mixed" for more than two colours

    def uniform(self):
        return self.colours[0] if self.mask is None else None

    def shows(self, font, code, ink, paper):
        glyph = font.masks[code]
        full, empty = font.full[code], font.empty[code]
        if full or empty or ink == paper:
            return self.mask is None and self.colours[0] == (paper if empty else ink)
        if self.mask is None or self.mask == "mixed":
            return False
        if self.mask == glyph:
            return self.colours == (ink, paper)
        return self.mask == font.inverse[code] and self.colours == (paper, ink)

    def glyph(self, font, ink):
        """(codes, paper): the glyphs drawn in ink that the cell may be showing."""
        if self.mask is None or self.mask == "mixed" or ink not in self.colours:
            return [], None
        first, second = self.colours
        if ink == first:
            return font.codes_by_mask.get(self.mask, []), second
        return font.codes_by_inverse.get(self.mask, []), first


class Screen:
    """A screenshot of the game's window cut into cells."""

    def __init__(self, font, width, height, pixels):
        self.font = font
        self.width, self.height, self.pixels = width, height, pixels
        self.columns = width // font.tile_width
        self.rows = height // font.tile_height
        self._cells = {}

    def same_picture(self, other):
        return other is not None and (self.width, self.height, self.pixels) == \
            (other.width, other.height, other.pixels)

    def cell(self, column, row):
        key = (column, row)
        if key not in self._cells:
            self._cells[key] = self._read_cell(column, row)
        return self._cells[key]

    def _read_cell(self, column, row):
        tw, th = self.font.tile_width, self.font.tile_height
        left, top = column * tw, row * th
        lines = []
        for y in range(th):
            offset = ((top + y) * self.width + left) * 3
            lines.append(self.pixels[offset:offset + tw * 3])
        first = bytes(lines[0][0:3])
        if all(line == first * tw for line in lines):
            return Cell((tuple(first),), None)
        mask, other = [], None
        for line in lines:
            flags = []
            for x in range(tw):
                colour = bytes(line[x * 3:x * 3 + 3])
                if colour == first:
                    flags.append(True)
                else:
                    if other is None:
                        other = colour
                    elif colour != other:
                        return Cell(("mixed",), "mixed")
                    flags.append(False)
            mask.append(tuple(flags))
        return Cell((tuple(first), tuple(other)), tuple(mask))

    def shows(self, column, row, code, ink, paper=COLOUR["black"]):
        return self.cell(column, row).shows(self.font, code, ink, paper)

    def text(self, column, row, length, ink=COLOUR["grey"], paper=COLOUR["black"]):
        """The characters printed in ink on paper; blank paper reads as a space, anything
        else as '?'."""
        letters = ""
        for x in range(column, column + length):
            cell = self.cell(x, row)
            if cell.uniform() == paper:
                letters += " "
                continue
            found = "?"
            codes, cell_paper = cell.glyph(self.font, ink)
            printable = [c for c in codes if 33 <= c < 127]
            if cell_paper == paper and printable:
                found = chr(printable[0])
            letters += found
        return letters

    def message(self):
        return self.text(20, STATUS_ROW, 20).strip()

    def status(self):
        return self.text(3, STATUS_ROW, 17).strip()

    def hearts(self):
        """The hearts on the bottom row as 'r' (red) and 'g' (grey); '?' for anything else."""
        marks = ""
        for column in range(3):
            if self.shows(column, STATUS_ROW, HEART, COLOUR["red"]):
                marks += "r"
            elif self.shows(column, STATUS_ROW, HEART, COLOUR["grey"]):
                marks += "g"
            else:
                marks += "?"
        return marks


# What each map cell can show: (what, glyph, ink). Floor is the full block, shaded as a
# checkerboard; the rest are glyphs on black.
MAP_GLYPHS = [
    ("rock", ord("*"), "orange"),
    ("stairs", ord(">"), "yellow"),
    ("potion", ord("!"), "cyan"),
    ("monster", MONSTER_FACE, "green"),
    ("player", ord("@"), "white"),
    ("player with rock", ord("*"), "white"),
    ("hit", ord("*"), "red"),
    ("trail", TRAIL_MARK, "light_grey"),
    ("trail", TRAIL_MARK, "grey"),
]


def floor_shade(x, y):
    return COLOUR["grey"] if (x + y) % 2 == 0 else COLOUR["dark_grey"]


class Level:
    """The map as the screen shows it: what stands in every one of the 40 x 24 cells."""

    def __init__(self, shot):
        self.screen = shot
        self.cells = {}
        self.where = {}
        for y in range(MAP_ROWS):
            for x in range(COLUMNS):
                what = self._read(shot, x, y)
                self.cells[(x, y)] = what
                self.where.setdefault(what, []).append((x, y))

    @staticmethod
    def _read(shot, x, y):
        cell = shot.cell(x, y)
        colour = cell.uniform()
        if colour is not None:
            if colour == floor_shade(x, y):
                return "floor"
            if colour == COLOUR["black"]:
                return "blank"
            if colour == COLOUR["white"]:
                return "heal flash"
            return "odd colour %s" % (colour,)
        for what, code, ink in MAP_GLYPHS:
            if cell.shows(shot.font, code, COLOUR[ink], COLOUR["black"]):
                return what
        return "unknown"

    def all(self, what):
        return self.where.get(what, [])

    def player(self):
        """(x, y, carrying) of the one player glyph, or None."""
        plain, carrying = self.all("player"), self.all("player with rock")
        if len(plain) + len(carrying) != 1:
            return None
        return (plain + carrying)[0] + (bool(carrying),)

    def complete(self):
        """Every cell drawn, nothing in mid-turn, the player shown once."""
        known = {"floor", "rock", "stairs", "potion", "monster", "player", "player with rock"}
        return set(self.where) <= known and self.player() is not None

    def passable(self, x, y):
        return self.cells.get((x, y)) in ("floor", "potion")
