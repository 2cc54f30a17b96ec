#!/usr/bin/env bash
# Takes the README's picture of the viewer, docs/screenshot.png: the real program in a virtual
# X server with a window manager (so the window has its frame), showing page 1 of a
# picture-book folder drawn on the spot, the window fitted to the page.
# Needs, besides what scripts/setup.sh installs: openbox and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$PWD/docs/screenshot.png"
for tool in openbox convert import xdotool; do
    command -v "$tool" >/dev/null || { echo "screenshot.sh needs $tool"; exit 1; }
done
cmake -S . -B build >/dev/null
cmake --build build -j2 --target fovi >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work" /tmp/folivo-screenshot
}
trap cleanup EXIT

# Three pages of a picture book, named with leading zeros so that they sort as numbered, in a
# folder whose name reads well in the status bar.
book=/tmp/folivo-screenshot/ehon
rm -rf /tmp/folivo-screenshot
mkdir -p "$book"
font=$(fc-match -f '%{file}' 'IPAPGothic')
page() {  # page NUMBER SKY GROUND LINE1 LINE2
    convert -size 420x500 xc:'#fffdf6' \
        -fill "$2" -draw 'rectangle 30,30 390,300' \
        -fill '#ffd23c' -draw 'circle 320,90 320,125' \
        -fill "$3" -draw 'ellipse 140,300 110,60 180,360' -draw 'ellipse 320,300 70,40 180,360' \
        -fill '#d94f3d' -draw 'polygon 140,175 210,120 280,175' \
        -fill '#f3dfb1' -stroke '#333' -strokewidth 2 -draw 'rectangle 155,175 265,260' \
        -fill '#7a4a22' -draw 'rectangle 198,210 222,260' \
        -fill none -stroke '#333' -strokewidth 3 -draw 'rectangle 30,30 390,300' \
        -stroke none -fill '#222' -font "$font" -pointsize 22 \
        -annotate +40+350 "$4" -annotate +40+385 "$5" \
        -pointsize 16 -annotate +192+470 "- $1 -" \
        -quality 90 "$book/$1.jpg"
}
page 01 '#9fd4ff' '#57b05a' 'おかのうえに ちいさな いえが' 'ありました。'
page 02 '#ffc9a0' '#7ab648' 'ゆうがたに なると そらが' 'あかく なります。'
page 03 '#27336b' '#2f6b3a' 'よるには ほしが たくさん' 'みえました。'

# A copy of the program whose own folder holds its settings: page fitting on, nothing else
# of the user's.
mkdir -p "$work/app"
cp build/fovi "$work/app/"
cp -r build/help "$work/app/"
printf '[Config]\r\nAutoResize=1\r\n' >"$work/app/fovi.ini"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
"$work/app/fovi" "$book" 2>/dev/null &
pids+=($!)
window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --name '^Folivo - ' 2>/dev/null | head -n1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not show a page"; exit 1; }
sleep 1

# The window with the frame the window manager drew, and a little of the desktop around it.
info=$(xwininfo -id "$window")
X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info"); Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
WIDTH=$(sed -n 's/.*Width: *//p' <<<"$info"); HEIGHT=$(sed -n 's/.*Height: *//p' <<<"$info")
extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
read -r fl fr ft fb <<<"${extents:-0 0 0 0}"
margin=0
left=$((X - fl - margin)); top=$((Y - ft - margin))
width=$((WIDTH + fl + fr + 2 * margin)); height=$((HEIGHT + ft + fb + 2 * margin))
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out"
echo "wrote $out (${width}x${height})"
