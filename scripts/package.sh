#!/usr/bin/env bash
# Builds the Debian package build/package/orvex_<version>_<arch>.deb from the release build
# (configured and built first when needed): the programs, libraries and texts, stripped, with a
# menu entry, manual pages and the dependencies dpkg-shlibdeps finds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh dpkg-dev file
scripts/setup.sh default
cpack --config build/default/CPackConfig.cmake -B build/package >/dev/null
rm -rf build/package/_CPack_Packages
ls build/package/orvex_*.deb
