#!/usr/bin/env bash
# Fails when an include points the wrong way: the plug-in and the driver reach the host only
# through hostapi/, and inside plugin/ and host/ a folder includes only itself and the folders
# before it.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
while IFS= read -r hit; do
  echo "layering: $hit (the plug-in and the driver never include a host/ header)" >&2
  status=1
done < <(grep -rnE '#include\s*[<"]host/' plugin driver hostapi || true)

# The order of a library's folders is stated once, at the top of its CMakeLists.txt
# ("# Layers: a -> b -> ..."); its sources lie in those folders, never at its top.
check_order() {
  local root=$1 order layer i=0 file line text from to
  order=$(sed -n 's/^# Layers: //p' "$root/CMakeLists.txt" | tr -d ' ' | tr '>' ' ' | tr -d '-')
  if [ -z "$order" ]; then
    echo "layering: $root/CMakeLists.txt states no '# Layers:' line" >&2
    status=1
    return
  fi
  local -A rank=()
  for layer in $order; do rank[$layer]=$i; i=$((i + 1)); done
  for file in "$root"/*.h "$root"/*.cpp; do
    [ -e "$file" ] || continue
    echo "layering: $file lies at the top of $root/, outside its folders" >&2
    status=1
  done
  while IFS=: read -r file line text; do
    from=$(cut -d/ -f2 <<<"$file")
    to=$(sed -nE "s/.*#include\s*\"$root\/([a-z]+)\/.*/\1/p" <<<"$text")
    [ -n "$to" ] && [ -n "${rank[$from]+x}" ] || continue
    if [ -z "${rank[$to]+x}" ]; then
      echo "layering: $file:$line: folder '$to' is not in the stated order" >&2
      status=1
    elif [ "${rank[$to]}" -gt "${rank[$from]}" ]; then
      echo "layering: $file:$line: $from includes $to, which sits above it" >&2
      status=1
    fi
  done < <(grep -rnE "#include\s*\"$root/" "$root" --include='*.h' --include='*.cpp' || true)
}

check_order plugin
check_order host
exit $status
