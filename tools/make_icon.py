#!/usr/bin/env python3
# Builds the desktop icons from the game's own tileset: the player meeting a monster on the
# checkered floor, four map cells in the game's colours, at the usual hicolor sizes.
# Usage: tools/make_icon.py [ICON_DIR [WINDOW_ICON]] (default packaging/icons, data/icon.png)
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TILESET = os.path.join(HERE, "..", "data", "terminal.png")
ICON_ROOT = os.path.join(HERE, "..", "packaging", "icons")
ICON_NAME = "io.cragmoor.Cragmoor.png"
WINDOW_ICON = os.path.join(HERE, "..", "data", "icon.png")
# Multiples of the scene's 16 pixels only, so that every glyph pixel stays square.
SIZES = (16, 32, 48, 64, 128, 256)

TILE = 8
GRID = 16
FLOOR = 219
PLAYER = ord("@")
MONSTER = 1

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (127, 127, 127)
DARK_GREY = (95, 95, 95)
GREEN = (0, 255, 0)

# Two by two map cells as the game draws them: floor shades alternate with (x + y) % 2,
# the player and the monster stand on black.
SCENE = (
    ((FLOOR, GREY, BLACK), (MONSTER, GREEN, BLACK)),
    ((PLAYER, WHITE, BLACK), (FLOOR, GREY, BLACK)),
)


def read_chunks(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos = 8
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def paeth(left, up, up_left):
    guess = left + up - up_left
    near = min((abs(guess - left), left), (abs(guess - up), up), (abs(guess - up_left), up_left),
               key=lambda pair: pair[0])
    return near[1]


def unfilter_row(kind, row, previous, step):
    out = bytearray(row)
    for i in range(len(out)):
        left = out[i - step] if i >= step else 0
        up = previous[i]
        up_left = previous[i - step] if i >= step else 0
        predictor = (0, left, up, (left + up) // 2, paeth(left, up, up_left))[kind]
        out[i] = (out[i] + predictor) & 0xFF
    return out


def read_greyscale_png(path):
    with open(path, "rb") as f:
        chunks = list(read_chunks(f.read()))
    header = dict(chunks)[b"IHDR"]
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    if (depth, colour, interlace) != (8, 0, 0):
        raise ValueError("%s is not an 8-bit greyscale PNG without interlacing" % path)
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    rows, previous = [], bytearray(width)
    for y in range(height):
        start = y * (width + 1)
        previous = unfilter_row(raw[start], raw[start + 1:start + 1 + width], previous, 1)
        rows.append(previous)
    return width, height, rows


def tile_pixels(tileset, code):
    # Column layout: code n sits at grid column n / 16, row n % 16.
    left, top = code // GRID * TILE, code % GRID * TILE
    return [row[left:left + TILE] for row in tileset[top:top + TILE]]


def tint(ink, foreground, background):
    return tuple((f * ink + b * (255 - ink) + 127) // 255 for f, b in zip(foreground, background))


def render_scene(tileset):
    picture = []
    for scene_row in SCENE:
        tiles = [(tile_pixels(tileset, code), fg, bg) for code, fg, bg in scene_row]
        for y in range(TILE):
            picture.append([tint(ink, fg, bg) for pixels, fg, bg in tiles for ink in pixels[y]])
    return picture


def scale(picture, factor):
    return [[pixel for pixel in row for _ in range(factor)] for row in picture for _ in range(factor)]


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def write_rgb_png(path, picture):
    height, width = len(picture), len(picture[0])
    raw = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in picture)
    data = (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    out_root = sys.argv[1] if len(sys.argv) > 1 else ICON_ROOT
    window_icon = sys.argv[2] if len(sys.argv) > 2 else WINDOW_ICON
    width, height, tileset = read_greyscale_png(TILESET)
    if (width, height) != (TILE * GRID, TILE * GRID):
        raise ValueError("tileset is %d x %d, the icon needs 128 x 128" % (width, height))
    picture = render_scene(tileset)
    # The game gives its own window the 64-pixel icon, read from its data folder.
    write_rgb_png(window_icon, scale(picture, 64 // len(picture)))
    print("wrote", os.path.relpath(window_icon))
    for size in SIZES:
        path = os.path.join(out_root, "%dx%d" % (size, size), "apps", ICON_NAME)
        write_rgb_png(path, scale(picture, size // len(picture)))
        print("wrote", os.path.relpath(path))


if __name__ == "__main__":
    main()
