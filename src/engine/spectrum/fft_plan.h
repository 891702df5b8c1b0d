// Inside of the two-dimensional FFT: the tables of one transform length, the description of one
// call, and the kernels that run a batch of rows or a strip of columns on one instruction set.
// The kernels exist once per instruction set (SSE4, AVX2, AVX-512); every form performs the same
// double operations in the same order on each transform, so all give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarkemo::fft {

// Precomputed tables of one length n (a power of two, at least 2). The transform is a
// decimation in time on bit-reversed input: a first pass of radix 2, 4 or 8 (log2(n) mod 3 = 1,
// 2, 0) without twiddles, then radix-8 passes of span h = 2, 4 or 8, 8h, 64h ... < n.
struct Tables {
    int n = 0;
    int log2n = 0;
    int firstRadix = 2;                   // 2, 4 or 8
    const int32_t* bitReverse = nullptr;  // n entries
    // Per radix-8 pass, in pass order, for k = 0 .. h−1 fourteen doubles: w^k, w^2k ... w^7k
    // (real, imaginary) with w = e^(−2πi/(8h)).
    const double* twiddles = nullptr;
};

// One call: arrays, sizes and tables. The inverse runs the forward kernels with the real and
// imaginary arrays exchanged (swap(F(swap(x))) is the unscaled inverse transform).
struct Job {
    float* re = nullptr;
    float* im = nullptr;
    int width = 0;
    int height = 0;
    int strip = 0;       // columns per column strip: a multiple of the lane count, or width when smaller
    double scale = 1.0;  // applied when the columns are written back
    size_t block = 0;    // doubles of each of the two halves (real, imaginary) of a thread's scratch
    Tables rows;         // length width
    Tables columns;      // length height
};

// Column strips are at most this many floats wide.
constexpr int kMaxStripFloats = 64;

struct Kernels {
    int lanes = 0;
    // Transforms rows row0 .. row0 + lanes − 1 (fewer at the top of the grid).
    void (*rowBatch)(const Job& job, int row0, double* scratch) = nullptr;
    // Transforms columns col0 .. col0 + job.strip − 1 and applies job.scale.
    void (*columnStrip)(const Job& job, int col0, double* scratch) = nullptr;
};

Kernels KernelsSse();
Kernels KernelsAvx2();
Kernels KernelsAvx512();

enum class Isa { kSse, kAvx2, kAvx512 };

// Whether this processor runs the kernels of `isa`.
bool IsaSupported(Isa isa);

// From now on Fft2D uses the kernels of `isa` (SSE when it is not supported), so that tests can
// compare the forms; UseBestIsa() returns to the widest supported one.
void ForceIsa(Isa isa);
void UseBestIsa();

}  // namespace tarkemo::fft
