#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset: clang, ASan, UBSan) and runs each one for a
# bounded time from its seed corpus in fuzz/corpus/<name>/. Fails on any finding and
# prints executions per second and total executions of each target.
#   scripts/fuzz.sh                 every target, FUZZ_SECONDS (default 20) each
#   scripts/fuzz.sh settings        one target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for exe in build/fuzz/fuzz/fuzz_*; do
        [[ -f $exe && -x $exe ]] && targets+=("${exe##*/fuzz_}")
    done
fi

status=0
printf '%-12s %10s %12s %8s\n' target exec/s executions result
for name in "${targets[@]}"; do
    exe=build/fuzz/fuzz/fuzz_$name
    corpus=$work/$name
    mkdir -p "$corpus" "$work/artifacts-$name"
    [[ -d fuzz/corpus/$name ]] && cp fuzz/corpus/$name/* "$corpus"/ 2>/dev/null || true
    log=$work/$name.log
    result=ok
    # The working corpus is a scratch copy: the seeds in the repository stay small.
    if ! (cd "$work" && "$OLDPWD/$exe" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
            -rss_limit_mb=2048 -artifact_prefix="$work/artifacts-$name/" "$corpus") >"$log" 2>&1; then
        result=FAILED
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    printf '%-12s %10s %12s %8s\n' "$name" "${rate:-?}" "${runs:-?}" "$result"
    if [[ $result != ok ]]; then
        grep -v '^#' "$log" | tail -40
        for a in "$work/artifacts-$name"/*; do
            [[ -e $a ]] || continue
            mkdir -p build/fuzz/findings && cp "$a" build/fuzz/findings/
            echo "finding kept in build/fuzz/findings/${a##*/}"
        done
    fi
done
exit $status
