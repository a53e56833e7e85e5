#!/bin/sh
# unpack-source.sh ARCHIVE DIR -- unpacks one of the archives tools/sources.txt records into
# DIR (as DIR/NAME/), after checking its SHA-256. The archive is taken from $CRAGMOOR_SOURCES,
# by default ../shared/sources beside this tree; nothing is ever downloaded.
set -eu
archive=$1 dir=$2
here=$(cd "$(dirname "$0")/.." && pwd)
folder=${CRAGMOOR_SOURCES:-$here/../shared/sources}
record=$(grep "^$archive " "$here/tools/sources.txt") ||
    { echo "$archive: not one of the archives in tools/sources.txt" >&2; exit 1; }
set -- $record
want=$2 tag=$3 commit=$4 upstream=$5
if [ ! -f "$folder/$archive" ]; then
    echo "$archive: not in $folder. Make it from $upstream at tag $tag (commit $commit):" >&2
    echo "  git archive --format=tar --prefix=${archive%.tar.gz}/ $tag | gzip -n -9 > $archive" >&2
    echo "and put it there, or name its folder in CRAGMOOR_SOURCES." >&2
    exit 1
fi
got=$(sha256sum "$folder/$archive" | cut -d' ' -f1)
if [ "$got" != "$want" ]; then
    echo "$archive: SHA-256 is $got, not $want as tools/sources.txt records: refusing it" >&2
    exit 1
fi
mkdir -p "$dir"
tar -C "$dir" -xzf "$folder/$archive"
