#!/usr/bin/env bash
# Checks formatting and layering, sets up, builds, and runs every test: the release build, then the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
# The house rules a compiler does not check: formatting, and includes that point the right way.
scripts/check-format.sh
scripts/check-layering.sh
scripts/setup.sh default asan
export QT_QPA_PLATFORM=offscreen
ctest --preset default -j2
UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan -j2
# The loaders and the reply reading against arbitrary input, for about a minute.
fuzz/run.sh
