#!/usr/bin/env bash
# Sets up, builds, and runs the main job: a short service visit performed by orvex (static
# pressure, leak, over-pressure, one NIBP simulation preset), then its PDF report and JSON export.
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
# Tests from their templates: 300 static pressure, 100 leak, 200 over-pressure, 401 the standard
# blood-pressure presets; each gets the shipped limit sets.
"$bin/orvex" new "$sequence" 300 100 200 401 --asset-id "DEMO-0001" --asset-make-model "NIBP monitor" \
  --asset-location "Workshop" --technician "${USER:-technician}"
status=0
if [ $# -gt 0 ]; then
  "$bin/orvex" run "$sequence" --device "$1" || status=$?
else
  # The technician's part of each test is in scripts/main-job.txt.
  "$bin/orvex" run "$sequence" --simulate --time-scale 0.05 --auto scripts/main-job.txt || status=$?
fi
"$bin/orvex" show "$sequence"
"$bin/orvex" report "$sequence" --pdf "$job/visit.pdf" --html "$job/visit.html"
"$bin/orvex" export "$sequence" --json "$job/visit.json" --csv "$job/visit.csv"
echo "sequence: $job/visit.xml"
echo "report:   $job/visit.pdf (and visit.html)"
echo "export:   $job/visit.json (and visit.csv)"
exit "$status"
