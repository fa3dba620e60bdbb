#!/usr/bin/env bash
# Runs every simulator fault against each of the four tests, headless through `orvex run --auto`,
# and prints one table: how long the run took, its exit status, the message the technician saw,
# and whether the results of an earlier run survived in the file. Exits 1 when a run hung, crashed,
# ended without a message of the system's own, or lost a stored result.
#   scripts/fault-matrix.sh [BUILD_DIR [FAULT...]]
# BUILD_DIR defaults to build/default (build/asan runs it under ASan); FAULT to every fault.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
shift || true
faults=("$@")
[ ${#faults[@]} -gt 0 ] || faults=(silence nak garbage trickle no-crlf disconnect unreachable never-release)
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
# A run may take the instrument's own time-outs, which the simulator's time scale does not shorten
# (a leak test that never gets its reply waits out the 120 s leak time-out); beyond this it hangs.
limit=300
# How long the technician waits for each step: longer than any of those time-outs.
patience=150

# What a technician does when the test goes well, per test id.
declare -A healthy=(
  [300]=$'start\nreadings 3\ntype STAT 251\nnext'
  [100]=$'start\nnext'
  [200]=$'start\nnext'
  [401]=$'start\ntype SYST 121\ntype DIAS 79\ntype HART 80\ntype MAPR 93\nnext')
declare -A names=([300]=static [100]=leak [200]=relief [401]=nibp)
# The reading the technician types when a test is stopped by hand.
declare -A first_key=([300]=STAT [100]=RATE [200]=PEAK [401]=SYST)
# When the instrument fails: wait until the test is at rest again, then abort the visit.
on_error=$'rest\nanswer yes\nabort'

printf '%-13s %-7s %6s %4s  %-7s %-9s %s\n' fault test secs exit script stored message
failures=0
for fault in "${faults[@]}"; do
  for id in 300 100 200 401; do
    file=$work/$fault-$id.xml
    "$bin/orvex" new "$file" "$id" >/dev/null 2>&1
    # A first, healthy run stores a result the faulty run must not lose.
    printf '%s\n' "${healthy[$id]}" >"$work/healthy.txt"
    "$bin/orvex" run "$file" --simulate --time-scale 0.01 --auto "$work/healthy.txt" >/dev/null 2>&1
    before=$("$bin/orvex" show "$file" 2>/dev/null | cut -f3-)
    # The faulty run. The technician starts and meets the error (waits until the test is at rest,
    # then aborts the visit); a test that goes on as usual is finished as usual; one that goes on
    # without readings is stopped by hand.
    printf 'start\n%s\n' "$on_error" >"$work/error.txt"
    printf '%s\nanswer yes\n' "${healthy[$id]}" >"$work/normal.txt"
    printf 'start\nstop\ntype %s 1\nanswer yes\nnext\n' "${first_key[$id]}" >"$work/stop.txt"
    start=$(date +%s%N)
    for attempt in error normal stop; do
      timeout "$limit" "$bin/orvex" run "$file" --simulate --time-scale 0.01 --fault "$fault" \
        --auto "$work/$attempt.txt" --auto-timeout "$patience" >"$work/out" 2>&1
      status=$?
      unfollowed=$([ "$status" -eq 3 ] && grep -q '^script line' "$work/out" && echo yes)
      if [ "$attempt" = error ]; then
        # Met the error as expected; a test that came to rest without one worked and is run again
        # the usual way.
        [ -z "$unfollowed" ] && grep -q 'the test ended on an error' "$work/out" && break
      else
        [ -z "$unfollowed" ] && break
      fi
    done
    tenths=$((($(date +%s%N) - start) / 100000000))
    after=$("$bin/orvex" show "$file" 2>/dev/null | cut -f3-)
    message=$(grep -v -e '^korotka\.' -e 'XDG_RUNTIME' -e '^Do you want' -e '^orvex: the run was aborted' \
      -e '^The test failed' "$work/out" | head -1 | cut -c1-70)
    stored=kept
    verdict=ok
    if [ "$status" -eq 124 ] || [ "$status" -gt 3 ]; then verdict="HUNG/CRASHED"; fi
    if [ "$status" -eq 3 ] && [ -z "$message" ]; then verdict="NO MESSAGE"; fi
    if [ "$status" -eq 3 ] && [ "$after" != "$before" ]; then stored=LOST; verdict="RESULT LOST"; fi
    if [ "$status" -ne 3 ]; then stored=new; fi
    [ "$verdict" = ok ] || failures=$((failures + 1))
    printf '%-13s %-7s %4d.%d %4s  %-7s %-9s %s%s\n' "$fault" "${names[$id]}" $((tenths / 10)) \
      $((tenths % 10)) "$status" "$attempt" "$stored" "${message:-(none)}" \
      "$([ "$verdict" = ok ] || echo "  <- $verdict")"
  done
done
[ "$failures" -eq 0 ] || { echo "$failures runs misbehaved"; exit 1; }
