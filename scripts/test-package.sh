#!/usr/bin/env bash
# Builds the package, checks it with lintian (no error; the warnings left are listed in the
# README), unpacks it into a temporary root and runs the installed programs from there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh lintian desktop-file-utils
deb=$(scripts/package.sh | tail -1)
echo "test-package: $deb"
dpkg-deb -c "$deb" | awk '{print $6}'
# --fail-on error: a warning is reported, only an error fails.
lintian --fail-on error --tag-display-limit 0 "$deb"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/orvex.desktop"
# The note on install names the group a serial device needs.
dpkg-deb -e "$deb" "$root/DEBIAN"
sh "$root/DEBIAN/postinst" configure | grep -q "group dialout"
export QT_QPA_PLATFORM=offscreen ORVEX_REGISTRY=$root/Registry.ini XDG_STATE_HOME=$root/state
export ORVEX_DATABASE=$root/results.sqlite XDG_RUNTIME_DIR=$root/runtime
mkdir -m 0700 "$root/runtime"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$root/usr/bin/orvex" --version)" = "orvex $version" ]
[ "$("$root/usr/bin/korotka" --version)" = "korotka $version" ]
tests=$("$root/usr/bin/orvex" tests)
echo "$tests"
[ "$(echo "$tests" | grep -c '^[0-9][0-9][0-9]  ')" -eq 9 ]
"$root/usr/bin/korotka" --simulate identify
# The installed tree is used, not the build folder: its texts and the plug-in's.
"$root/usr/bin/orvex" tests --language German | grep -q "Dichtheitsprüfung\|Leck"
echo "test-package: passed"
