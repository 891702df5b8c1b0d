// The FFT kernels on four double lanes (AVX2; this file is compiled for x86-64-v3 and only called
// on processors that have it).
#include <immintrin.h>

#include "spectrum/fft_kernels.h"

namespace tarkemo::fft {
namespace {

struct Avx2 {
    using R = __m256d;
    using F = __m128;
    static constexpr int kLanes = 4;
    static R Load(const double* p) { return _mm256_load_pd(p); }
    static void Store(double* p, R v) { _mm256_store_pd(p, v); }
    static F LoadF(const float* p) { return _mm_loadu_ps(p); }
    static void StoreF(float* p, F v) { _mm_storeu_ps(p, v); }
    static R Widen(F v) { return _mm256_cvtps_pd(v); }
    static F Narrow(R v) { return _mm256_cvtpd_ps(v); }
    static R Set1(double v) { return _mm256_set1_pd(v); }

    // Each round exchanges one bit of the row index with the same bit of the column index.
    static void TransposeF(F t[4]) {
        for (int i = 0; i < 4; ++i) {
            if (i & 2) continue;
            const F a = t[i], b = t[i + 2];
            t[i] = _mm_movelh_ps(a, b);
            t[i + 2] = _mm_movehl_ps(b, a);
        }
        for (int i = 0; i < 4; ++i) {
            if (i & 1) continue;
            const F a = t[i], b = t[i + 1];
            t[i] = _mm_blend_ps(a, _mm_moveldup_ps(b), 0xA);
            t[i + 1] = _mm_blend_ps(_mm_movehdup_ps(a), b, 0xA);
        }
    }
};

}  // namespace

Kernels KernelsAvx2() {
    return {Avx2::kLanes, &RowBatch<Avx2>, &ColumnStrip<Avx2>};
}

}  // namespace tarkemo::fft
