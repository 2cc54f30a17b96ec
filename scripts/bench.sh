#!/usr/bin/env bash
# Builds every benchmark into build/ and runs them one after another, each figure with its
# target beside it in [brackets]. The start-up benchmark runs in a virtual X server of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(fovi startup_bench minimal_qt_window)
for src in bench/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build build -j"$(nproc)" --target "${targets[@]}" >/dev/null

# Marks each figure of a benchmark's output with its target.
targets_of() {
    perl -pe '
        s/(cold ratio [0-9.]+)/$1 [target <= 1.15]/g;
        s/(prepared ratio [0-9.]+)/$1 [target <= 0.2]/g;
        s/(?<!cold)(?<!prepared)( ratio [0-9.]+)(?![0-9.])/$1 [target <= '"$1"']/g;
        s/(growth -?[0-9]+ KB)/$1 [target: no growth]/;
        s/(preparation on:.*resident memory [0-9.]+ MB)/$1 [target <= 145 MB]/;'
}

echo "== page turn: build/bench/showpage_bench"
build/bench/showpage_bench | targets_of 2.3
echo
echo "== folder open, 10,000 files: build/bench/openfolder_bench"
build/bench/openfolder_bench | targets_of 3
echo
echo "== resident memory over page turns: build/bench/memory_bench"
build/bench/memory_bench | targets_of -
echo
echo "== start-up to a painted window under Xvfb: build/bench/startup_bench"
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
mkdir -m 700 "$work/runtime"
DISPLAY=":$(head -n1 "$work/display")" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    build/bench/startup_bench build/fovi build/bench/minimal_qt_window | targets_of 1.5
echo
echo "== the decoder's own paths (no target): build/bench/jpeg_decode_bench"
build/bench/jpeg_decode_bench
