#!/usr/bin/env bash
# The outer rectangle is the framed one: the first start centres the window by its framed
# size, fovi.ini records the frame's corner and the framed size, and a recorded rectangle
# stays the same over several starts and closes. Without a window manager the frame is
# nothing and the same holds.
exe=$1
. "$(dirname "$0")/lib.sh"

mode=${WM:-wm}
start_desktop "$mode"
# outer: "left top width height" of the main window with its frame.
outer() {
    local x y w h l r t b
    read -r x y w h < <(geometry "$WIN")
    read -r l r t b < <(frame "$WIN")
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}
recorded() { echo "$(ini WndLeft) $(ini WndTop) $(ini WndWidth) $(ini WndHeight)"; }

start_fovi
read -r _ _ width height < <(outer)
left=$(((1280 - width) / 2)) top=$(((1024 - height) / 2))
expect "$mode: centred by the framed size" "$left $top $width $height" outer

# The options dialog: centred over the main window by both framed sizes, and of a fixed
# size that the window manager neither resizes nor maximises.
menu v o
if wait_dialog; then
    main_win=$WIN
    WIN=$DLG
    read -r dl dt dw dh < <(outer)
    WIN=$main_win
    check "$mode: the options dialog is centred over the main window" \
        test "$dl $dt" = "$((left + (width - dw) / 2)) $((top + (height - dh) / 2))"
    if [ "$mode" = wm ]; then
        actions=$(xprop -id "$DLG" _NET_WM_ALLOWED_ACTIONS)
        check "$mode: the options dialog can be neither resized nor maximised" \
            eval '! grep -q -E "ACTION_RESIZE|ACTION_MAXIMIZE" <<<"$actions"'
    fi
    # Its Cancel button is no cancel button: the system's close key closes it.
    focus "$DLG"
    xdotool key alt+F4
    poll 5 no_dialog || fail "$mode: the options dialog stayed open"
else
    fail "$mode: no options dialog"
fi
stop_fovi
expect "$mode: fovi.ini holds the framed rectangle" "$left $top $width $height" recorded

# Restored at a rectangle of its own: the same over three rounds.
sed -i 's/^WndLeft=.*/WndLeft=100\r/; s/^WndTop=.*/WndTop=80\r/; s/^WndPosCng=.*/WndPosCng=1\r/' "$work/app/fovi.ini"
for round in 1 2 3; do
    start_fovi
    expect "$mode: round $round: placed at the recorded rectangle" "100 80 $width $height" outer
    stop_fovi
    expect "$mode: round $round: the same rectangle recorded" "100 80 $width $height" recorded
done
finish
