#!/bin/sh
# test-windows.sh -- builds the Windows release twice from clean folders (SDL2 and libtcod
# come from the cache) and the unit tests, then runs every Windows test under Wine in Xvfb:
# the unit tests through ctest, the release's bytes compared, the end-to-end table against
# cragmoor.exe, and the zip and installer as a player gets them. Exits non-zero on a failure.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
sh "$here/tools/need-packages.sh" cmake make git dpkg-dev python3 python3-numpy python3-pil \
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev binutils-mingw-w64-x86-64 nsis googletest \
    wine wine64 xvfb xauth xdotool x11-utils openbox wmctrl imagemagick unzip
work=$(mktemp -d /tmp/cragmoor-windows-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
screen="-screen 0 1920x1200x24"
failed=""

step() {  # NAME COMMAND...: runs one test, notes a failure and goes on
    name=$1; shift
    echo "== $name"
    "$@" || { echo "FAILED: $name" >&2; failed="$failed $name"; }
}

# One date for both builds, even if a commit lands while the first one runs.
SOURCE_DATE_EPOCH=$(sh "$here/tools/source-date.sh")
export SOURCE_DATE_EPOCH
sh "$here/tools/release-windows.sh" "$work/first" "$work/first-build"
sh "$here/tools/release-windows.sh" "$work/second" "$work/second-build"
step reproducible sh "$here/tests/windows/reproducible.sh" "$work/first" "$work/second"

libs=$(sh "$here/tools/windows-libraries.sh")
tests=$here/build/windows-tests
cmake -S "$here" -B "$tests" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$here/packaging/windows/mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$libs" -DCMAKE_BUILD_TYPE=Release -DCRAGMOOR_BENCHMARK=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build "$tests" --parallel 2 --target unit
# Each step starts its own wineserver: one left from a step without a display would keep
# its desktop without one, and the game's windows would fail to open.
wine wineboot -i >/dev/null 2>&1
wineserver -w
# Wine's Direct3D 12 stops the program on a failed assertion where no Vulkan driver exists,
# as here; SDL goes on to its next renderer when the DLL is not there.
step unit env WINEPATH="$libs/bin" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3d12=d" \
    ctest --test-dir "$tests" -R unit --output-on-failure
wineserver -w

zip=$(ls "$work"/first/*.zip) setup=$(ls "$work"/first/*-setup.exe)
unzip -q "$zip" -d "$work/zip"
step e2e xvfb-run -a -s "$screen" /usr/bin/python3 "$here/tests/e2e/wine.py" "$work/zip/Cragmoor"
wineserver -w
step release xvfb-run -a -s "$screen" /usr/bin/python3 "$here/tests/windows/release_test.py" \
    "$zip" "$setup"
wineserver -k 2>/dev/null || true

if [ -n "$failed" ]; then
    echo "Windows tests failed:$failed" >&2
    exit 1
fi
echo "Windows tests passed"
