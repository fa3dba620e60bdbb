#!/usr/bin/env bash
# Builds the monkey if needed and plays more of its episodes than the suite does:
#   scripts/monkey.sh [EPISODES] [SEED] [JOBS]
# EPISODES defaults to 200, SEED to a random one (printed), JOBS to 1. An episode mostly waits
# for the simulator and the person's pauses, so JOBS processes play consecutive blocks of seeds
# side by side. An episode that breaks an invariant prints its seed and its actions;
# "build/default/bin/monkey --seed S --episodes 1 --trace 1" replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
episodes="${1:-200}"
seed="${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}"
jobs="${3:-1}"
[ -f build/default/build.ninja ] || nice -n 10 flock /tmp/orvex-build.lock cmake --preset default >/dev/null
nice -n 10 flock /tmp/orvex-build.lock cmake --build --preset default -j2 --target monkey
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder even when it draws off-screen.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
if [ "$jobs" -le 1 ]; then
    exec build/default/bin/monkey --episodes "$episodes" --seed "$seed"
fi
logs="$(mktemp -d)"
per=$(((episodes + jobs - 1) / jobs))
pids=()
for ((j = 0; j < jobs && j * per < episodes; j++)); do
    count=$((episodes - j * per < per ? episodes - j * per : per))
    build/default/bin/monkey --episodes "$count" --seed "$((seed + j * per))" >"$logs/$j.out" 2>"$logs/$j.err" &
    pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
grep -h -A30 '^VIOLATION' "$logs"/*.err | grep -v '^replay:' || true
grep -h '^monkey: .* episodes' "$logs"/*.out
# The totals of the blocks: episodes, the longest block's seconds, record checks.
grep -h '^monkey: .* episodes in' "$logs"/*.out |
    awk '{ e += $2; if ($5 > s) s = $5; r += $(NF - 2) } END { printf "monkey: %d episodes in %.1f s (%d jobs), %d record checks\n", e, s, '"$jobs"', r }'
echo "logs in $logs"
exit "$status"
