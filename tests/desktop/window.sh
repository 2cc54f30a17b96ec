#!/usr/bin/env bash
# The main window under a window manager: an edge dragged by the user reaches the program,
# always on top acts on the same window in place, a maximise is undone, and the icon name
# follows the caption.
exe=$1
. "$(dirname "$0")/lib.sh"

pages="$work/pages"
mkdir -p "$pages"
page "$pages/01.bmp" 500 400 red

state() { xprop -id "$WIN" _NET_WM_STATE; }
above() { state | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }
not_maximised() { ! state | grep -q MAXIMIZED; }
width() { geometry "$WIN" | cut -d' ' -f3; }
# drag DX...: presses on the right edge of the frame, moves by each DX in turn with a pause
# between, and lets go.
drag() {
    local x y w h l r t b
    read -r x y w h < <(geometry "$WIN")
    read -r l r t b < <(frame "$WIN")
    local px=$((x + w + r / 2)) py=$((y + h / 2))
    xdotool mousemove "$px" "$py" mousedown 1
    for dx in "$@"; do
        px=$((px + dx))
        xdotool sleep 0.1 mousemove "$px" "$py"
    done
    xdotool sleep 0.1 mouseup 1
}

start_desktop wm
start_fovi
check "icon name is the caption" test "$(xprop -id "$WIN" _NET_WM_ICON_NAME)" = '_NET_WM_ICON_NAME(UTF8_STRING) = "Folivo"'

# A narrow sheet: the client width snaps back to 370 however the edge is dragged, and the
# window stays where it was.
read -r x0 y0 w0 h0 < <(geometry "$WIN")
drag 50 100
check "a drag wider snaps back to 370" poll 5 is 370 width
check "the drag leaves the window in place" test "$(geometry "$WIN")" = "$x0 $y0 370 $h0"
check "the layout follows: the status bar reaches the right edge" \
    test "$(pixel "$WIN" $((370 - 30)) $((h0 - 8)))" != "#000000"

# A page 500 wide: any width from 370 up is the user's to choose.
open_folder "$pages"
drag 50 80
check "a drag wider on a wide page is kept" poll 5 is 500 width
drag -100 -100
check "a drag narrower than 370 snaps back to 370" poll 5 is 370 width

# Always on top: the same native window, in place, above state set and cleared.
read -r before < <(geometry "$WIN")
id=$WIN
for round in 1 2 3 4; do
    menu v f
    if [ $((round % 2)) = 1 ]; then
        check "toggle $round: above" poll 5 above
    else
        check "toggle $round: not above" poll 5 not_above
    fi
    find_main
    check "toggle $round: the same window" test "$WIN" = "$id"
    check "toggle $round: in place" test "$(geometry "$WIN")" = "$before"
done

# Maximising is undone, back to the rectangle before.
wmctrl -i -r "$WIN" -b add,maximized_vert,maximized_horz
sleep 0.3
check "a maximise is undone" poll 5 not_maximised
check "the window is back at its rectangle" poll 5 is "$before" geometry "$WIN"

check "icon name follows the caption" test "$(xprop -id "$WIN" _NET_WM_ICON_NAME)" = \
    "_NET_WM_ICON_NAME(UTF8_STRING) = \"Folivo - [$pages/]\""
finish
