#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in a folder of their own and runs each for a bounded
# time on its seed corpus (fuzz/corpus/<target>). Inputs found on the way are kept in the build
# folder, not in the repository. Exits non-zero when a target crashes, trips a sanitizer or a
# check, runs out of memory or takes longer than a second on one input, and prints the path of
# the input that does it.
# Usage: scripts/fuzz.sh [build folder] [target...]   (default: build-fuzz, every target)
# Environment: TESSORY_FUZZ_SECONDS (default 30) per target, TESSORY_JOBS (default 2).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build-fuzz}")"
shift || true
seconds="${TESSORY_FUZZ_SECONDS:-30}"
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    targets=(fuzz_color fuzz_color_lines fuzz_arrange fuzz_batches fuzz_csv_line fuzz_rich_text
             fuzz_sql_file)
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" \
    -DTESSORY_CORE_ONLY=ON -DTESSORY_BUILD_FUZZ=ON \
    -DTESSORY_BUILD_TESTS=OFF -DTESSORY_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${TESSORY_JOBS:-2}" --target "${targets[@]}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=()
for target in "${targets[@]}"; do
    corpus="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts/$target"
    log="$build/fuzz-logs/$target.log"
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    options=(-max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$artifacts/")
    dict="$root/fuzz/dict/$target.dict"
    [[ -f "$dict" ]] && options+=(-dict="$dict")
    echo "== $target: ${seconds} s"
    start=$SECONDS
    # New inputs go to the first folder (the build's); the repository's seeds are only read.
    if "$build/fuzz/$target" "${options[@]}" "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" | tr '\n' ' '
        echo "($((SECONDS - start)) s)"
    else
        tail -n 60 "$log"
        echo "$target FAILED after $((SECONDS - start)) s; full log: $log"
        for input in "$artifacts"/*; do
            [[ -e "$input" ]] && echo "reproducer: $input  (rerun: $build/fuzz/$target $input)"
        done
        failed+=("$target")
    fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing passed: ${targets[*]}"
