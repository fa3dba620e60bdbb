#!/usr/bin/env bash
# Builds the monkey if needed and plays more of its episodes than the suite does:
#   scripts/monkey.sh [EPISODES] [SEED]
# EPISODES defaults to 200, SEED to a random one (printed). An episode that breaks an invariant
# prints its seed and its actions; "build/default/bin/monkey --seed S --episodes 1" replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
episodes="${1:-200}"
seed="${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}"
[ -f build/default/build.ninja ] || nice -n 10 flock /tmp/korotka-build.lock cmake --preset default >/dev/null
nice -n 10 flock /tmp/korotka-build.lock cmake --build --preset default -j2 --target monkey
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder even when it draws off-screen.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
exec build/default/bin/monkey --episodes "$episodes" --seed "$seed"
