#!/usr/bin/env bash
# Sets up, builds, and runs the main job: against the device given as the first argument
# (e.g. /dev/ttyUSB0), or against the built-in simulator when none is given.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
bin=build/default/bin
if [ $# -gt 0 ]; then target=(--device "$1"); else target=(--simulate); fi
"$bin/korotka" "${target[@]}" send "[BP_SERIAL]"
"$bin/korotka" "${target[@]}" send "[BP_VERSION]"
