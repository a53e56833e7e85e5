#!/bin/sh
# source-date.sh -- prints the date the releases carry, in seconds since 1970, so that two
# builds of the same tree give the same bytes: $SOURCE_DATE_EPOCH when set, else the last
# commit's, else (a tree without git) debian/changelog's latest entry's, as Debian's builds take it.
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then echo "$SOURCE_DATE_EPOCH"; exit 0; fi
git -C "$here" log -1 --format=%ct 2>/dev/null ||
    dpkg-parsechangelog -l "$here/debian/changelog" -STimestamp
