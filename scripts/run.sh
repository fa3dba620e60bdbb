#!/usr/bin/env bash
# Sets up, builds, and runs the main job: a static pressure sequence performed by orvex. Without an
# argument a scripted technician runs it headless against the built-in simulator; given a device
# path (e.g. /dev/ttyUSB0) a person runs it in the test guide window against the real Korotka.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
bin=build/default/bin
job=build/default/main-job
mkdir -p "$job"
sequence="$job/static-pressure.xml"
# A static pressure test from its template (test 300: pump to pressure, read the gauge).
"$bin/orvex" new "$sequence" 300
status=0
if [ $# -gt 0 ]; then
  "$bin/orvex" run "$sequence" --device "$1" || status=$?
else
  # Start, let three gauge readings show, stop, type the monitor's reading and go on.
  printf '%s\n' start 'readings 3' 'type STAT 251' next >"$job/technician.txt"
  "$bin/orvex" run "$sequence" --simulate --time-scale 0.01 --auto "$job/technician.txt" || status=$?
fi
"$bin/orvex" show "$sequence"
exit "$status"
