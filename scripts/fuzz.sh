#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) into
# build-fuzz/ (or $FOVI_FUZZ_DIR) and runs each for SECONDS, one after the other, starting from the seeds in
# ../shared/corpus and the generated ones. Fails when a target finds a crash; the input is
# then in build-fuzz/findings/ ($FOVI_FUZZ_DIR/findings/).
#   scripts/fuzz.sh SECONDS [TARGET...]      TARGET: bmp, page, settings (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [bmp|page|settings ...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(bmp page settings)

scripts/setup.sh
# libFuzzer comes with Debian's clang (in its compiler runtime package).
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang
fi

dir=${FOVI_FUZZ_DIR:-build-fuzz}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOVI_FUZZ=ON -DFOVI_TESTS=OFF \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j"$(nproc)" --target make_seeds "${targets[@]/%/_fuzz}"

# Seeds: the shared corpus's small pictures and the generated files. The working corpus of
# each target grows in $dir/corpus/TARGET and is kept between runs.
corpus=../shared/corpus
rm -rf "$dir/seeds"
"$dir/fuzz/make_seeds" "$dir/seeds"
if [ -d "$corpus" ]; then
    find "$corpus" -type f -size -64k -iname '*.bmp' -exec cp {} "$dir/seeds/bmp/" \;
    find "$corpus" -type f -size -64k \( -iname '*.bmp' -o -iname '*.jpg' -o -iname '*.jpeg' \) \
        -exec cp {} "$dir/seeds/page/" \;
fi

mkdir -p "$dir/findings"
status=0
for t in "${targets[@]}"; do
    mkdir -p "$dir/corpus/$t"
    echo "== $t: ${seconds} s"
    # Large pictures within the cap need their memory; the 2 GB default would call them leaks.
    if ! "$dir/fuzz/${t}_fuzz" "$dir/corpus/$t" "$dir/seeds/$t" -max_total_time="$seconds" \
            -rss_limit_mb=4096 -timeout=60 -max_len=65536 -print_final_stats=1 \
            -artifact_prefix="$dir/findings/$t-" 2>"$dir/$t.log"; then
        status=1
        tail -n 60 "$dir/$t.log"
    else
        grep -E "^(stat::|Done)|DONE|cov:" "$dir/$t.log" | tail -n 8
    fi
done
exit $status
