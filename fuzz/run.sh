#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build/fuzz (KOROTKA_FUZZ_BUILD_DIR to use another) and runs each from its seed corpus, sharing about
# a minute between them (KOROTKA_FUZZ_SECONDS to change that). Exits non-zero when a fuzzer finds a
# crash, a broken invariant, a leak, undefined behaviour or an input that runs too long; the input is
# then in <build dir>/findings.
set -euo pipefail
cd "$(dirname "$0")/.."

clang_version=14
seconds=${KOROTKA_FUZZ_SECONDS:-60}
build_dir=${KOROTKA_FUZZ_BUILD_DIR:-build/fuzz}
# Each target with its seed corpus.
targets=(
  "ConfigLoadFuzzer fuzz/corpus"
  "MeasurementLoadFuzzer fuzz/corpus-measurement"
  "LimitDataLoadFuzzer fuzz/corpus-limits"
  "SequenceLoadFuzzer fuzz/corpus-sequence"
  "TemplateLoadFuzzer fuzz/corpus-template"
  "LanguageFileFuzzer fuzz/corpus-language"
  "SettingsBlobFuzzer fuzz/corpus-settings"
  "ReplyFuzzer fuzz/corpus-reply"
)

scripts/install-packages.sh cmake ninja-build "clang-${clang_version}" "libclang-rt-${clang_version}-dev" \
  qt6-base-dev libpugixml-dev
if ! compgen -G "/usr/lib/llvm-${clang_version}/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
  echo "libFuzzer's runtime (libclang_rt.fuzzer) is missing" >&2
  exit 1
fi

# -O1 with line tables: what libFuzzer and the sanitizers need for speed and readable stacks, and a
# shorter build than full optimisation and debug information.
cmake -S . -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" \
  -DCMAKE_CXX_COMPILER="clang++-${clang_version}" \
  -DKOROTKA_FUZZ=ON -DKOROTKA_SANITIZE=ON -DKOROTKA_WERROR=OFF \
  -DKOROTKA_TESTS=OFF -DKOROTKA_BENCH=OFF >/dev/null
names=()
for target in "${targets[@]}"; do names+=("${target%% *}"); done
cmake --build "$build_dir" --target "${names[@]}"

findings="$build_dir/findings"
mkdir -p "$findings"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
share=$(( seconds / ${#targets[@]} ))
[ "$share" -ge 1 ] || share=1
for target in "${targets[@]}"; do
  name=${target%% *}
  seeds=${target#* }
  # The seeds stay as they are: new inputs go to a working corpus of the build.
  work="$build_dir/corpus/$name"
  mkdir -p "$work"
  "$build_dir/bin/$name" "$work" "$seeds" \
    -max_total_time="$share" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/$name-" -print_final_stats=1
done
