#!/bin/sh
# release-web.sh [TARGET...] -- builds the game for web browsers: out/web/ (its page, script,
# wasm, data and licence texts) and out/web/cragmoor-VERSION-web.zip of that folder, ready for
# any static host.
# SDL2 and libtcod are compiled from the recorded source archives with Debian's Emscripten and
# kept in ${XDG_CACHE_HOME:-~/.cache}/cragmoor/, so that only the game is rebuilt next time.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
sh tools/need-packages.sh emscripten cmake python3 git dpkg-dev
version=$(sed -n 's/^project(cragmoor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

sdl=SDL-release-2.0.20 tcod=libtcod-1.24.0
# A cache per archive pair, Emscripten and this script: any change to them builds afresh.
key=$( (grep -E "^($sdl|$tcod)\.tar\.gz " tools/sources.txt; emcc --version | sed -n 1p;
        cat "$0") | sha256sum | cut -c1-16)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/cragmoor/web-$key
# Debian's Emscripten needs both: its own cache is read-only, and its nodejs looks for the
# compiler's JavaScript modules (acorn) only where told.
export EM_CONFIG=$cache/emscripten.config NODE_PATH=/usr/share/nodejs
export EMCC_LOCAL_PORTS=sdl2=$cache/sources/$sdl

build_libraries() {
    rm -rf "$cache" && mkdir -p "$cache/sources" "$cache/libtcod/objects"
    sh tools/unpack-source.sh "$sdl.tar.gz" "$cache/sources"
    sh tools/unpack-source.sh "$tcod.tar.gz" "$cache/sources"
    cp -a /usr/share/emscripten/cache "$cache/emscripten"
    sed -e '/^FROZEN_CACHE/d' /usr/share/emscripten/.emscripten > "$EM_CONFIG"
    printf "\nFROZEN_CACHE = False\nCACHE = '%s'\n" "$cache/emscripten" >> "$EM_CONFIG"
    embuilder build sdl2
    # libtcod's C API, which is all the game calls, with the libraries it vendors; its own
    # CMake wants SDL2's CMake package, which Emscripten's port does not install. Compiled one
    # file at a time: the linker takes only the objects the game needs.
    src=$cache/sources/$tcod/src
    ls "$src"/libtcod/*.c "$src"/vendor/*.c "$src"/vendor/utf8proc/utf8proc.c "$src"/vendor/zlib/*.c |
        xargs -P 2 -I{} sh -c 'emcc -c -O2 -std=gnu99 -w -sUSE_SDL=2 -DLIBTCOD_STATIC \
            -DTCOD_NO_THREADS -DZ_HAVE_UNISTD_H -I"$1/vendor" -I"$1/vendor/utf8proc" -I"$1/vendor/zlib" \
            "$2" -o "$3/$(echo "$2" | sed "s|^$1/||; s|/|_|g").o"' - "$src" {} "$cache/libtcod/objects"
    emar rcs "$cache/libtcod/libtcod.a" "$cache/libtcod/objects"/*.o
    touch "$cache/ready"
}
if [ ! -f "$cache/ready" ]; then
    # Each cache holds a copy of Emscripten's (750 MB): the outdated ones go.
    mkdir -p "$(dirname "$cache")"
    find "$(dirname "$cache")" -maxdepth 1 -name 'web-*' ! -name "web-$key" -exec rm -rf {} +
    build_libraries
fi

emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release \
    -DCRAGMOOR_WEB_LIBTCOD="$cache/libtcod/libtcod.a" \
    -DCRAGMOOR_WEB_LIBTCOD_INCLUDE="$cache/sources/$tcod/src" >/dev/null
# Targets named as arguments (the web benchmark, cragmoor_web_bench) are built as well.
cmake --build build/web --parallel 2
for target in "$@"; do cmake --build build/web --parallel 2 --target "$target"; done

rm -rf out/web && mkdir -p out/web/licences
cp build/web/cragmoor.js build/web/cragmoor.wasm build/web/cragmoor.data \
   build/web/cragmoor-data.js out/web/
cp src/platform/web/index.html data/icon.png out/web/
cp src/platform/web/licences.html out/web/licences/index.html
cp LICENSE out/web/licences/cragmoor.txt
cp data/FONT-LICENSE out/web/licences/font.txt
cp "$cache/sources/$sdl/LICENSE.txt" out/web/licences/sdl2.txt
cp "$cache/sources/$tcod/LICENSE.txt" out/web/licences/libtcod.txt
# The vendored libraries carry their licences in their own sources.
vendor=$cache/sources/$tcod/src/vendor
python3 tools/licences.py "$vendor/lodepng.h" "first comment" > out/web/licences/lodepng.txt
python3 tools/licences.py "$vendor/utf8proc/utf8proc.h" "first comment" > out/web/licences/utf8proc.txt
python3 tools/licences.py "$vendor/zlib/zlib.h" "first comment" > out/web/licences/zlib.txt
python3 tools/licences.py "$vendor/stb_truetype.h" "closing licence" > out/web/licences/stb.txt
cp /usr/share/emscripten/system/lib/libc/musl/COPYRIGHT out/web/licences/musl.txt
cp /usr/share/doc/emscripten/copyright out/web/licences/emscripten.txt

# The same files give the same zip: dates from the last commit.
SOURCE_DATE_EPOCH=$(sh tools/source-date.sh)
export SOURCE_DATE_EPOCH
python3 tools/reproducible_zip.py out/web "out/web/cragmoor-$version-web.zip" cragmoor-web
echo "out/web/cragmoor-$version-web.zip"
