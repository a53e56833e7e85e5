#!/usr/bin/env python3
# pack_windows.py -- lays out the Windows release folder (the game, SDL2.dll, its data, the
# player's README and every licence) and writes it as a zip whose bytes depend only on the
# files (reproducible_zip.py).
# Usage: pack_windows.py EXE SDL2_DLL LIBRARY_LICENCES STAGE ZIP
import os
import shutil
import sys

from licences import licence_text
from reproducible_zip import write_zip

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..")
DATA_SUFFIXES = (".png", ".wav")
ZIP_FOLDER = "Cragmoor"

# (file in the release, where it comes from, how licences.py takes it out of that file)
LICENCES = (
    ("LICENSE.txt", "game:LICENSE", "whole"),
    ("licences/font.txt", "game:data/FONT-LICENSE", "whole"),
    ("licences/SDL2.txt", "libs:SDL2-LICENSE.txt", "whole"),
    ("licences/libtcod.txt", "libs:libtcod-LICENSE.txt", "whole"),
    ("licences/lodepng.txt", "libs:lodepng.h", "first comment"),
    ("licences/utf8proc.txt", "libs:utf8proc.h", "first comment"),
    ("licences/stb_truetype.txt", "libs:stb_truetype.h", "closing licence"),
    ("licences/stb_ds.txt", "libs:stb_ds.h", "closing licence"),
    ("licences/zlib.txt", "/usr/share/doc/libz-mingw-w64-dev/copyright", "whole"),
    ("licences/mingw-w64-runtime.txt", "/usr/share/doc/mingw-w64-x86-64-dev/copyright", "whole"),
    ("licences/gcc-runtime.txt", "/usr/share/doc/gcc-mingw-w64-base/copyright", "whole"),
)


def windows_text(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def source_path(where, library_licences):
    kind, _, name = where.partition(":")
    if kind == "game":
        return os.path.join(ROOT, name)
    if kind == "libs":
        return os.path.join(library_licences, name)
    return where


def stage(exe, sdl_dll, library_licences, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "licences"))
    shutil.copyfile(exe, os.path.join(folder, "cragmoor.exe"))
    shutil.copyfile(sdl_dll, os.path.join(folder, "SDL2.dll"))
    data = os.path.join(ROOT, "data")
    for name in sorted(os.listdir(data)):
        if name.endswith(DATA_SUFFIXES):
            shutil.copyfile(os.path.join(data, name), os.path.join(folder, name))
    readme = os.path.join(ROOT, "packaging", "windows", "README.txt")
    with open(readme, encoding="utf-8") as text, open(os.path.join(folder, "README.txt"), "wb") as out:
        out.write(windows_text(text.read()))
    for name, where, cut in LICENCES:
        licence = licence_text(source_path(where, library_licences), cut)
        with open(os.path.join(folder, name), "wb") as out:
            out.write(windows_text(licence))


def main():
    exe, sdl_dll, library_licences, folder, path = sys.argv[1:6]
    stage(exe, sdl_dll, library_licences, folder)
    write_zip(folder, path, ZIP_FOLDER)
    print("wrote", path)


if __name__ == "__main__":
    main()
