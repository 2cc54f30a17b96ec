# Shared by the desktop tests: a virtual X server of their own, a window manager on it when
# asked for, the real program in a folder of its own, and polls instead of fixed waits.
# Sourced by a test script, which names its checks with `check` and ends with `finish`.
set -euo pipefail
export LC_ALL=C.UTF-8
# The program must reach the X server whatever the environment says.
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY

work=$(mktemp -d)
pids=()
failures=0
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
check() {  # check "what" test-command...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
# expect WHAT EXPECTED command...: the command's output becomes EXPECTED within 5 seconds.
expect() {
    local what=$1 want=$2
    shift 2
    if poll 5 is "$want" "$@"; then echo "ok: $what"; else fail "$what: got '$("$@")', expected '$want'"; fi
}
finish() {
    [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
    echo "all checks passed"
}

# is EXPECTED command...: the command's output is EXPECTED (for poll, which must run the
# command each time rather than once).
is() { [ "$("${@:2}")" = "$1" ]; }

# poll SECONDS command...: runs the command every 50 ms until it succeeds.
poll() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while ! "$@" 2>/dev/null; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.05
    done
}

# start_desktop [wm]: an X server on a free display; with "wm", openbox runs on it.
start_desktop() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    poll 10 test -s "$work/display" || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
    if [ "${1:-}" = wm ]; then
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
        pids+=($!)
        poll 10 wm_running || { echo "openbox did not start"; cat "$work/openbox.log"; exit 1; }
    fi
}
wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

# start_fovi: runs a copy of the program from $work/app (where its fovi.ini goes) and sets
# WIN to its main window.
app_pid=""
start_fovi() {
    mkdir -p "$work/app"
    [ -x "$work/app/fovi" ] || cp "$exe" "$work/app/fovi"
    "$work/app/fovi" "$@" >>"$work/app/log" 2>&1 &
    app_pid=$!
    pids+=("$app_pid")
    WIN=""
    poll 15 find_main || { echo "no main window"; cat "$work/app/log"; exit 1; }
    poll 5 viewable "$WIN"
}
find_main() {
    local w
    WIN=""
    for w in $(xdotool search --all --pid "$app_pid" --name '^Folivo' 2>/dev/null); do
        if viewable "$w"; then WIN=$w; break; fi
    done
    [ -n "$WIN" ]
}
viewable() { xwininfo -id "$1" | grep -q 'IsViewable'; }
gone() { ! kill -0 "$1" 2>/dev/null; }
# stop_fovi: closes the main window with Alt+F4 and waits for the program to end.
stop_fovi() {
    focus "$WIN"
    xdotool key alt+F4
    poll 10 gone "$app_pid" || { fail "the program did not end"; kill "$app_pid"; }
    wait "$app_pid" 2>/dev/null || true
}

focus() {
    if wm_running; then xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    else xdotool windowfocus --sync "$1"; fi
}

# The other visible windows of the program (dialogs, message boxes), one id a line.
other_windows() {
    xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | grep -v "^$WIN\$" || true
}
# wait_dialog: sets DLG to the program's window that is not the main one.
wait_dialog() {
    DLG=""
    poll 10 find_dialog
}
find_dialog() {
    local w
    DLG=""
    # The newest one: a message box over the chooser is the one that takes the keys. Menus
    # and tool tips are no dialogs: the window manager leaves them alone.
    for w in $(other_windows); do
        if xwininfo -id "$w" | grep -q 'Override Redirect State: no' && viewable "$w"; then
            DLG=$w
        fi
    done
    [ -n "$DLG" ]
}
no_dialog() { ! find_dialog; }

# geometry ID: "x y width height" of a window's client area on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /^ *Width:/{w=$NF} /^ *Height:/{h=$NF} END{print x, y, w, h}'
}
# frame ID: "left right top bottom" of the window manager's frame, "0 0 0 0" without one.
frame() {
    local f
    f=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ',')
    echo "${f:-0 0 0 0}"
}
# pixel ID X Y: the colour at a point of a window's client area, as "#RRGGBB".
pixel() {
    import -window "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -n1
}
# ini KEY: the value of a key in the program's fovi.ini.
ini() { tr -d '\r' <"$work/app/fovi.ini" | sed -n "s/^$1=//p"; }

# page FILE WIDTH HEIGHT COLOUR: a bitmap of one colour.
page() { convert -size "$2x$3" "xc:$4" "BMP3:$1"; }

# menu KEY ITEM: opens a menu of the main window by its access key, waits for it to show,
# and chooses the item by its access key.
menu() {
    local try
    for try in 1 2 3; do
        focus "$WIN"
        xdotool key "alt+$1"
        if poll 3 popup_shown; then
            xdotool key "$2"
            return 0
        fi
        xdotool key Escape
    done
    fail "the menu alt+$1 did not open"
    return 1
}
popup_shown() { [ -n "$(other_windows)" ]; }

# open_folder DIR: chooses a folder with the file menu's command and the folder chooser,
# typing its path.
open_folder() {
    menu f f || return 1
    wait_dialog || { fail "no folder chooser"; return 1; }
    focus "$DLG"
    # A new dialog takes a moment to give its line the keys (longer on a loaded machine).
    sleep 0.5
    xdotool type --delay 10 "$1"
    xdotool key Return
    poll 10 no_dialog || { fail "the chooser stayed open"; return 1; }
}
# The colour of the page on show, taken well inside the page view.
shown() { pixel "$WIN" 150 200; }
