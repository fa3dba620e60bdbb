#!/usr/bin/env bash
# Builds the benchmarks (the default preset, or the build directory given as the argument) and runs
# them all, then prints one table: each figure, its value, its goal and whether the goal is met. What
# the programs print besides goes to <build dir>/bench.log. Takes about ten minutes, most of it the
# soak of 1,000 runs. Exits non-zero when a program fails; a goal not met is only reported.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build/default}
programs=(bench_host bench_archive bench_fleet bench_guide bench_channel bench_soak)

if [ "$build_dir" = build/default ]; then
  scripts/setup.sh default >/dev/null
else
  cmake --build "$build_dir" --target "${programs[@]}" >/dev/null
fi

log="$build_dir/bench.log"
: >"$log"
figures=$(mktemp)
output=$(mktemp)
trap 'rm -f "$figures" "$output"' EXIT
export QT_QPA_PLATFORM=offscreen
for program in "${programs[@]}"; do
  echo "== $program" >>"$log"
  if ! "$build_dir/bin/$program" >"$output" 2>>"$log"; then
    cat "$output" >>"$log"
    echo "$program failed; see $log" >&2
    exit 1
  fi
  grep -v $'^figure\t' "$output" >>"$log" || true
  grep $'^figure\t' "$output" >>"$figures" || true
done

awk -F'\t' '
  { what[NR] = $2; value[NR] = $3; goal[NR] = $4; met[NR] = $5
    if (length($2) > w1) w1 = length($2); if (length($3) > w2) w2 = length($3); if (length($4) > w3) w3 = length($4) }
  END {
    if (w1 < 6) w1 = 6; if (w2 < 5) w2 = 5; if (w3 < 4) w3 = 4
    printf "%-*s  %-*s  %-*s  %s\n", w1, "figure", w2, "value", w3, "goal", "met"
    for (i = 1; i <= NR; i++) printf "%-*s  %-*s  %-*s  %s\n", w1, what[i], w2, value[i], w3, goal[i], met[i]
  }' "$figures"
