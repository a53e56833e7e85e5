#!/bin/sh
# with_window_manager.sh COMMAND... -- runs COMMAND in an X server of its own, 1920 x 1200,
# with openbox managing its windows, as a desktop would.
exec xvfb-run -a -s '-screen 0 1920x1200x24' sh -c '
    openbox >/dev/null 2>&1 &
    for try in $(seq 400); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
    SDL_VIDEODRIVER=x11 "$@"; status=$?
    kill $!
    exit $status' sh "$@"
