#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds and runs every test: the normal
# build, the sanitizer build, the fuzzers for a bounded time and the end-to-end test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== formatting"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

echo "== build and test (dev)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== build and test (asan)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

if [[ -x scripts/fuzz.sh ]]; then
    echo "== fuzzing"
    scripts/fuzz.sh
fi
echo "== all tests passed"
