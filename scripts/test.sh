#!/usr/bin/env bash
# Builds everything into build/ and runs every test; then builds the headless test programs
# with ThreadSanitizer into build-tsan/ and runs them again, since page turns decode on worker
# threads (FOVI_TSAN=0 skips that part). With FOVI_SANITIZE=1 it builds into build-asan/ with
# AddressSanitizer and UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
tsan="${FOVI_TSAN:-1}"
if [ "${FOVI_SANITIZE:-0}" = 1 ]; then
    dir=build-asan
    flags+=(-DFOVI_SANITIZE=ON)
    tsan=0
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"

if [ "$tsan" = 1 ]; then
    # The test programs that run the main window, whose page turns start the decode threads;
    # the others never have a second thread. The tests on real Qt widgets stay out: Qt itself
    # is not instrumented, and its own threads would be reported falsely (the program's
    # threads never meet Qt).
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOVI_TSAN=ON >/dev/null
    targets=()
    for t in $(grep -l '"viewer.h"' tests/*_test.cpp); do targets+=("$(basename "$t" .cpp)"); done
    cmake --build build-tsan -j"$(nproc)" --target "${targets[@]}"
    # setarch -R: ThreadSanitizer cannot map its shadow memory under the widest address
    # randomisation some kernels use.
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" setarch "$(uname -m)" -R \
        ctest --test-dir build-tsan --output-on-failure -j"$(nproc)" -R "^($(IFS='|'; echo "${targets[*]}"))\$"
fi

# A short run of each fuzz target as a smoke test (the plain run only: the fuzz build has
# sanitizers of its own). FOVI_FUZZ_SECONDS=0 leaves it out.
if [ "${FOVI_SANITIZE:-0}" != 1 ] && [ "${FOVI_FUZZ_SECONDS:-20}" != 0 ]; then
    scripts/fuzz.sh "${FOVI_FUZZ_SECONDS:-20}"
fi
