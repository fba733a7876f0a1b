#!/usr/bin/env bash
# Builds the optimised benchmarks (bench preset) and prints one table: the core
# operations (settings, markup, codec, search, Replace All) from the kumorial_bench
# executable, then the start-up time and peak memory from bench/startup.sh.
#   scripts/bench.sh                  everything
#   scripts/bench.sh 'Settings|Wrap'  only benchmarks matching the filter; no start-up runs
# Benchmarks report; they never fail on a figure.
set -euo pipefail
cd "$(dirname "$0")/.."
filter=${1:-}

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" >/dev/null

export QT_QPA_PLATFORM=offscreen
args=(--benchmark_format=csv)
[[ -n $filter ]] && args+=("--benchmark_filter=$filter")
csv=$(build/bench/bench/kumorial_bench "${args[@]}" 2>/dev/null)

printf '%-46s %14s %14s  %s\n' benchmark "wall time" "cpu time" "throughput / notes"
printf '%s\n' "$csv" | awk -F, '
    /^name,/ { header = 1; next }
    header && NF >= 5 {
        name = $1; gsub(/"/, "", name)
        note = ""
        if ($7 != "") note = sprintf("%.1f MB/s", $7 / 1e6)
        if ($8 != "") note = note (note ? ", " : "") sprintf("%.0f items/s", $8)
        printf "%-46s %11.3f %-2s %11.3f %-2s  %s\n", name, $3, $5, $4, $5, note
    }'

if [[ -z $filter && -x bench/startup.sh ]]; then
    echo
    bench/startup.sh build/bench
fi
