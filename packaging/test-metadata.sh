#!/bin/sh
# test-metadata.sh BUILD_DIR VERSION -- installs into a scratch prefix and checks what a
# desktop sees there: the desktop entry and AppStream data pass their validators and agree
# with each other, the icons match the tileset, and every data file made it in.
set -u
build=$1
version=$2
here=$(cd "$(dirname "$0")" && pwd)
app_id=io.cragmoor.Cragmoor
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install failed" >&2; exit 1; }

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
[ -f "$desktop" ] || fail "no desktop entry at $desktop"
[ -f "$metainfo" ] || fail "no AppStream data at $metainfo"

# desktop-file-validate exits 0 on warnings: clean means it printed nothing.
report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate: $report"
grep -qx 'Categories=Game;.*' "$desktop" || fail "the desktop entry is not in the Game category"

# validate-tree also checks that the launchable desktop entry is installed beside it.
appstreamcli validate-tree --no-net "$prefix" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate-tree rejected the installed tree"; }
grep -q "<id>$app_id</id>" "$metainfo" || fail "the AppStream id is not $app_id"
grep -q "<release version=\"$version\"" "$metainfo" ||
    fail "the AppStream data has no release $version, the project's version"
grep -q '<screenshot type="default">' "$metainfo" || fail "the AppStream data has no screenshot"

icon=$(sed -n 's/^Icon=//p' "$desktop")
set -- "$prefix"/share/icons/hicolor/*/apps/"$icon".png
[ -f "$1" ] || fail "no hicolor icon named $icon installed"

python3 "$here/make_icon.py" "$work/icons" >/dev/null || fail "make_icon.py failed"
for made in "$work"/icons/*/apps/*.png; do
    committed=$here/icons/${made#"$work/icons/"}
    cmp -s "$made" "$committed" || fail "$committed is stale: run packaging/make_icon.py"
    cmp -s "$made" "$prefix/share/icons/hicolor/${made#"$work/icons/"}" ||
        fail "the installed icon ${made#"$work/icons/"} differs from the one made"
done

# The game reads each data file by bare name, so one left out breaks the installed game.
for file in "$here"/../data/*; do
    [ -f "$file" ] || continue
    [ -f "$prefix/share/games/cragmoor/$(basename "$file")" ] ||
        fail "data/$(basename "$file") is not installed: add its pattern to packaging/CMakeLists.txt"
done

# The command must start the game in the data folder of the prefix given at install time.
mkdir "$work/elsewhere"
(cd "$work/elsewhere" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    exec "$prefix/games/cragmoor" >"$work/game.log" 2>&1) &
game=$!
tries=0
while [ "$(readlink "/proc/$game/exe")" != "$prefix/lib/games/cragmoor/cragmoor" ] &&
    [ "$tries" -lt 40 ]; do
    tries=$((tries + 1))
    sleep 0.05
done
[ "$(readlink "/proc/$game/exe")" = "$prefix/lib/games/cragmoor/cragmoor" ] ||
    fail "the cragmoor command did not start $prefix/lib/games/cragmoor/cragmoor"
[ "$(readlink "/proc/$game/cwd")" = "$prefix/share/games/cragmoor" ] ||
    fail "the game runs in $(readlink "/proc/$game/cwd"), not $prefix/share/games/cragmoor"
# Only where it runs matters here; it may not have set up its SIGTERM handling yet.
kill -KILL "$game" 2>/dev/null
{ wait "$game"; } 2>/dev/null

[ "$failures" -eq 0 ] || exit 1
echo "desktop entry, AppStream data, icons, data files and launcher all in order"
