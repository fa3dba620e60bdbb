#!/usr/bin/env bash
# Sets up, builds, and runs the main job: against the device given as the first argument
# (e.g. /dev/ttyUSB0), or against the built-in simulator when none is given.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
bin=build/default/bin
# A real pump needs longer than the simulator to reach the pressure: allow a minute of polls.
if [ $# -gt 0 ]; then target=(--device "$1"); polls=(--polls 60); else target=(--simulate); polls=(); fi
"$bin/korotka" "${target[@]}" identify
# A static pressure test: pump to 250 mmHg on the external cuff and read the gauge in mmHg.
"$bin/korotka" "${target[@]}" test 300 250 0 False 0 False "${polls[@]}"
