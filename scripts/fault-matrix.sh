#!/usr/bin/env bash
# Runs every simulator fault against each of the four tests, headless through `orvex run --auto`,
# then the faults of the machine around it (a port another program holds, a device that vanishes
# and comes back, a settings file that cannot be read or holds nonsense), and prints one table:
# how long the run took, its exit status, the message the technician saw, and whether the results
# of an earlier run survived in the file. Exits 1 when a run hung, crashed, ended without a message
# of the system's own, lost a stored result, or a machine fault was not handled.
#   scripts/fault-matrix.sh [--quick] [BUILD_DIR [FAULT...]]
# BUILD_DIR defaults to build/default (build/asan runs it under ASan); FAULT to every fault.
# --quick keeps to the faults that end at once (nak, disconnect) and the machine's faults: about a
# minute, what the test command runs under ASan. The full matrix takes about 7 minutes.
set -uo pipefail
cd "$(dirname "$0")/.."
quick=
if [ "${1:-}" = --quick ]; then
  quick=yes
  shift
fi
build=${1:-build/default}
shift || true
faults=("$@")
if [ ${#faults[@]} -eq 0 ]; then
  if [ -n "$quick" ]; then
    faults=(nak disconnect)
  else
    faults=(silence nak garbage trickle no-crlf disconnect unreachable never-release)
  fi
fi
bin=$build/bin
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
# The settings of these runs are their own, not those of whoever runs the script.
export ORVEX_REGISTRY=$work/Registry.ini
# The runs keep their visits in a database of their own.
export ORVEX_DATABASE=$work/results.sqlite
# A run may take the instrument's own time-outs, which the simulator's time scale does not shorten
# (a leak test that never gets its reply waits out the 120 s leak time-out); beyond this it hangs.
limit=300
# How long the technician waits for each step: longer than any of those time-outs.
patience=150

# What a technician does when the test goes well, per test id: the main job's part for it.
declare -A healthy=()
for id in 300 100 200 401; do
  healthy[$id]=$(awk -v part="# test $id:" 'index($0, part) == 1 { on = 1; next } /^# test / { on = 0 } on' \
    scripts/main-job.txt)
done
declare -A names=([300]=static [100]=leak [200]=relief [401]=nibp)
# The reading the technician types when a test is stopped by hand.
declare -A first_key=([300]=STAT [100]=RATE [200]=PEAK [401]=SYST)
# Faults after which a test goes on (only slower, or untouched by what the fault breaks), by fault
# or by fault and test id: the technician goes about them as usual first.
declare -A goes_on=([trickle]=yes [no-crlf]=yes [unreachable-200]=yes [unreachable-401]=yes
  [never-release-300]=yes [never-release-100]=yes [never-release-401]=yes)

printf '%-17s %-7s %6s %4s  %-8s %-9s %s\n' fault test secs exit script stored message
failures=0

# One row of the table; the verdict is empty when the row is sound.
row() { # fault test tenths status script stored message verdict
  [ -z "$8" ] || failures=$((failures + 1))
  printf '%-17s %-7s %4d.%d %4s  %-8s %-9s %s%s\n' "$1" "$2" $(($3 / 10)) $(($3 % 10)) "$4" "$5" "$6" \
    "${7:-(none)}" "${8:+  <- $8}"
}

# The first line of what the run said that is the system's own message to the technician.
message_of() {
  grep -v -e '^korotka\.' -e '^orvex\.host' -e 'XDG_RUNTIME' -e '^Do you want' \
    -e '^orvex: the run was aborted' -e '^The test failed' "$1" | head -1 | cut -c1-70
}

# The scripts of one test: the technician meets the error (waits until the test is at rest, then
# aborts the visit); goes about it as usual, answering a question about a failed result if one
# comes; or stops a test that goes on without readings by hand.
write_scripts() { # test id
  printf 'start\nrest\nanswer yes\nabort\n' >"$work/error.txt"
  printf '%s\n' "${healthy[$1]}" >"$work/normal.txt"
  printf '%s\nanswer yes\n' "${healthy[$1]}" >"$work/answered.txt"
  printf 'start\nstop\ntype %s 1\nanswer yes\nnext\n' "${first_key[$1]}" >"$work/stop.txt"
}

elapsed_tenths() { echo $((($(date +%s%N) - $1) / 100000000)); }

for fault in "${faults[@]}"; do
  for id in 300 100 200 401; do
    attempts=(error normal answered stop)
    [ -z "${goes_on[$fault]:-}${goes_on[$fault-$id]:-}" ] || attempts=(normal answered stop)
    file=$work/$fault-$id.xml
    "$bin/orvex" new "$file" "$id" >/dev/null 2>&1
    write_scripts "$id"
    # A first, healthy run stores a result the faulty run must not lose.
    "$bin/orvex" run "$file" --simulate --time-scale 0.05 --auto "$work/normal.txt" >/dev/null 2>&1
    before=$("$bin/orvex" show "$file" 2>/dev/null | cut -f3-)
    start=$(date +%s%N)
    for attempt in "${attempts[@]}"; do
      timeout "$limit" "$bin/orvex" run "$file" --simulate --time-scale 0.05 --fault "$fault" \
        --auto "$work/$attempt.txt" --auto-timeout "$patience" >"$work/out" 2>&1
      status=$?
      unfollowed=$([ "$status" -eq 3 ] && grep -q '^script line' "$work/out" && echo yes)
      # The error attempt counts only when it met an error; a test that came to rest without one
      # worked and is run again the usual way.
      if [ "$attempt" = error ]; then
        [ -z "$unfollowed" ] && grep -q 'the test ended on an error' "$work/out" && break
      elif [ -z "$unfollowed" ]; then
        break
      fi
    done
    after=$("$bin/orvex" show "$file" 2>/dev/null | cut -f3-)
    message=$(message_of "$work/out")
    stored=kept
    verdict=
    if [ "$status" -eq 124 ] || [ "$status" -gt 3 ]; then verdict="HUNG/CRASHED"; fi
    if [ "$status" -eq 3 ] && [ -z "$message" ]; then verdict="NO MESSAGE"; fi
    if [ "$status" -eq 3 ] && [ "$after" != "$before" ]; then stored=LOST verdict="RESULT LOST"; fi
    if [ "$status" -ne 3 ]; then stored=new; fi
    row "$fault" "${names[$id]}" "$(elapsed_tenths "$start")" "$status" "$attempt" "$stored" "$message" "$verdict"
  done
done

# The machine's faults, against the static test on a simulated Korotka behind a device path.
device=$work/korotka
start_simulator() {
  "$bin/korotka-sim" --link "$device" --time-scale 0.05 >"$work/sim.out" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do
    [ -e "$device" ] && return 0
    sleep 0.1
  done
  return 1
}
# Stops the background program started last (the simulator, or the program holding its port).
stop_last() {
  kill "${pids[-1]}" 2>/dev/null
  wait "${pids[-1]}" 2>/dev/null
  unset 'pids[-1]'
}
# Runs the static test on the device with one of the scripts; sets status and message.
run_device() { # tag script
  timeout "$limit" "$bin/orvex" run "$work/$1.xml" --device "$device" --auto "$work/$2.txt" \
    --auto-timeout 30 >"$work/out" 2>&1
  status=$?
  message=$(message_of "$work/out")
}
write_scripts 300
for tag in held vanished; do "$bin/orvex" new "$work/$tag.xml" 300 >/dev/null 2>&1; done

# A second program holds the port: the run says so, and once it lets go the port works.
start=$(date +%s%N)
if start_simulator; then
  # A program that holds the port open and locked until it is stopped.
  (exec 9<"$device" && flock 9 && exec sleep "$limit") >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.2
  run_device held error
  held_status=$status held_message=$message
  stop_last
  run_device held normal
  verdict=
  [ "$held_status" -eq 3 ] && [[ $held_message == *"not available"* ]] || verdict="NOT REPORTED"
  [ "$status" -eq 0 ] || verdict="PORT SPOILED (next run: exit $status)"
  row held static "$(elapsed_tenths "$start")" "$held_status" error "-" "$held_message" "$verdict"

  # The device vanishes between runs and comes back: the run in between says so, the next works.
  start=$(date +%s%N)
  stop_last
  run_device vanished error
  gone_status=$status gone_message=$message
  verdict=
  if start_simulator; then
    run_device vanished normal
    [ "$status" -eq 0 ] || verdict="NOT BACK (next run: exit $status)"
  else
    verdict="SIMULATOR DID NOT START"
  fi
  [ "$gone_status" -eq 3 ] && [ -n "$gone_message" ] || verdict="NOT REPORTED"
  row vanished static "$(elapsed_tenths "$start")" "$gone_status" error "-" "$gone_message" "$verdict"
  stop_last
else
  row held static 0 - - - "korotka-sim did not start" "SIMULATOR DID NOT START"
fi

# The settings file cannot be read, or holds nonsense: the run goes on with the defaults and a
# warning says why. A setup blob that cannot be read stops the plug-in with an error that names it.
mkdir -p "$work/folder.ini"
{
  printf '[HKEY_LOCAL_MACHINE]\n'
  printf 'Software\\Marrick\\Orvex\\Korotka\\PressureUnit=banana\n'
  printf 'Software\\Marrick\\Orvex\\Korotka\\BPUnit=99999999999\n'
  printf 'Software\\Marrick\\Orvex\\Korotka\\Timeouts\\Comm\\Seconds=-7\n'
  printf 'Software\\Marrick\\Orvex\\Korotka\\Timeouts\\Leak\\Seconds=abc\n'
  printf '[Ports]\n0=\n999=/dev/null\nx=y\n'
  head -c 2000 /dev/urandom
} >"$work/nonsense.ini"
printf '[HKEY_LOCAL_MACHINE]\nSoftware\\Marrick\\Orvex\\Korotka\\Configuration=@ByteArray(\\0[[x)\n' \
  >"$work/setup.ini"
# The usual runs end on a verdict (0 or 1: the typed value against a gauge read under load may
# differ); the broken setup ends on the plug-in's error (3).
declare -A expected=([folder]=verdict [nonsense]=verdict [setup]=3)
for settings in folder nonsense setup; do
  file=$work/settings-$settings.xml
  "$bin/orvex" new "$file" 300 >/dev/null 2>&1
  start=$(date +%s%N)
  ORVEX_REGISTRY=$work/$settings.ini timeout "$limit" "$bin/orvex" run "$file" --simulate \
    --time-scale 0.05 --auto "$work/normal.txt" --auto-timeout 30 >"$work/out" 2>&1
  status=$?
  if [ "$settings" = setup ]; then
    said=$(grep -m1 '^orvex: error' "$work/out" | cut -c1-70)
    [[ $(grep -m1 '^orvex: error' "$work/out") == *Configuration* ]] || said=
  else
    said=$(grep -m1 -e 'cannot be read' -e 'not read' "$work/out" | cut -c1-70)
  fi
  verdict=
  got=$([ "$status" -le 1 ] && echo verdict || echo "$status")
  [ "$got" = "${expected[$settings]}" ] || verdict="EXIT $status, NOT ${expected[$settings]}"
  [ -n "$said" ] || verdict="${verdict:-NOT SAID WHY}"
  row "settings-$settings" static "$(elapsed_tenths "$start")" "$status" normal \
    "$([ "$status" -le 1 ] && echo new || echo -)" "$said" "$verdict"
done

[ "$failures" -eq 0 ] || { echo "$failures runs misbehaved"; exit 1; }
