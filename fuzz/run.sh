#!/usr/bin/env bash
# Builds the configuration fuzz target with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz and runs it from the seed corpus for about a minute
# (KOROTKA_FUZZ_SECONDS to change that). Exits non-zero when the fuzzer finds a crash, a leak,
# undefined behaviour or an input that runs too long; the input is then in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."

clang_version=14
seconds=${KOROTKA_FUZZ_SECONDS:-60}
build_dir=build/fuzz

packages=(cmake ninja-build "clang-${clang_version}" "libclang-rt-${clang_version}-dev" qt6-base-dev libpugixml-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if ! compgen -G "/usr/lib/llvm-${clang_version}/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  echo "libFuzzer's runtime (libclang_rt.fuzzer) is missing" >&2
  exit 1
fi

cmake -S . -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="clang++-${clang_version}" \
  -DKOROTKA_FUZZ=ON -DKOROTKA_SANITIZE=ON -DKOROTKA_WERROR=OFF \
  -DKOROTKA_TESTS=OFF -DKOROTKA_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target ConfigLoadFuzzer

# The seeds stay as they are: new inputs go to a working corpus of the build.
work="$build_dir/corpus"
findings="$build_dir/findings"
mkdir -p "$work" "$findings"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build_dir/bin/ConfigLoadFuzzer" "$work" fuzz/corpus \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$findings/" -print_final_stats=1
