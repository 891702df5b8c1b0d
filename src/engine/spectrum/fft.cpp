#include "spectrum/fft.h"

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "ops/cpu_features.h"
#include "spectrum/fft_plan.h"

namespace tarkemo {
namespace fft {
namespace {

// -1: the widest supported instruction set; otherwise the forced Isa.
std::atomic<int> forcedIsa{-1};

// Column strips are this many floats wide (fewer when the grid is narrower): each row piece of a
// strip is a run of four whole cache lines, which the prefetchers and the page walks need, while
// the strip's scratch (height × 64 complex doubles) still stays in the caches near the core.
constexpr int kStripFloats = kMaxStripFloats;

// Below this many elements the threads cost more than they bring.
constexpr size_t kParallelElements = size_t{1} << 16;

bool IsPowerOfTwo(int n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

Kernels KernelsFor(Isa isa) {
    if (!IsaSupported(isa)) return KernelsSse();
    if (isa == Isa::kAvx512) return KernelsAvx512();
    if (isa == Isa::kAvx2) return KernelsAvx2();
    return KernelsSse();
}

Kernels ChosenKernels() {
    const int forced = forcedIsa.load(std::memory_order_relaxed);
    if (forced >= 0) return KernelsFor(static_cast<Isa>(forced));
    for (const Isa isa : {Isa::kAvx512, Isa::kAvx2}) {
        if (IsaSupported(isa)) return KernelsFor(isa);
    }
    return KernelsSse();
}

// The tables of one length and the memory behind them.
struct TableStore {
    std::vector<int32_t> bitReverse;
    std::vector<double> twiddles;
    Tables tables;
};

void BuildTables(int n, TableStore& store) {
    int log2n = 0;
    while ((1 << log2n) < n) ++log2n;
    store.bitReverse.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        int reversed = 0;
        for (int b = 0; b < log2n; ++b) reversed |= ((i >> b) & 1) << (log2n - 1 - b);
        store.bitReverse[static_cast<size_t>(i)] = reversed;
    }
    // Every twiddle comes from the exact angle of its power, not from a recurrence.
    const int first = log2n % 3 == 0 ? 8 : 1 << (log2n % 3);
    for (int h = first; 8 * h <= n; h *= 8) {
        const double step = 2.0 * M_PI / (8.0 * h);
        for (int k = 0; k < h; ++k) {
            for (int power = 1; power < 8; ++power) {
                const double angle = step * (static_cast<double>(power) * k);
                store.twiddles.push_back(std::cos(angle));
                store.twiddles.push_back(-std::sin(angle));
            }
        }
    }
    store.tables = {n, log2n, first, store.bitReverse.data(), store.twiddles.data()};
}

// Threads beyond the number of blocks of either pass would only cost scratch memory.
int ThreadCount(const Job& job, int lanes) {
    const size_t elements = static_cast<size_t>(job.width) * static_cast<size_t>(job.height);
    if (elements < kParallelElements || omp_in_parallel()) return 1;
    const int blocks = std::max((job.height + lanes - 1) / lanes, job.width / job.strip);
    return std::clamp(omp_get_max_threads(), 1, blocks);
}

// Rows in batches of one register's lanes, then columns in strips. The partition depends only on
// the sizes and the instruction set, so each transform is computed the same way whichever thread
// takes its block; blocks are handed out as threads come free, which keeps a machine shared with
// other work from stalling the whole team on one slow thread.
bool RunPasses(const Job& job, const Kernels& kernels, double* scratch, size_t scratchPerThread, int threads,
               Progress* progress) {
    const int rowBatches = (job.height + kernels.lanes - 1) / kernels.lanes;
    const int strips = job.width / job.strip;
    const int64_t total = int64_t{rowBatches} + strips;
    std::atomic<int64_t> done{0};
    std::atomic<bool> stop{false};
    const auto finished = [&]() {
        const int64_t now = done.fetch_add(1, std::memory_order_relaxed) + 1;
        if (ReportProgress(progress, now, total)) stop.store(true, std::memory_order_relaxed);
    };
#pragma omp parallel num_threads(threads)
    {
        double* own = scratch + static_cast<size_t>(omp_get_thread_num()) * scratchPerThread;
#pragma omp for schedule(dynamic)
        for (int batch = 0; batch < rowBatches; ++batch) {
            if (stop.load(std::memory_order_relaxed)) continue;
            kernels.rowBatch(job, batch * kernels.lanes, own);
            finished();
        }
#pragma omp for schedule(dynamic)
        for (int strip = 0; strip < strips; ++strip) {
            if (stop.load(std::memory_order_relaxed)) continue;
            kernels.columnStrip(job, strip * job.strip, own);
            finished();
        }
    }
    return !stop.load();
}

}  // namespace

bool IsaSupported(Isa isa) {
    switch (isa) {
        case Isa::kAvx512:
            return CpuHasAvx2() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                   __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
                   __builtin_cpu_supports("fma") && __builtin_cpu_supports("bmi2");
        case Isa::kAvx2:
            return CpuHasAvx2() && __builtin_cpu_supports("fma") && __builtin_cpu_supports("bmi2");
        case Isa::kSse:
            return true;
    }
    return false;
}

void ForceIsa(Isa isa) {
    forcedIsa.store(static_cast<int>(isa), std::memory_order_relaxed);
}

void UseBestIsa() {
    forcedIsa.store(-1, std::memory_order_relaxed);
}

}  // namespace fft

bool Fft2D(float* re, float* im, int width, int height, int sign, Progress* progress) {
    if (!fft::IsPowerOfTwo(width) || !fft::IsPowerOfTwo(height)) return false;
    const fft::Kernels kernels = fft::ChosenKernels();
    fft::Job job;
    // The inverse is the forward transform of the exchanged parts.
    job.re = sign > 0 ? re : im;
    job.im = sign > 0 ? im : re;
    job.width = width;
    job.height = height;
    job.strip = width < kernels.lanes ? width : std::max(kernels.lanes, std::min(width, fft::kStripFloats));
    job.scale = sign > 0 ? 1.0 / (static_cast<double>(width) * height) : 1.0;
    const size_t rowLanes = static_cast<size_t>(width) * kernels.lanes;
    const size_t columnLanes = static_cast<size_t>(height) * std::max(job.strip, kernels.lanes);
    job.block = (std::max(rowLanes, columnLanes) + 7) / 8 * 8;
    const size_t perThread = 2 * job.block + 16;
    const int threads = fft::ThreadCount(job, kernels.lanes);
    fft::TableStore rowTables, columnTables;
    std::unique_ptr<double[]> scratch;
    try {
        fft::BuildTables(width, rowTables);
        fft::BuildTables(height, columnTables);
        scratch = std::make_unique_for_overwrite<double[]>(perThread * static_cast<size_t>(threads) + 8);
    } catch (const std::bad_alloc&) {
        return false;
    }
    job.rows = rowTables.tables;
    job.columns = columnTables.tables;
    // Scratch blocks start on cache lines.
    const size_t misalignment = reinterpret_cast<uintptr_t>(scratch.get()) % 64 / sizeof(double);
    double* aligned = scratch.get() + (misalignment == 0 ? 0 : 8 - misalignment);
    return fft::RunPasses(job, kernels, aligned, perThread, threads, progress);
}

void ShiftSpectrum(float* re, float* im, float* scratch, int width, int height, int direction) {
    // W and H are even: both directions are the same permutation, which swaps each quadrant with
    // the opposite one in place, so the scratch array is not needed.
    (void)scratch;
    (void)direction;
    const size_t w = static_cast<size_t>(width), half = w / 2;
    const int rows = height / 2;
    const bool parallel = w * static_cast<size_t>(height) >= fft::kParallelElements && !omp_in_parallel();
#pragma omp parallel for schedule(static) if (parallel)
    for (int y = 0; y < rows; ++y) {
        for (float* array : {re, im}) {
            float* low = array + static_cast<size_t>(y) * w;
            float* high = array + static_cast<size_t>(y + rows) * w;
            std::swap_ranges(low, low + half, high + half);
            std::swap_ranges(low + half, low + w, high);
        }
    }
}

}  // namespace tarkemo
