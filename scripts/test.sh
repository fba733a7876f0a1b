#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then runs the CMake workflows that
# configure, build and test the normal build and the sanitizer build (end-to-end and
# package tests included), and the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --test
export QT_QPA_PLATFORM=offscreen
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}

echo "== formatting"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

# CMake gives a workflow one configure preset, so each build has its own.
echo "== build and test (dev)"
cmake --workflow --preset ci
echo "== build and test (asan)"
cmake --workflow --preset ci-asan

echo "== fuzzing"
scripts/fuzz.sh
echo "== all tests passed"
