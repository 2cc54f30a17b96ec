#!/usr/bin/env bash
# Starts the real program in a virtual X server, waits for its window titled "Folivo" and
# checks that its client area is 370 pixels wide.
set -euo pipefail
exe="$1"
work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# A copy beside which fovi.ini may be written without touching the build folder's.
cp "$exe" "$work/fovi"

# The server picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# The program must reach that server whatever platform the environment names.
export QT_QPA_PLATFORM=xcb

"$work/fovi" &
app=$!
info=""
for _ in $(seq 1 150); do
    if info=$(xwininfo -name Folivo 2>/dev/null); then break; fi
    info=""
    sleep 0.1
done
[ -n "$info" ] || { echo "no window titled Folivo"; exit 1; }
width=$(echo "$info" | sed -n "s/.*Width: *//p")
echo "window width: $width"
[ "$width" = 370 ] || { echo "expected 370"; exit 1; }
