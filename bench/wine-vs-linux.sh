#!/bin/sh
# wine-vs-linux.sh -- key to level 1 for the Linux build and for the Windows build under Wine,
# one after the other in the same Xvfb screen (1680x1050: both open a 1600x1000 window).
# Builds both (the Windows libraries come from tools/windows-libraries.sh's cache).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
sh "$here/tools/need-packages.sh" g++ cmake make pkg-config libtcod-dev libsdl2-dev xvfb xauth \
    wine wine64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
cmake -S "$here" -B "$here/build/release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$here/build/release" --parallel 2 --target cragmoor_level_time >/dev/null
libs=$(sh "$here/tools/windows-libraries.sh")
cmake -S "$here" -B "$here/build/windows-bench" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$here/packaging/windows/mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$libs" >/dev/null
cmake --build "$here/build/windows-bench" --parallel 2 --target cragmoor_level_time >/dev/null
prefix=$(mktemp -d /tmp/cragmoor-bench-wine.XXXXXX)
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
cd "$here/data"
WINEPREFIX=$prefix WINEDEBUG=-all WINEPATH="$libs/bin" \
WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=" SDL_AUDIODRIVER=dummy \
xvfb-run -a -s "-screen 0 1680x1050x24" sh -c "
    wine wineboot -i >/dev/null 2>&1
    echo '## Linux'; '$here/build/release/bench/cragmoor_level_time'
    echo '## Windows, under Wine'; wine '$here/build/windows-bench/bench/cragmoor_level_time.exe'"
