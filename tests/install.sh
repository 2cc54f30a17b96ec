#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as a desktop would: the desktop entry
# and the metadata validate; the program, started by the entry's command line with a folder,
# shows that folder's page 1, opens its installed help page, and, with its bin/ folder
# read-only, keeps its settings in the user's settings folder across two starts.
#   install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake_cmd="$1"
build="$2"
work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix="$work/prefix"
"$cmake_cmd" --install "$build" --prefix "$prefix" >/dev/null
id=org.example.folivo
for f in bin/fovi share/folivo/help/index.html share/applications/$id.desktop \
         share/icons/hicolor/32x32/apps/$id.png share/metainfo/$id.metainfo.xml; do
    [ -f "$prefix/$f" ] || fail "$f not installed"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 \
    || { cat "$work/as.log"; fail "metadata"; }

# Pages with leading zeros, and a folder argument as a file manager hands it over.
pages="$work/my pages"
mkdir -p "$pages"
bmp() {  # a w x h 24-bit bitmap of one grey
    local w=$1 h=$2 row=$(( ($1 * 3 + 3) / 4 * 4 ))
    local size=$(( 54 + row * h ))
    le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
    { printf 'BM'; le32 $size; le32 0; le32 54; le32 40; le32 "$w"; le32 "$h"
      printf '\x01\x00\x18\x00'; le32 0; le32 $(( row * h )); le32 2835; le32 2835; le32 0; le32 0
      head -c $(( row * h )) /dev/zero | tr '\0' '\200'; }
}
bmp 400 300 >"$pages/01.bmp"
bmp 420 300 >"$pages/02.bmp"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$work/display")"

# The desktop's view of the user: its own settings folder, and a browser that only notes
# what it was asked to open.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$work/tools"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$work/opened" >"$work/tools/xdg-open"
chmod +x "$work/tools/xdg-open"
export PATH="$prefix/bin:$work/tools:$PATH"
# In a sanitizer build the leak checker looks at the program's exit; what the font and
# message-bus libraries keep until then is theirs, not a leak of ours.
printf 'leak:libfontconfig.so\nleak:libdbus-1.so\n' >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
chmod a-w "$prefix/bin"

exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
[ "$exec_line" = "fovi %F" ] || fail "unexpected Exec line: $exec_line"

window=""
start() {  # starts the program as the entry's command line does, waits for page 1
    (cd "$work" && exec fovi "$pages") &
    app=$!
    for _ in $(seq 1 300); do
        window=$(xdotool search --name "^Folivo - \\[$pages/\\]\$" 2>/dev/null | head -n1) && [ -n "$window" ] && return 0
        sleep 0.1
    done
    xwininfo -root -tree | grep -i folivo || true
    fail "no window showing a page of $pages"
}
menu() {  # opens a menu by its access key and picks an item by its own
    xdotool windowfocus --sync "$window" key --delay 100 "alt+$1" "$2"
}
close() {
    menu f x
    for _ in $(seq 1 200); do
        kill -0 "$app" 2>/dev/null || { wait "$app" || fail "the program ended with an error"; app=""; return 0; }
        sleep 0.1
    done
    fail "the program did not close"
}

start
menu h c
for _ in $(seq 1 100); do [ -s "$work/opened" ] && break; sleep 0.1; done
grep -qx "file://$prefix/share/folivo/help/index.html" "$work/opened" \
    || fail "help page: $(cat "$work/opened" 2>/dev/null)"
# Hide the tool bar (View menu, first item), a setting that must outlive the program.
menu v t
close
ini="$XDG_CONFIG_HOME/folivo/fovi.ini"
[ -f "$ini" ] || fail "no settings at $ini"
[ ! -e "$prefix/bin/fovi.ini" ] || fail "settings written beside the program"
grep -q '^ToolBar=0' "$ini" || fail "tool bar setting not saved: $(cat "$ini")"

# The second start reads them: closing again writes back what it read.
start
close
grep -q '^ToolBar=0' "$ini" || fail "tool bar setting not read back: $(cat "$ini")"
echo "installed program: page 1 shown, help page found, settings kept in $ini"
