#!/bin/sh
# test-web.sh -- builds the web release (SDL2 and libtcod from the cache) and plays it in
# headless Chromium: the end-to-end table's games in the page, tests/e2e/page.py.
set -eu
cd "$(dirname "$0")/.."
sh tools/need-packages.sh chromium chromium-driver python3-selenium python3-numpy python3-pil imagemagick
mkdir -p build
sh tools/release-web.sh > build/release-web.log 2>&1 || { cat build/release-web.log; exit 1; }
# Debian's Python, where its selenium, numpy and Pillow are.
cd tests/e2e && /usr/bin/python3 page.py ../../out/web
