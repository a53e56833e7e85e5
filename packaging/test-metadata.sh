#!/bin/sh
# test-metadata.sh GAME VERSION -- what the package needs that is cheap to check without
# building one: the desktop entry and AppStream data pass their validators, the versions
# agree, the icons match the font, and the built game started elsewhere finds its data.
set -u
game=$1
version=$2
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# desktop-file-validate exits 0 on warnings: clean means it printed nothing.
report=$(desktop-file-validate "$here/io.cragmoor.Cragmoor.desktop" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate: $report"
report=$(appstreamcli validate --no-net --strict "$here/io.cragmoor.Cragmoor.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $report"
grep -q "<release version=\"$version\"" "$here/io.cragmoor.Cragmoor.metainfo.xml" ||
    fail "the AppStream data has no release $version"
changelog=$(dpkg-parsechangelog -l "$here/../debian/changelog" -S Version)
[ "$changelog" = "$version" ] || fail "debian/changelog is at $changelog, the game at $version"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/../tools/make_icon.py" "$work/icons" "$work/icon.png" >/dev/null &&
    diff -r "$work/icons" "$here/icons" >/dev/null && cmp -s "$work/icon.png" "$here/../data/icon.png" ||
    fail "the icons differ from what tools/make_icon.py makes"

# Started in a folder without the font, the game moves to a folder that has it.
(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec "$game" >"$work/game.log") &
pid=$!
tries=0
until [ -f "/proc/$pid/cwd/terminal.png" ] || [ "$tries" -ge 50 ]; do
    tries=$((tries + 1))
    sleep 0.1
done
[ -f "/proc/$pid/cwd/terminal.png" ] ||
    fail "the game started in $work runs in $(readlink "/proc/$pid/cwd"): $(cat "$work/game.log")"
kill -KILL "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

[ "$failures" -eq 0 ]
