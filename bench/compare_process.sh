#!/usr/bin/env bash
# Times every `apply` operation on a 4096 x 4096 generator image (8192 x 8192 for the geometry,
# whose benchmarks use that side) as a whole tarkemo-cli process
# and beside it the in-process benchmark of the same operation (bench_ops, bench_filter). The
# process time includes start, reading and writing; `apply IN OUT not not` measures those alone.
# Target: process <= 1.5 x in-process + (not not).
#   bench/compare_process.sh [BUILD_DIR]   default BUILD_DIR: build/release; RUNS (default 9) sets
#   the process runs per operation (the median counts).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/release}" && pwd)
runs=${RUNS:-9}

cmake --build "$build" --target tarkemo-cli tarkemo-gen bench_ops bench_filter -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The image bench_ops draws: side 4096, side * side / 800 spots, the generator's default seed.
"$build/bench/generator/tarkemo-gen" "$work/in4096.bmp" 4096 4096 20971
"$build/bench/generator/tarkemo-gen" "$work/in8192.bmp" 8192 8192 83886

ops_filter='BM_BitOperation/id:|BM_(MirrorLeftRight|MirrorTopBottom|Rotate180|RotateLeft|RotateRight)/8192$|BM_NormalizeRange|BM_ShiftOrigin|BM_RankFilter/side:(3|5|15)/rank:0$|BM_LocalNormalize'
"$build/bench/bench_ops" --benchmark_filter="$ops_filter" --benchmark_repetitions=3 \
    --benchmark_out="$work/ops.json" --benchmark_out_format=json >/dev/null 2>&1
"$build/bench/bench_filter" --benchmark_filter='BM_Gauss5/threads:0|BM_Gauss3' --benchmark_repetitions=3 \
    --benchmark_out="$work/filter.json" --benchmark_out_format=json >/dev/null 2>&1

python3 - "$build/src/cli/tarkemo-cli" "$work" "$runs" <<'PY'
import json, re, statistics, subprocess, sys, time

cli, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
benchmarks = []
for name in ("ops.json", "filter.json"):
    for run in json.load(open(f"{work}/{name}"))["benchmarks"]:
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") == "median":
            benchmarks.append((run["run_name"], run["real_time"]))

def in_process(pattern):
    for name, ms in benchmarks:
        if re.search(pattern, name):
            return ms
    return None

def process(side, steps):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([cli, "apply", f"{work}/in{side}.bmp", f"{work}/out.bmp", *steps], check=True)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)

operations = [
    (4096, "not", r"id:40018$"),
    (4096, "bi", r"id:40132$"),
    (4096, "normalize", r"^BM_NormalizeRange"),
    (4096, "shift-origin=1234,567", r"^BM_ShiftOrigin"),
    (4096, "rank=3,3,5", r"side:3/rank:0"),
    (4096, "rank=5,5,13", r"side:5/rank:0"),
    (4096, "rank=15,15,113", r"side:15/rank:0"),
    (4096, "local-normalize=15,15,30,20", r"^BM_LocalNormalize"),
    (4096, "kernel=gauss3", r"^BM_Gauss3"),
    (4096, "kernel=gauss5", r"^BM_Gauss5/threads:0"),
    (8192, "flip-h", r"^BM_MirrorLeftRight/8192"),
    (8192, "flip-v", r"^BM_MirrorTopBottom/8192"),
    (8192, "rotate-180", r"^BM_Rotate180/8192"),
    (8192, "rotate-left", r"^BM_RotateLeft/8192"),
    (8192, "rotate-right", r"^BM_RotateRight/8192"),
]
base = {side: process(side, ["not", "not"]) for side in (4096, 8192)}
for side, ms in base.items():
    print(f"apply IN{side} OUT not not (start, read, write): {ms:.1f} ms (median of {runs})")
print(f"{'operation':34} {'process':>9} {'net':>8} {'in-proc':>8} {'target':>8}  ok")
for side, step, pattern in operations:
    whole = process(side, [step])
    inside = in_process(pattern)
    if inside is None:
        print(f"{step:34} {whole:8.1f}ms  (no in-process benchmark found)")
        continue
    target = 1.5 * inside + base[side]
    verdict = "yes" if whole <= target else "NO"
    print(f"{side} {step:29} {whole:8.1f}ms {whole - base[side]:7.1f}ms {inside:7.1f}ms {target:7.1f}ms  {verdict}")
PY
