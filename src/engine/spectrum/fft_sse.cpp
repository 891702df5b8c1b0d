// The FFT kernels on two double lanes (SSE4.1, the baseline of every build).
#include <immintrin.h>

#include "spectrum/fft_kernels.h"

namespace tarkemo::fft {
namespace {

struct Sse {
    using R = __m128d;
    using F = __m128;  // two floats in the low half
    static constexpr int kLanes = 2;
    static R Load(const double* p) { return _mm_load_pd(p); }
    static void Store(double* p, R v) { _mm_store_pd(p, v); }
    static F LoadF(const float* p) {
        return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    }
    static void StoreF(float* p, F v) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(v));
    }
    static R Widen(F v) { return _mm_cvtps_pd(v); }
    static F Narrow(R v) { return _mm_cvtpd_ps(v); }
    static R Set1(double v) { return _mm_set1_pd(v); }

    static void TransposeF(F t[2]) {
        const F both = _mm_unpacklo_ps(t[0], t[1]);
        t[0] = both;
        t[1] = _mm_movehl_ps(both, both);
    }
};

}  // namespace

Kernels KernelsSse() {
    return {Sse::kLanes, &RowBatch<Sse>, &ColumnStrip<Sse>};
}

}  // namespace tarkemo::fft
