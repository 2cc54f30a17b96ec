#!/usr/bin/env bash
# One key press turns one page, also when the page it turns to is a damaged bitmap whose
# error box is closed with Return, Escape or a click on its button.
exe=$1
. "$(dirname "$0")/lib.sh"

pages="$work/pages"
mkdir -p "$pages"
page "$pages/01.bmp" 500 400 red
printf 'BM this is not a bitmap' >"$pages/02.bmp"
page "$pages/03.bmp" 500 400 lime
red="#FF0000" green="#00FF00"

# close_box HOW: closes the error box with Return, Escape or a click on its button.
close_box() {
    if [ "$1" = click ]; then
        # The box's only button sits at its bottom right.
        read -r x y w h < <(geometry "$DLG")
        xdotool mousemove $((x + w - 50)) $((y + h - 25)) click 1
    else
        focus "$DLG"
        xdotool key "$1"
    fi
    poll 5 no_dialog
}

# turn KEY HOW: presses the key, which turns to the damaged page, and closes its box.
turn() {
    focus "$WIN"
    xdotool key "$1"
    wait_dialog || { fail "$mode: no error box after $1"; return 1; }
    close_box "$2" || { fail "$mode: the box stayed open ($2)"; return 1; }
    # Time for a wrongly repeated key to act.
    sleep 0.3
}

mode=${WM:-wm}
start_desktop "$mode"
start_fovi
for how in Return Escape click; do
    open_folder "$pages"
    poll 5 is "$red" shown || fail "$mode: page 1 not shown"
    turn Right "$how" || continue
    check "$mode: Right, box closed with $how: the previous picture stays" test "$(shown)" = "$red"
    # The damaged page was page 2: the next key shows page 3.
    focus "$WIN"
    xdotool key Right
    check "$mode: the next Right shows page 3" poll 5 is "$green" shown
done
turn Left Return && check "$mode: Left, box closed with Return: the previous picture stays" test "$(shown)" = "$green"
finish
