#!/usr/bin/env python3
"""Reference timings for the linear filter benchmark: OpenCV filter2D in float32 and scipy
ndimage.correlate in float64 with the 5 x 5 Gauss kernel, one thread, on the generated image that
bench_filter filters, compared with bench_filter's results (Google Benchmark JSON): the built-in
kernel (whole-number coefficients, whose sums are exact in single precision) and the same filter
forced onto double-precision sums."""
import json
import statistics
import sys
import time

import cv2
import numpy as np
import scipy.ndimage


def read_bmp(path):
    data = open(path, "rb").read()
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = int.from_bytes(data[22:26], "little", signed=True)
    stride = (width * 8 + 31) // 32 * 4
    rows = np.frombuffer(data, np.uint8, stride * height, offset).reshape(height, stride)
    return rows[::-1, :width].copy()


def median_seconds(run, repetitions):
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def ours_seconds(path, name):
    results = [b for b in json.load(open(path))["benchmarks"] if b["run_name"] == name]
    medians = [b for b in results if b.get("aggregate_name") == "median"]
    chosen = medians[0] if medians else results[0]
    return chosen["real_time"] / 1000.0  # reported in milliseconds


def report(label, ours, opencv, scipy_time):
    print(f"{label:34s}{ours * 1000:8.1f} ms   ours / OpenCV = {ours / opencv:5.2f}"
          f" (target <= 1.5: {'met' if ours <= 1.5 * opencv else 'MISSED'})   scipy / ours = {scipy_time / ours:5.2f}"
          f" (target >= 7: {'met' if scipy_time >= 7 * ours else 'MISSED'})")


def main():
    image = read_bmp(sys.argv[1])
    ours = ours_seconds(sys.argv[2], "BM_Gauss5/threads:1/real_time")
    ours_double = ours_seconds(sys.argv[2], "BM_Gauss5DoubleSums/threads:1/real_time")
    cv2.setNumThreads(1)
    binomial = np.array([1, 4, 6, 4, 1], np.float64)
    kernel = np.outer(binomial, binomial) / 256.0
    f32 = image.astype(np.float32)
    f64 = image.astype(np.float64)
    opencv = median_seconds(
        lambda: cv2.filter2D(f32, -1, kernel.astype(np.float32), borderType=cv2.BORDER_REFLECT_101), 7)
    scipy_time = median_seconds(lambda: scipy.ndimage.correlate(f64, kernel, mode="mirror"), 3)
    print(f"image {image.shape[1]} x {image.shape[0]}, Gauss 5 x 5, one thread, medians")
    print(f"OpenCV filter2D float32           {opencv * 1000:8.1f} ms")
    print(f"scipy ndimage.correlate float64   {scipy_time * 1000:8.1f} ms")
    report("ApplyLinearFilter (as built in)", ours, opencv, scipy_time)
    report("ApplyLinearFilter (double sums)", ours_double, opencv, scipy_time)

if __name__ == "__main__":
    main()
