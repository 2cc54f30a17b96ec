#!/usr/bin/env bash
# Starts the real program in a virtual X server, waits for its window titled "Folivo" and
# checks that its client area is 370 pixels wide.
set -euo pipefail
exe="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy beside which fovi.ini may be written without touching the build folder's.
cp "$exe" "$work/fovi"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$1/fovi" & pid=$!
    for i in $(seq 1 100); do
        if info=$(xwininfo -name Folivo 2>/dev/null); then break; fi
        sleep 0.1
    done
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    [ -n "${info:-}" ] || { echo "no window titled Folivo"; exit 1; }
    width=$(echo "$info" | sed -n "s/.*Width: *//p")
    echo "window width: $width"
    [ "$width" = 370 ] || { echo "expected 370"; exit 1; }
' _ "$work"
