#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format 14 makes of it with the repository's
# .clang-format; `scripts/check-format.sh --fix` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh clang-format-14
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format-14 -i "${files[@]}"
else
  clang-format-14 --dry-run --Werror "${files[@]}"
fi
