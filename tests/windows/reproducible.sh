#!/bin/sh
# reproducible.sh FIRST SECOND -- two release folders built from clean build folders by
# tools/release-windows.sh must hold the same zip and installer, byte for byte.
set -eu
status=0
for file in $(cd "$1" && ls *.zip *.exe); do
    if cmp -s "$1/$file" "$2/$file"; then
        echo "same bytes: $file"
    else
        echo "differs between two builds: $file" >&2
        status=1
    fi
done
[ -n "$(cd "$1" && ls *.zip *.exe)" ] || { echo "no release in $1" >&2; exit 1; }
exit $status
