#!/bin/sh
# test-metadata.sh VERSION -- the desktop entry and AppStream data pass their validators, the
# versions agree, and the icons are the ones tools/make_icon.py makes.
set -eux
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# desktop-file-validate exits 0 on warnings: clean means it prints nothing.
desktop-file-validate io.cragmoor.Cragmoor.desktop 2>&1 | (! grep .)
appstreamcli validate --no-net --strict io.cragmoor.Cragmoor.metainfo.xml
grep -q "<release version=\"$1\"" io.cragmoor.Cragmoor.metainfo.xml
[ "$(dpkg-parsechangelog -l ../debian/changelog -S Version)" = "$1" ]
python3 ../tools/make_icon.py "$work/icons" "$work/icon.png" >/dev/null
diff -r "$work/icons" icons
cmp "$work/icon.png" ../data/icon.png
