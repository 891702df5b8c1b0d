#!/usr/bin/env bash
# Times the particle counting paths (one thread) against OpenCV connectedComponentsWithStats and
# scikit-image local_maxima + label on the same generated 4096 x 4096 image, in one run, and
# prints our times on the winding pictures (spiral, comb) beside them.
#   bench/compare_particles.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target bench_particles tarkemo-gen -j2 >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The picture bench_particles counts: 4096 x 4096, kSpotCount = 21000 spots, the default seed.
"$build/bench/generator/tarkemo-gen" "$tmp/image.bmp" 4096 4096 21000
OMP_NUM_THREADS=1 "$build/bench/bench_particles" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$tmp/ours.json"
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" bench/reference_particles.py "$tmp/image.bmp" "$tmp/ours.json"
"$python" - "$tmp/ours.json" <<'PY'
import json, sys
rows = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("aggregate_name") == "median"]
print("ours, all pictures (median CPU time):")
for b in rows:
    print(f"  {b['run_name']:<26} {b.get('label', ''):<12} {b['cpu_time']:8.1f} ms")
PY
