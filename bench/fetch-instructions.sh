#!/bin/sh
# The fetch benchmark's ways of reading a result, counted in instructions under callgrind:
# steady whatever else the machine runs, where processor time on a shared machine moves by a
# tenth from one run to the next. It counts what runs, not what it costs: a lock or a cache miss
# weighs as one instruction, so the timed pairs of fetch_bench stay the measure of the target.
#
#   bench/fetch-instructions.sh [build/bench/fetch_bench]     (TESSORY_BENCH_ROWS, default 100000)
set -eu
bench=${1:-build/bench/fetch_bench}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
TESSORY_BENCH_ROWS=${TESSORY_BENCH_ROWS:-100000} \
    valgrind --tool=callgrind --callgrind-out-file="$out/dump" "$bench" >/dev/null 2>&1
bare=
for dump in $(ls "$out"/dump.* | sort -t. -k2 -n); do
    name=$(sed -n 's/^desc: Trigger: Client Request: //p' "$dump")
    [ -n "$name" ] || continue
    total=$(sed -n 's/^summary: //p' "$dump")
    case $name in *"(a) bare"*) bare=$total ;; esac
    awk -v name="$name" -v total="$total" -v bare="$bare" \
        'BEGIN { printf "%-40s %14d instructions, ratio to (a) %.3f\n", name, total, total / bare }'
done
