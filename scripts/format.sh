#!/usr/bin/env bash
# Formats every C++ file of the repository in place with the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z --cached --others --exclude-standard '*.cpp' '*.h' | xargs -0 clang-format -i
