#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds
# the given CMake presets (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh cmake ninja-build g++ qt6-base-dev libpugixml-dev libgtest-dev libgmock-dev \
  libbenchmark-dev poppler-utils libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n
# The fleet page's test opens the page in a real browser, headless.
scripts/install-packages.sh chromium

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(default)
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
