#!/usr/bin/env bash
# A path typed into the folder chooser followed by Return opens exactly that folder, also a
# folder made a moment before beside one whose name starts the same; a path that is no
# folder opens nothing.
exe=$1
. "$(dirname "$0")/lib.sh"

pages="$work/pages"
mkdir -p "$pages/E"
page "$pages/E/01.bmp" 500 400 red
colours=(lime blue yellow)
hex=("#00FF00" "#0000FF" "#FFFF00")

mode=${WM:-wm}
start_desktop "$mode"
start_fovi
open_folder "$pages/E"
check "$mode: E opened" poll 5 is "#FF0000" shown
for n in 2 3 4; do
    # Made while the chooser's list has seen E but not the new folder.
    mkdir "$pages/E$n"
    page "$pages/E$n/01.bmp" 500 400 "${colours[$((n - 2))]}"
    open_folder "$pages/E$n"
    check "$mode: E$n opened" poll 5 is "${hex[$((n - 2))]}" shown
done

# A path that is no folder: nothing opens; the chooser stays (or says so) until cancelled.
menu f f
wait_dialog
focus "$DLG"
xdotool type --delay 10 "$pages/none"
xdotool key Return
sleep 0.5
check "$mode: a path that is no folder keeps the chooser" find_dialog
for _ in 1 2 3; do
    find_dialog || break
    focus "$DLG"
    xdotool key Escape
    poll 2 no_dialog || true
done
check "$mode: nothing else opened" is "${hex[2]}" shown
finish
