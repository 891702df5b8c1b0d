#!/usr/bin/env bash
# Runs every libFuzzer target of the `fuzz` build for SECONDS each (default 20), starting from its
# seed corpus in tests/data. New inputs go to build/fuzz/corpus/<target>, so tests/data is never
# changed and a later run goes on from what an earlier one found. Crashes are written to
# build/fuzz/crashes/ and end the script with a failure.
#   tests/fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-20}
shift || true
declare -A seeds=(
  [fuzz_bmp]=tests/data/bmp
  [fuzz_davis]=tests/data/davis
  [fuzz_palette]=tests/data/palette
  [fuzz_filter_file]=tests/data/filter
  [fuzz_frequency_file]=tests/data/fft
)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_bmp fuzz_davis fuzz_palette fuzz_filter_file fuzz_frequency_file)
mkdir -p build/fuzz/crashes
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== $target for ${seconds}s"
  log=build/fuzz/crashes/$target.log
  status=0
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=3072 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/crashes/"$target"- "$corpus" "${seeds[$target]}" \
    >"$log" 2>&1 || status=$?
  grep -E "^(INFO: seed corpus|stat::number_of_executed_units|Done)" "$log" || true
  if [ "$status" -ne 0 ]; then
    grep -E -A30 "ERROR|deadly signal|out-of-memory|timeout" "$log" | head -60 || tail -40 "$log"
    echo "$target found a fault; the input is in build/fuzz/crashes/"
    exit 1
  fi
done
