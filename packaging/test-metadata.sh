#!/bin/sh
# test-metadata.sh GAME VERSION -- the desktop entry and AppStream data pass their validators,
# the versions agree, the icons are tools/make_icon.py's, and the game finds its data.
set -eux
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
# Started in a folder without the font, the game moves to a folder that has it.
(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec "$1" >/dev/null) &
game=$!
trap 'kill -KILL $game 2>/dev/null; rm -rf "$work"' EXIT
# desktop-file-validate exits 0 on warnings: clean means it prints nothing.
desktop-file-validate "$here/io.cragmoor.Cragmoor.desktop" 2>&1 | (! grep .)
appstreamcli validate --no-net --strict "$here/io.cragmoor.Cragmoor.metainfo.xml"
grep -q "<release version=\"$2\"" "$here/io.cragmoor.Cragmoor.metainfo.xml"
[ "$(dpkg-parsechangelog -l "$here/../debian/changelog" -S Version)" = "$2" ]
python3 "$here/../tools/make_icon.py" "$work/icons" "$work/icon.png" >/dev/null
diff -r "$work/icons" "$here/icons"
cmp "$work/icon.png" "$here/../data/icon.png"
timeout 5 sh -c "until [ -f /proc/$game/cwd/terminal.png ]; do sleep 0.1; done"
