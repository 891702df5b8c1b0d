// The FFT kernels on eight double lanes (AVX-512; this file is compiled for x86-64-v4 and only
// called on processors that have it).

// GCC 12 takes the deliberately undefined source register inside its AVX-512 intrinsics for an
// uninitialised variable.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include "spectrum/fft_kernels.h"

namespace tarkemo::fft {
namespace {

struct Avx512 {
    using R = __m512d;
    using F = __m256;
    static constexpr int kLanes = 8;
    static R Load(const double* p) { return _mm512_load_pd(p); }
    static void Store(double* p, R v) { _mm512_store_pd(p, v); }
    static F LoadF(const float* p) { return _mm256_loadu_ps(p); }
    static void StoreF(float* p, F v) { _mm256_storeu_ps(p, v); }
    static R Widen(F v) { return _mm512_cvtps_pd(v); }
    static F Narrow(R v) { return _mm512_cvtpd_ps(v); }
    static R Set1(double v) { return _mm512_set1_pd(v); }

    // Each round exchanges one bit of the row index with the same bit of the column index.
    static void TransposeF(F t[8]) {
        for (int i = 0; i < 8; ++i) {
            if (i & 4) continue;
            const F a = t[i], b = t[i + 4];
            t[i] = _mm256_permute2f128_ps(a, b, 0x20);
            t[i + 4] = _mm256_permute2f128_ps(a, b, 0x31);
        }
        for (int i = 0; i < 8; ++i) {
            if (i & 2) continue;
            const F a = t[i], b = t[i + 2];
            t[i] = _mm256_shuffle_ps(a, b, 0x44);
            t[i + 2] = _mm256_shuffle_ps(a, b, 0xEE);
        }
        for (int i = 0; i < 8; ++i) {
            if (i & 1) continue;
            const F a = t[i], b = t[i + 1];
            t[i] = _mm256_blend_ps(a, _mm256_moveldup_ps(b), 0xAA);
            t[i + 1] = _mm256_blend_ps(_mm256_movehdup_ps(a), b, 0xAA);
        }
    }
};

}  // namespace

Kernels KernelsAvx512() {
    return {Avx512::kLanes, &RowBatch<Avx512>, &ColumnStrip<Avx512>};
}

}  // namespace tarkemo::fft
