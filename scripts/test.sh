#!/usr/bin/env bash
# Builds everything into build/ (or, with FOVI_SANITIZE=1, into build-asan/ with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${FOVI_SANITIZE:-0}" = 1 ]; then
    dir=build-asan
    flags+=(-DFOVI_SANITIZE=ON)
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
