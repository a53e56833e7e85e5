#!/bin/sh
# windows-libraries.sh -- builds SDL2 (SDL2.dll) and libtcod (static) for 64-bit Windows
# from the archives tools/sources.txt records, once, into a cache folder named after the
# archives' hashes, this script and the toolchain; prints that folder (the CMake prefix).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$here/packaging/windows/mingw-w64.cmake
cache=${CRAGMOOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/cragmoor}
sdl=SDL2-2.32.10 tcod=libtcod-1.24.0

hash_of() { grep "^$1.tar.gz " "$here/tools/sources.txt" | awk '{print $2}'; }
key=$( { hash_of $sdl; hash_of $tcod; cat "$0" "$toolchain"
         x86_64-w64-mingw32-gcc-posix --version | head -1; } | sha256sum | cut -c1-16)
prefix=$cache/windows-libs-$key
if [ -f "$prefix/built" ]; then echo "$prefix"; exit 0; fi

work=$cache/windows-work-$key
mkdir -p "$work"
flags="-ffile-prefix-map=$work=."

# Each library is unpacked, built and installed into the prefix once; one that failed is
# built again from its archive.
configure() {  # NAME OPTIONS...
    name=$1 src=$work/$1 build=$work/build-$1; shift
    [ -f "$work/$name.done" ] && return 0
    rm -rf "$src" "$build"
    sh "$here/tools/unpack-source.sh" $name.tar.gz "$work" >&2
    cmake -S "$src" -B "$build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
        "$@" >&2
    cmake --build "$build" --parallel 2 >&2
    cmake --install "$build" >&2
    touch "$work/$name.done"
}
# SDL2 as the DLL players get; its static SDL2main gives the game WinMain.
configure $sdl -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF
# libtcod static, on that SDL2 and Debian's static zlib; the rest of what it needs is its own.
# Its package file takes a relative include folder as one inside its build folder.
configure $tcod -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_INCLUDEDIR="$prefix/include" \
    -DLIBTCOD_SDL2=find_package -DLIBTCOD_ZLIB=find_package -DLIBTCOD_LODEPNG=vendored \
    -DLIBTCOD_UTF8PROC=vendored -DLIBTCOD_STB=vendored
# The licence texts of what the game links, for the release.
mkdir -p "$prefix/licences"
cp "$work/$sdl/LICENSE.txt" "$prefix/licences/SDL2-LICENSE.txt"
cp "$work/$tcod/LICENSE.txt" "$prefix/licences/libtcod-LICENSE.txt"
# What libtcod vendors keeps its licence in its own sources; the release cuts it out of these.
for file in lodepng.h stb_ds.h stb_truetype.h utf8proc/utf8proc.h; do
    cp "$work/$tcod/src/vendor/$file" "$prefix/licences/"
done
rm -rf "$work"
touch "$prefix/built"
echo "$prefix"
