#!/usr/bin/env bash
# Times ApplyLinearFilter with the Gauss 5 x 5 kernel (one thread; as built in and with the sums
# forced to double precision) against OpenCV filter2D in float32 and scipy ndimage.correlate in
# float64 on the same generated 4096 x 4096 image, in one run.
#   bench/compare_filter.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target bench_filter tarkemo-gen -j2 >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The image bench_filter filters: 4096 x 4096, 20000 spots, the generator's default seed.
"$build/bench/generator/tarkemo-gen" "$tmp/image.bmp" 4096 4096 20000
OMP_NUM_THREADS=1 "$build/bench/bench_filter" --benchmark_filter='BM_Gauss5(DoubleSums)?/threads:1/' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=json >"$tmp/ours.json"
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" bench/reference_filter.py "$tmp/image.bmp" "$tmp/ours.json"
