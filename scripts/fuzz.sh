#!/usr/bin/env bash
# Builds the parsers' fuzz targets with clang and libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each from its seed corpus in fuzz/corpus for
# FUZZ_SECONDS seconds (30 unless told). Fails on the first crash, leak or failed check; the
# input that caused it is kept in the build folder.
#
#   scripts/fuzz.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-30}

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# New inputs go to a scratch folder first, so the corpus in the tree stays as it is.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in name_list ini_text model_scan inf_reader ipp_reply; do
  echo "== fuzz_$target for ${seconds}s"
  mkdir -p "$scratch/$target"
  status=0
  "$build/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/$target-" "$scratch/$target" "$root/fuzz/corpus/$target" \
    >"$scratch/$target.log" 2>&1 || status=$?
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==|SUMMARY|Test unit written)' \
    "$scratch/$target.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$scratch/$target.log"
    echo "fuzz_$target failed; the input is kept as $build/$target-*"
    exit 1
  fi
done
