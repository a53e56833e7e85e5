#!/bin/sh
# need-packages.sh -- installs the Debian packages named as arguments that are missing.
# Sourced by ./play and ./check, so that a fresh Debian 12 machine needs nothing by hand.
missing=""
for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing="$missing $package"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing ||
        { echo "could not install:$missing" >&2; exit 1; }
fi
