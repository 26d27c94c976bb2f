#!/usr/bin/env bash
# Fails, naming the files, when a C++ source differs from .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format)
mapfile -t files < <(git ls-files '*.cpp' '*.h' ':!tests/data/**' ':!fuzz/corpus/**')
"$format" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files match .clang-format"
