#!/bin/sh
# test-package.sh BUILD_DIR -- builds the .deb, installs it with dpkg, starts the installed
# cragmoor headless from a foreign folder, stops it with SIGTERM and removes the package.
# Installing needs root: without it the test reports itself skipped (status 77).
set -u
build=$(cd "$1" && pwd)
marker=/var/tmp/cragmoor-package-test.installed

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# dpkg gives up at once when apt or another dpkg holds its lock; wait for it a while.
run_dpkg() {
    tries=0
    until dpkg "$@" >"$work/dpkg.log" 2>&1; do
        grep -q "lock" "$work/dpkg.log" && [ "$tries" -lt 120 ] || { cat "$work/dpkg.log"; return 1; }
        tries=$((tries + 1))
        sleep 1
    done
}

package_status() {
    dpkg-query -W -f='${db:Status-Status}' cragmoor 2>/dev/null || echo not-installed
}

cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    if [ "$installed" = yes ]; then
        run_dpkg --purge cragmoor || echo "could not remove the cragmoor package" >&2
        rm -f "$marker"
    fi
    rm -rf "$work"
}

[ "$(id -u)" -eq 0 ] || { echo "skipped: installing a package needs root"; exit 77; }
for tool in cpack dpkg dpkg-deb dpkg-shlibdeps file flock; do
    command -v "$tool" >/dev/null || fail "$tool is missing (packages dpkg-dev, file, util-linux)"
done

# Two runs at once would install and remove the same package under each other.
exec 9>/var/lock/cragmoor-package-test.lock
flock -w 600 9 || fail "another package test kept the lock for ten minutes"

work=$(mktemp -d)
game_pid=""
installed=no
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

status=$(package_status)
case "$status" in
not-installed | config-files) ;;
*)
    [ -f "$marker" ] || fail "a cragmoor package is already installed here ($status);" \
        "remove it with 'dpkg -r cragmoor' before running this test"
    echo "removing the package an interrupted run of this test left installed"
    run_dpkg --purge cragmoor || fail "could not remove the left-over package"
    rm -f "$marker"
    ;;
esac
for path in /usr/games/cragmoor /usr/lib/games/cragmoor /usr/share/games/cragmoor; do
    [ -e "$path" ] && fail "$path exists but belongs to no package; remove it by hand first"
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
set -- "$work"/cpack/cragmoor_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single cragmoor_*.deb: $*"
deb=$1
dpkg -I "$deb"

section=$(dpkg-deb -f "$deb" Section)
[ "$section" = games ] || fail "Section is '$section', not games"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libtcod1 libsdl2-2.0-0; do
    # dpkg-shlibdeps writes each library with the lowest version the binary needs.
    echo "$depends" | grep -Eq "(^|, )$library \(>= [^)]+\)" ||
        fail "Depends has no versioned $library from dpkg-shlibdeps: $depends"
done

touch "$marker"
installed=yes
run_dpkg -i "$deb" || fail "dpkg could not install $deb"
[ "$(package_status)" = installed ] || fail "dpkg reports cragmoor as $(package_status)"

mkdir "$work/elsewhere"
cd "$work/elsewhere"
PATH=/usr/games:$PATH SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    cragmoor --an-argument-it-ignores >"$work/game.log" 2>&1 9>&- &
game_pid=$!
sleep 1
# An ended child stays a zombie until waited for, and kill -0 still reaches a zombie.
if ! kill -0 "$game_pid" 2>/dev/null || ps -o stat= -p "$game_pid" | grep -q Z; then
    wait "$game_pid"
    code=$?
    game_pid=""
    cat "$work/game.log" && echo
    fail "the installed game ended within a second (status $code) instead of waiting on its title screen"
fi
[ "$(readlink "/proc/$game_pid/exe")" = /usr/lib/games/cragmoor/cragmoor ] ||
    fail "the game runs as $(readlink "/proc/$game_pid/exe"), not /usr/lib/games/cragmoor/cragmoor"
[ "$(readlink "/proc/$game_pid/cwd")" = /usr/share/games/cragmoor ] ||
    fail "the game runs in $(readlink "/proc/$game_pid/cwd"), not its data folder"

kill -TERM "$game_pid"
(sleep 3 && kill -KILL "$game_pid") >/dev/null 2>&1 9>&- &
watchdog=$!
wait "$game_pid"
code=$?
game_pid=""
kill "$watchdog" 2>/dev/null
[ "$code" -eq 0 ] || { cat "$work/game.log" && echo; fail "status $code after SIGTERM, not 0 (137: still running after 3 s)"; }

cd /
run_dpkg -r cragmoor || fail "dpkg could not remove cragmoor"
installed=no
rm -f "$marker"
[ "$(package_status)" = not-installed ] || fail "after removal dpkg reports cragmoor as $(package_status)"
for path in /usr/games/cragmoor /usr/lib/games/cragmoor /usr/share/games/cragmoor; do
    [ -e "$path" ] && fail "$path is still there after removal"
done
echo "installed, ran from $work/elsewhere, stopped with status 0 and removed again"
