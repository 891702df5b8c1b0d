#!/usr/bin/env bash
# Times the image operations (bench_ops) and their references (reference_ops.py: OpenCV, numpy) on the
# same generator image in one run, one thread each, and prints every ratio beside its target.
#   bench/compare_ops.sh [BUILD_DIR]   default BUILD_DIR: build; REPETITIONS (default 5) and PYTHON
#   (default /usr/bin/python3, which has python3-opencv) may be set in the environment.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
python=${PYTHON:-/usr/bin/python3}
repetitions=${REPETITIONS:-5}

cmake --build "$build" --target bench_ops tarkemo-gen -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same image bench_ops draws: side 4096, side * side / 800 spots, the generator's default seed.
"$build/bench/generator/tarkemo-gen" "$work/image4096.bmp" 4096 4096 20971

export OMP_NUM_THREADS=1
# References and our programs alternate, and the best time of all rounds counts, so a busy machine
# slows both sides alike.
for round in 1 2; do
    "$python" "$here/reference_ops.py" "$work/image4096.bmp" "$repetitions" >>"$work/reference.txt"
    "$build/bench/bench_ops" --benchmark_repetitions="$repetitions" --benchmark_format=json \
        --benchmark_out="$work/ours$round.json" --benchmark_out_format=json >/dev/null
done

"$python" - "$work/reference.txt" "$work/ours1.json" "$work/ours2.json" <<'PY'
import json
import sys

reference = {}
for line in open(sys.argv[1]):
    name, ms = line.split("\t")
    reference[name] = min(float(ms), reference.get(name, float("inf")))

ours = {}
for path in sys.argv[2:]:
    for run in json.load(open(path))["benchmarks"]:
        if run.get("run_type") != "iteration":
            continue
        name = run["run_name"] if "run_name" in run else run["name"]
        factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[run["time_unit"]]
        ours[name] = min(run["real_time"] * factor, ours.get(name, float("inf")))

def o(name):
    return ours[name]

copy4096 = o("BM_CopyImage/4096")
copy8192 = o("BM_CopyImage/8192")
rows = []  # (what, ours ms, against, against ms, ratio limit)

def within(what, ms, against, against_ms, limit):
    rows.append((what, ms, against, against_ms, limit))

for side, ref, limit in ((3, "opencv_median3", 2.0), (5, "opencv_median5", 2.0), (15, "opencv_median15", 1.0)):
    median = o(f"BM_RankFilter/side:{side}/rank:0")
    within(f"RankFilter {side}x{side} median", median, ref, reference[ref], limit)
    for name in sorted(ours):
        if name.startswith(f"BM_RankFilter/side:{side}/rank:") and not name.endswith("rank:0"):
            rank = name.rsplit(":", 1)[1]
            within(f"RankFilter {side}x{side} rank {rank}", o(name), f"our {side}x{side} median", median, 1.25)
within("LocalNormalize 15x15", o("BM_LocalNormalize/side:15"), "opencv_erode_dilate15",
       reference["opencv_erode_dilate15"], 3.0)
within("GradientFilter", o("BM_GradientFilter"), "numpy_gradient_hypot / 15",
       reference["numpy_gradient_hypot"] / 15.0, 1.0)
for name in ("BM_RotateLeft/8192", "BM_RotateRight/8192", "BM_Rotate180/8192", "BM_MirrorLeftRight/8192",
             "BM_MirrorTopBottom/8192"):
    within(name[3:], o(name), "one copy 8192", copy8192, 3.0)
for name in sorted(ours):
    if name.startswith(("BM_BitOperation", "BM_Combine", "BM_NormalizeRange", "BM_ShiftOrigin")):
        within(name[3:], o(name), "one copy 4096", copy4096, 2.0)

print(f"one copy: 4096 x 4096 {copy4096:.2f} ms, 8192 x 8192 {copy8192:.2f} ms "
      f"(pixel bytes alone: {o('BM_CopyPixels/4096'):.2f} / {o('BM_CopyPixels/8192'):.2f} ms)")
print(f"{'operation':36} {'ours ms':>9}  {'compared with':28} {'ms':>9} {'ratio':>6} {'limit':>6}")
failures = 0
for what, ms, against, against_ms, limit in rows:
    ratio = ms / against_ms
    verdict = "ok" if ratio <= limit else "SLOW"
    failures += verdict != "ok"
    print(f"{what:36} {ms:9.2f}  {against:28} {against_ms:9.2f} {ratio:6.2f} {limit:6.2f} {verdict}")
print("all within their targets" if failures == 0 else f"{failures} above their targets")
PY
