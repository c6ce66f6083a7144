#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it (.clang-format).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "Formatting differs: run clang-format -i on the files above." >&2
    exit 1
fi
echo "Formatting: fine (${#files[@]} files)."
