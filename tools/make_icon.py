#!/usr/bin/env python3
# Builds the desktop icons from the game's own tileset: the player meeting a monster on the
# checkered floor, four map cells in the game's colours, at the usual hicolor sizes.
# Usage: tools/make_icon.py [ICON_DIR [WINDOW_ICON [WINDOWS_ICO]]]; without arguments it writes
# packaging/icons, data/icon.png and the .exe's src/platform/windows/cragmoor.ico.
import os
import sys

from PIL import Image, ImageOps

HERE = os.path.dirname(os.path.abspath(__file__))
TILESET = os.path.join(HERE, "..", "data", "terminal.png")
ICON_ROOT = os.path.join(HERE, "..", "packaging", "icons")
ICON_NAME = "io.cragmoor.Cragmoor.png"
WINDOW_ICON = os.path.join(HERE, "..", "data", "icon.png")
WINDOWS_ICO = os.path.join(HERE, "..", "src", "platform", "windows", "cragmoor.ico")
# Multiples of the scene's 16 pixels only, so that every glyph pixel stays square.
SIZES = (16, 32, 48, 64, 128, 256)
# What Windows picks from for Explorer, the Start menu and the taskbar at 100% to 200%.
ICO_SIZES = (16, 32, 48, 64, 128, 256)

TILE = 8
GRID = 16
FLOOR = 219
PLAYER = ord("@")
MONSTER = 1

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (127, 127, 127)
GREEN = (0, 255, 0)

# Two by two map cells as the game draws them: floor shades alternate with (x + y) % 2,
# the player and the monster stand on black.
SCENE = (
    ((FLOOR, GREY, BLACK), (MONSTER, GREEN, BLACK)),
    ((PLAYER, WHITE, BLACK), (FLOOR, GREY, BLACK)),
)


def render_scene(tileset):
    scene = Image.new("RGB", (len(SCENE[0]) * TILE, len(SCENE) * TILE))
    for y, scene_row in enumerate(SCENE):
        for x, (code, fg, bg) in enumerate(scene_row):
            # Column layout: code n sits at grid column n / 16, row n % 16.
            left, top = code // GRID * TILE, code % GRID * TILE
            glyph = tileset.crop((left, top, left + TILE, top + TILE))
            scene.paste(ImageOps.colorize(glyph, black=bg, white=fg), (x * TILE, y * TILE))
    return scene


def write_scaled(path, scene, size):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    scene.resize((size, size), Image.Resampling.NEAREST).save(path)
    print("wrote", os.path.relpath(path))


def write_ico(path, scene):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    largest = scene.resize((ICO_SIZES[-1],) * 2, Image.Resampling.NEAREST)
    # Pillow scales each smaller size down from the largest; by whole factors of 16-pixel
    # glyph art that keeps the pixels square.
    largest.save(path, format="ICO", sizes=[(size, size) for size in ICO_SIZES])
    print("wrote", os.path.relpath(path))


def main():
    out_root = sys.argv[1] if len(sys.argv) > 1 else ICON_ROOT
    window_icon = sys.argv[2] if len(sys.argv) > 2 else WINDOW_ICON
    # Given folders, only what was named is written: a check never overwrites the tree's .ico.
    windows_ico = sys.argv[3] if len(sys.argv) > 3 else (WINDOWS_ICO if len(sys.argv) == 1 else None)
    tileset = Image.open(TILESET)
    if tileset.mode != "L" or tileset.size != (TILE * GRID, TILE * GRID):
        raise ValueError("tileset is %s %d x %d, the icon needs 128 x 128 greyscale"
                         % (tileset.mode, tileset.width, tileset.height))
    scene = render_scene(tileset)
    # The game gives its own window the 64-pixel icon, read from its data folder.
    write_scaled(window_icon, scene, 64)
    for size in SIZES:
        write_scaled(os.path.join(out_root, "%dx%d" % (size, size), "apps", ICON_NAME), scene, size)
    if windows_ico:
        write_ico(windows_ico, scene)


if __name__ == "__main__":
    main()
