#!/usr/bin/env python3
"""Reference timings for the particle counting benchmark, one thread, on the generated image that
bench_particles counts: OpenCV connectedComponentsWithStats (8-connected) on the thresholded image
against our binarisation path, and scikit-image local_maxima (connectivity 2) + threshold mask +
label against our maxima path. Compares CPU times (the machine may be shared) and the counts."""
import json
import statistics
import sys
import time

import cv2
import numpy as np
from skimage.measure import label
from skimage.morphology import local_maxima

THRESHOLD = 50


def read_bmp(path):
    data = open(path, "rb").read()
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = int.from_bytes(data[22:26], "little", signed=True)
    stride = (width * 8 + 31) // 32 * 4
    rows = np.frombuffer(data, np.uint8, stride * height, offset).reshape(height, stride)
    return rows[::-1, :width].copy()


def median_cpu_seconds(run, repetitions):
    times, result = [], None
    for _ in range(repetitions):
        start = time.process_time()
        result = run()
        times.append(time.process_time() - start)
    return statistics.median(times), result


def ours(path, name):
    """Median CPU seconds and the particle counter of one of our benchmarks."""
    results = json.load(open(path))["benchmarks"]
    runs = [b for b in results if b["run_name"] == name]
    median = [b for b in runs if b.get("aggregate_name") == "median"]
    chosen = median[0] if median else runs[0]
    counter = next(b.get("particles") for b in runs if "particles" in b)
    return chosen["cpu_time"] / 1000.0, int(round(counter))  # reported in milliseconds


def maxima_regions(image):
    mask = local_maxima(image, connectivity=2) & (image >= THRESHOLD)
    return label(mask, connectivity=2, return_num=True)[1]


def main():
    image = read_bmp(sys.argv[1])
    cv2.setNumThreads(1)
    binary = (image >= THRESHOLD).astype(np.uint8)
    opencv, cv_result = median_cpu_seconds(
        lambda: cv2.connectedComponentsWithStats(binary, connectivity=8, ltype=cv2.CV_32S), 7)
    skimage_time, sk_count = median_cpu_seconds(lambda: maxima_regions(image), 3)
    binarise, regions = ours(sys.argv[2], "BM_BinarisePath/0")
    maxima, maxima_count = ours(sys.argv[2], "BM_MaximaPath/0")
    cv_regions = cv_result[0] - 1  # label 0 is the background
    print(f"image {image.shape[1]} x {image.shape[0]}, threshold {THRESHOLD}, one thread, CPU time (median)")
    print(f"regions: ours {regions}, OpenCV {cv_regions} ({'same' if regions == cv_regions else 'DIFFERENT'})")
    print(f"maxima:  ours {maxima_count}, scikit-image {sk_count} ({'same' if maxima_count == sk_count else 'DIFFERENT'})")
    print(f"Binarise .. FilterByArea (with statistics)       {binarise * 1000:8.1f} ms")
    print(f"OpenCV connectedComponentsWithStats             {opencv * 1000:8.1f} ms   ours / OpenCV = "
          f"{binarise / opencv:5.2f}  (target < 1: {'met' if binarise < opencv else 'MISSED'})")
    print(f"FindMaxima .. FilterByArea                      {maxima * 1000:8.1f} ms")
    print(f"scikit-image local_maxima + mask + label        {skimage_time * 1000:8.1f} ms   ours / scikit-image = "
          f"{maxima / skimage_time:5.2f}  (target <= 0.33: {'met' if 3 * maxima <= skimage_time else 'MISSED'})")


if __name__ == "__main__":
    main()
