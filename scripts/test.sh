#!/usr/bin/env bash
# Checks formatting and layering, sets up, runs clang-tidy on the last commit's sources, builds, and runs every test: the release build with the
# results database against a PostgreSQL server of its own and the Debian package made from it, then the whole suite and the quick
# fault matrix under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each step says how long it took, so a slow run shows where its time went.
step() {
  local started=$SECONDS
  "$@"
  echo "test.sh: $* took $((SECONDS - started)) s"
}
# The house rules a compiler does not check: formatting, and includes that point the right way.
scripts/check-format.sh
scripts/check-layering.sh
step scripts/setup.sh default asan
# clang-tidy on what the last commit changed (TIDY_BASE names another base): a change is what a
# reviewer reads, and a whole-tree run takes too long for every test run.
step scripts/check-tidy.sh "${TIDY_BASE:-HEAD~1}"
export QT_QPA_PLATFORM=offscreen
step ctest --preset default -j2
# The results database against a real PostgreSQL server that the script starts and stops.
step scripts/test-postgresql.sh build/default
# The Debian package: built, checked with lintian, unpacked and run from where it was unpacked.
step scripts/test-package.sh
step env UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan -j2
# orvex under the sanitizers against the faults that end at once and those of the machine around
# it (a held port, a vanished device, a broken settings file). A sanitizer finding exits with 86,
# which the matrix counts as a crash; leaks are the suite's to find, not this minute's.
step env ASAN_OPTIONS=exitcode=86:detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:exitcode=86 \
  scripts/fault-matrix.sh --quick build/asan
# The loaders and the reply reading against arbitrary input, for about a minute.
step fuzz/run.sh
