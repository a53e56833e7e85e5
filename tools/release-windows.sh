#!/bin/sh
# release-windows.sh -- builds the Windows release on Debian: SDL2 and libtcod from their
# source archives (cached, tools/windows-libraries.sh), the game cross-built with mingw-w64,
# then out/windows/cragmoor-VERSION-windows-x64.zip and cragmoor-VERSION-setup.exe.
# Usage: tools/release-windows.sh [OUT_DIR [BUILD_DIR]]
# Two runs from clean folders give the same bytes: dates come from the last commit.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$here/out/windows}" && cd "${1:-$here/out/windows}" && pwd)
build=${2:-$here/build/windows-release}
sh "$here/tools/need-packages.sh" cmake make git python3 g++-mingw-w64-x86-64-posix \
    libz-mingw-w64-dev binutils-mingw-w64-x86-64 nsis dpkg-dev
version=$(sed -n 's/^project(cragmoor VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
SOURCE_DATE_EPOCH=$(sh "$here/tools/source-date.sh")
export SOURCE_DATE_EPOCH

libs=$(sh "$here/tools/windows-libraries.sh")
flags="-ffile-prefix-map=$here=. -ffile-prefix-map=$build=."
cmake -S "$here" -B "$build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$here/packaging/windows/mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$libs" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" \
    -DBUILD_TESTING=OFF -DCRAGMOOR_BENCHMARK=OFF >/dev/null
cmake --build "$build" --parallel 2 --target cragmoor
x86_64-w64-mingw32-strip "$build/cragmoor.exe"
cp "$libs/bin/SDL2.dll" "$build/SDL2.dll"
x86_64-w64-mingw32-strip "$build/SDL2.dll"

stage=$out/stage/Cragmoor
zip=$out/cragmoor-$version-windows-x64.zip
/usr/bin/python3 "$here/tools/pack_windows.py" "$build/cragmoor.exe" "$build/SDL2.dll" \
    "$libs/licences" "$stage" "$zip"

# The uninstaller deletes what the installer copied, by name, and no more.
list=$out/stage/files.nsh
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|') >"$list"
size_kb=$(du -sk --apparent-size "$stage" | cut -f1)
makensis -V2 -DSTAGE="$stage" -DFILE_LIST="$list" -DSIZE_KB="$size_kb" -DVERSION="$version" \
    -DICON="$here/src/platform/windows/cragmoor.ico" \
    -DOUTFILE="$out/cragmoor-$version-setup.exe" "$here/packaging/windows/cragmoor.nsi"
echo "wrote $out/cragmoor-$version-setup.exe"
