#!/usr/bin/env bash
# Fails when an include points the wrong way: the plug-in and the driver reach the host only
# through hostapi/, and inside plugin/ a folder includes only itself and the folders before it.
set -euo pipefail
cd "$(dirname "$0")/.."

# The order is stated once, at the top of plugin/CMakeLists.txt ("# Layers: a -> b -> ...").
order=$(sed -n 's/^# Layers: //p' plugin/CMakeLists.txt | tr -d ' ' | tr '>' ' ' | tr -d '-')
[ -n "$order" ] || { echo "layering: plugin/CMakeLists.txt states no '# Layers:' line" >&2; exit 1; }
declare -A rank
i=0
for layer in $order; do rank[$layer]=$i; i=$((i + 1)); done

status=0
while IFS= read -r hit; do
  echo "layering: $hit (the plug-in and the driver never include a host/ header)" >&2
  status=1
done < <(grep -rnE '#include\s*[<"]host/' plugin driver hostapi || true)

while IFS=: read -r file line text; do
  from=$(cut -d/ -f2 <<<"$file")
  to=$(sed -nE 's/.*#include\s*"plugin\/([a-z]+)\/.*/\1/p' <<<"$text")
  [ -n "$to" ] || continue
  if [ -z "${rank[$from]+x}" ] || [ -z "${rank[$to]+x}" ]; then
    echo "layering: $file:$line: folder '$from' or '$to' is not in the stated order" >&2
    status=1
  elif [ "${rank[$to]}" -gt "${rank[$from]}" ]; then
    echo "layering: $file:$line: $from includes $to, which sits above it" >&2
    status=1
  fi
done < <(grep -rnE '#include\s*"plugin/' plugin --include='*.h' --include='*.cpp' || true)
exit $status
