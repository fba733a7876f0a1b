#!/usr/bin/env bash
# Start-up time (process start -> main window mapped) and peak memory of the editor, with
# an empty document and with a 32 KB document, against a bare Qt main window holding an
# empty (or the same) plain-text editor. Runs on the X display in DISPLAY, or on a private
# Xvfb when there is none.
#   bench/startup.sh [BUILD_DIR] [RUNS]     (default build/bench, 15 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-15}
for f in kumorial bench/startup/startup_bare_window bench/startup/startup_launch; do
    [[ -x "$build/$f" ]] || { echo "missing $build/$f (configure with -DKUMORIAL_BENCH=ON and build)" >&2; exit 2; }
done

work=$(mktemp -d)
source tests/support/xvfb.sh
cleanup() {
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

if [[ -z "${DISPLAY:-}" ]]; then
    start_xvfb || exit 1
fi

# A private copy, so the editor starts with no settings file and writes none elsewhere.
cp "$build/kumorial" "$work/kumorial"
line='日本語のブログ記事を書くための試験用の行です。ABC abc 123'
printf '%s\r\n' "$line" | iconv -f UTF-8 -t CP932 >"$work/line932"
count=$((32768 / $(stat -c %s "$work/line932")))
for _ in $(seq "$count"); do cat "$work/line932"; done >"$work/doc932.txt"
iconv -f CP932 -t UTF-8 "$work/doc932.txt" >"$work/doc8.txt"

launch="$build/bench/startup/startup_launch"
bare="$build/bench/startup/startup_bare_window"
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
measure() { # program and arguments -> "median_ms peak_kib median_cpu_ms"
    local out
    out=$("$launch" "$runs" "$@")
    echo "$(cut -d' ' -f1 <<<"$out" | median) $(cut -d' ' -f2 <<<"$out" | sort -n | tail -1)" \
        "$(cut -d' ' -f3 <<<"$out" | median)"
}
export QT_QPA_PLATFORM=xcb
read -r be_ms be_kib be_cpu < <(measure "$bare")
read -r bd_ms bd_kib bd_cpu < <(measure "$bare" "$work/doc8.txt")
read -r ke_ms ke_kib ke_cpu < <(measure "$work/kumorial")
read -r kd_ms kd_kib kd_cpu < <(measure "$work/kumorial" "$work/doc932.txt")

printf '%-22s %10s %7s %9s %7s %10s %7s\n' "case (median of $runs)" "start ms" "ratio" "cpu ms" "ratio" "peak MiB" "ratio"
row() { awk -v n="$1" -v t="$2" -v k="$3" -v c="$4" -v bt="$5" -v bk="$6" -v bc="$7" 'BEGIN {
    printf "%-22s %10.1f %6.2fx %9.1f %6.2fx %10.1f %6.2fx\n", n, t, t / bt, c, c / bc, k / 1024, k / bk }'; }
row "bare window, empty" "$be_ms" "$be_kib" "$be_cpu" "$be_ms" "$be_kib" "$be_cpu"
row "kumorial, empty" "$ke_ms" "$ke_kib" "$ke_cpu" "$be_ms" "$be_kib" "$be_cpu"
row "bare window, 32 KB" "$bd_ms" "$bd_kib" "$bd_cpu" "$bd_ms" "$bd_kib" "$bd_cpu"
row "kumorial, 32 KB" "$kd_ms" "$kd_kib" "$kd_cpu" "$bd_ms" "$bd_kib" "$bd_cpu"
echo "document: $(stat -c %s "$work/doc932.txt") bytes of code page 932 text"
