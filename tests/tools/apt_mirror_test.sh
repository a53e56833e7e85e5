#!/bin/sh
# apt_mirror_test.sh -- the clean systems are made from the mirror apt is configured with,
# whichever way it is written, and from no address of the project's own.
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
mkdir -p "$work/parts" "$work/lists/partial"
printf 'Dir::Etc::sourcelist "%s/sources.list";\nDir::Etc::sourceparts "%s/parts";\nDir::State::Lists "%s/lists";\n' \
    "$work" "$work" "$work" >"$work/apt.conf"
export APT_CONFIG="$work/apt.conf"
failed=0
expect() {  # expect WHAT WANTED: the mirror found, or "none"
    got=$(sh "$here/tools/apt-mirror.sh") || got=none
    [ "$got" = "$2" ] || { echo "$1: got $got, wanted $2"; failed=1; }
}

printf 'Types: deb\nURIs: http://security.example/debian-security\nSuites: %s-security\nComponents: main\n\nTypes: deb-src deb\nURIs: http://one.example/debian/\nSuites: %s %s-updates\nComponents: main\n' \
    "$codename" "$codename" "$codename" >"$work/parts/debian.sources"
expect "deb822, security first" http://one.example/debian
rm "$work/parts/debian.sources"
printf 'deb [arch=amd64 signed-by=/k.gpg] http://two.example/debian %s main\n' "$codename" >"$work/sources.list"
expect "sources.list with options" http://two.example/debian
printf 'deb http://elsewhere.example/apt nodistro main\n' >"$work/sources.list"
expect "no source of this release" none
rm "$work/sources.list"
expect "no sources at all" none
exit $failed
