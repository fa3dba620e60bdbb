#!/usr/bin/env bash
# Sets up, builds, and runs the main job: the shipped adult NIBP performance check performed by
# orvex (static pressure at six points, leak, over-pressure, three blood-pressure presets three
# times each), then its PDF report and JSON export.
# Without an argument a scripted technician runs it headless against the built-in simulator; given
# a device path (e.g. /dev/ttyUSB0) a person runs it in the test guide windows against the Korotka.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh default
bin=build/default/bin
job=build/default/main-job
mkdir -p "$job"
# Qt wants a private runtime folder even when it draws off-screen.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
sequence="$job/visit.xml"
# The visit from the shipped procedure: its tests, settings, limits and repeats.
"$bin/orvex" new "$sequence" --procedure adult-nibp --asset-id "DEMO-0001" --asset-make-model "NIBP monitor" \
  --asset-location "Workshop" --technician "${USER:-technician}"
status=0
if [ $# -gt 0 ]; then
  "$bin/orvex" run "$sequence" --device "$1" || status=$?
else
  # The technician's part of each test is in scripts/adult-procedure.txt.
  "$bin/orvex" run "$sequence" --simulate --time-scale 0.05 --auto scripts/adult-procedure.txt || status=$?
fi
"$bin/orvex" show "$sequence"
"$bin/orvex" report "$sequence" --pdf "$job/visit.pdf" --html "$job/visit.html"
"$bin/orvex" export "$sequence" --json "$job/visit.json" --csv "$job/visit.csv"
echo "sequence: $job/visit.xml"
echo "report:   $job/visit.pdf (and visit.html)"
echo "export:   $job/visit.json (and visit.csv)"
exit "$status"
