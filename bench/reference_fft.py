#!/usr/bin/env python3
"""Times scipy.fft.fft2 (pocketfft) on C-contiguous complex64 grids of the sizes bench_fft uses,
forward, one worker (and two at 4096). scipy's transform is out of place: it allocates its result,
which counts in its time. Prints one line per measurement: NAME<TAB>BEST_WALL_MS<TAB>BEST_CPU_MS.
Used by compare_fft.sh only, never by the product."""
import sys
import time

import numpy as np
import scipy.fft


def best_ms(function, repetitions):
    wall = cpu = float("inf")
    function()  # warm-up: pocketfft caches its plan
    for _ in range(repetitions):
        start_wall, start_cpu = time.perf_counter(), time.process_time()
        function()
        wall = min(wall, time.perf_counter() - start_wall)
        cpu = min(cpu, time.process_time() - start_cpu)
    return wall * 1000.0, cpu * 1000.0


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: reference_fft.py REPETITIONS")
    repetitions = int(sys.argv[1])
    random = np.random.default_rng(12345)
    for side, workers in ((1024, 1), (2048, 1), (4096, 1), (4096, 2)):
        grid = (random.uniform(0, 255, (side, side)) + 1j * random.uniform(0, 255, (side, side))).astype(np.complex64)
        wall, cpu = best_ms(lambda: scipy.fft.fft2(grid, workers=workers), repetitions)
        print(f"scipy_fft2/{side}/{workers}\t{wall:.3f}\t{cpu:.3f}", flush=True)


if __name__ == "__main__":
    main()
