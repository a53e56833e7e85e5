#!/bin/sh
# in-clean-system.sh SUITE [CTEST-ARGUMENTS] -- runs the README's test command (./check) in a
# clean Debian SUITE (trixie, forky, ...) made with debootstrap, on a copy of this tree; by
# default less the Windows and web releases' tests (-LE 'windows|web'). The clean base and
# the downloaded packages are kept under $CRAGMOOR_SYSTEMS (/var/cache/cragmoor-systems) for
# the next run; everything else, and every mount, is gone when it ends. Needs root.
set -eu
suite=$1
shift
[ $# -gt 0 ] || set -- -LE 'windows|web'
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${CRAGMOOR_SYSTEMS:-/var/cache/cragmoor-systems}
sh "$here/tools/need-packages.sh" debootstrap
mirror=$(sh "$here/tools/apt-mirror.sh") ||
    { echo "no Debian mirror in apt's sources (sources.list.d or sources.list): cannot make a $suite system" >&2; exit 1; }
mkdir -p "$cache/apt-$suite/partial"
root=$(mktemp -d /var/tmp/cragmoor-$suite.XXXXXX)
chmod 755 "$root"  # the test runs sway as an unprivileged user, who must reach /
mounted=""
cleanup() {
    for point in $mounted; do umount -l "$root/$point" || true; done
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Debian 12's debootstrap knows no script by testing's name: sid's fits every newer suite.
if [ ! -s "$cache/$suite.tar" ]; then
    script=/usr/share/debootstrap/scripts/$suite
    [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid
    debootstrap --variant=minbase "$suite" "$root" "$mirror" "$script" >"$root.log" 2>&1 ||
        { tail -n 20 "$root.log"; rm -f "$root.log"; exit 1; }
    rm -f "$root.log"
    tar -C "$root" -cf "$cache/$suite.tar.part" . && mv "$cache/$suite.tar.part" "$cache/$suite.tar"
else
    tar -C "$root" -xf "$cache/$suite.tar" && chmod 755 "$root"
fi

for point in proc sys dev dev/pts dev/shm var/cache/apt/archives; do
    case $point in
        var/*) mount --bind "$cache/apt-$suite" "$root/$point" ;;
        *) mount --bind "/$point" "$root/$point" ;;
    esac
    mounted="$point $mounted"
done
cp /etc/resolv.conf "$root/etc/resolv.conf"
# debootstrap writes no hosts file: without one, localhost (where chromedriver listens) is
# no name at all.
[ -e "$root/etc/hosts" ] || printf '127.0.0.1 localhost\n::1 localhost\n' >"$root/etc/hosts"
# The mirror may serve testing with a Release file past its date.
echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/90cragmoor"
mkdir -p "$root/build/cragmoor"
(cd "$here" && git ls-files -z | xargs -0 tar -cf -) | tar -C "$root/build/cragmoor" -xf -
# The releases' source archives sit beside the tree, as beside a fresh clone.
sources=${CRAGMOOR_SOURCES:-$here/../shared/sources}
if [ -d "$sources" ]; then mkdir -p "$root/build/shared" && cp -r "$sources" "$root/build/shared/sources"; fi
# The Windows and web releases are built and tested on the machine that makes them, not on
# every Debian release: the game they hold is the same.
echo "== $suite: ./check $*"
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    sh -c 'cd /build/cragmoor && ./check "$@"' check "$@"
