#!/usr/bin/env bash
# The main window under a window manager: always on top acts on the same window in place, a
# maximise is undone, and the icon name follows the caption.
exe=$1
. "$(dirname "$0")/lib.sh"

pages="$work/pages"
mkdir -p "$pages"
page "$pages/01.bmp" 500 400 red

state() { xprop -id "$WIN" _NET_WM_STATE; }
above() { state | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }
not_maximised() { ! state | grep -q MAXIMIZED; }
start_desktop wm
start_fovi
check "icon name is the caption" test "$(xprop -id "$WIN" _NET_WM_ICON_NAME)" = '_NET_WM_ICON_NAME(UTF8_STRING) = "Folivo"'

open_folder "$pages"

# Always on top: the same native window, in place, above state set and cleared.
read -r before < <(geometry "$WIN")
id=$WIN
for round in 1 2 3 4; do
    focus "$WIN"
    xdotool key alt+v
    sleep 0.2
    xdotool key f
    if [ $((round % 2)) = 1 ]; then
        check "toggle $round: above" poll 5 above
    else
        check "toggle $round: not above" poll 5 not_above
    fi
    find_main
    check "toggle $round: the same window" test "$WIN" = "$id"
    check "toggle $round: in place" test "$(geometry "$WIN")" = "$before"
done

# Maximising is undone.
wmctrl -i -r "$WIN" -b add,maximized_vert,maximized_horz
sleep 0.3
check "a maximise is undone" poll 5 not_maximised

check "icon name follows the caption" test "$(xprop -id "$WIN" _NET_WM_ICON_NAME)" = \
    "_NET_WM_ICON_NAME(UTF8_STRING) = \"Folivo - [$pages/]\""
finish
