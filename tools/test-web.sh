#!/bin/sh
# test-web.sh -- builds the web release (SDL2 and libtcod from the cache) and plays it in
# headless Chromium: the end-to-end table's games in the page, tests/e2e/page.py.
set -eu
cd "$(dirname "$0")/.."
sh tools/need-packages.sh chromium chromium-driver python3-selenium python3-numpy python3-pil imagemagick
sh tools/release-web.sh >/dev/null
# Debian's Python, where its selenium, numpy and Pillow are.
cd tests/e2e && /usr/bin/python3 page.py ../../out/web
