#!/usr/bin/env python3
"""Times the reference implementations that the image operations are compared with, on the
generator images written by tarkemo-gen. One thread; prints one line per measurement:
NAME<TAB>BEST_MILLISECONDS. Used by compare_ops.sh only, never by the product."""
import sys
import time

import cv2
import numpy as np


def best_ms(function, repetitions):
    best = float("inf")
    for _ in range(repetitions):
        start = time.perf_counter()
        function()
        best = min(best, time.perf_counter() - start)
    return best * 1000.0


def gradient(image):
    gy, gx = np.gradient(image.astype(np.float64))
    return np.hypot(gx, gy)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: reference_ops.py IMAGE_4096.bmp REPETITIONS")
    cv2.setNumThreads(1)
    image = cv2.imread(sys.argv[1], cv2.IMREAD_GRAYSCALE)
    if image is None:
        sys.exit("cannot read " + sys.argv[1])
    repetitions = int(sys.argv[2])
    square15 = np.ones((15, 15), np.uint8)
    measurements = [
        ("opencv_median3", lambda: cv2.medianBlur(image, 3)),
        ("opencv_median5", lambda: cv2.medianBlur(image, 5)),
        ("opencv_median15", lambda: cv2.medianBlur(image, 15)),
        ("opencv_erode_dilate15", lambda: (cv2.erode(image, square15), cv2.dilate(image, square15))),
        ("numpy_gradient_hypot", lambda: gradient(image)),
    ]
    for name, function in measurements:
        slow = name in ("opencv_median15", "numpy_gradient_hypot")
        print(f"{name}\t{best_ms(function, max(2, repetitions // 2) if slow else repetitions):.3f}", flush=True)


if __name__ == "__main__":
    main()
