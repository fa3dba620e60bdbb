#!/usr/bin/env bash
# Runs clang-tidy 14 (the checks in .clang-tidy) on the C++ sources changed since a commit (the
# argument; HEAD~1 when none is given), against the compile commands of a build folder ($BUILD,
# build/default). Fails when it finds anything. Whole-tree runs take many minutes on two cores;
# a change is what a reviewer reads.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh clang-tidy-14
base=${1:-HEAD~1}
# A clone without history has nothing to compare with.
git rev-parse -q --verify "$base^{commit}" >/dev/null || { echo "tidy: no commit $base to compare with"; exit 0; }
build=${BUILD:-build/default}
mapfile -t files < <(git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' | grep -v '^build/' || true)
[ ${#files[@]} -gt 0 ] || { echo "tidy: no C++ source changed since $base"; exit 0; }
# The compiler's precompiled headers are not clang's: the commands are read without them.
db=$(mktemp -d)
trap 'rm -rf "$db"' EXIT
sed -E 's/ -Winvalid-pch| -include [^ ]*cmake_pch[^ ]*//g' "$build/compile_commands.json" >"$db/compile_commands.json"
out=$(clang-tidy-14 -p "$db" --quiet "${files[@]}" 2>/dev/null || true)
if grep -qE '(warning|error):' <<<"$out"; then
  echo "$out"
  exit 1
fi
echo "tidy: ${#files[@]} changed source(s) clean"
