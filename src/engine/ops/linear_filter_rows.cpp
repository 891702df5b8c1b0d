#include "ops/linear_filter_rows.h"

#include "ops/linear_filter.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>

// The hot loops get AVX2 + FMA (x86-64-v3) and AVX-512 (x86-64-v4) versions next to the baseline
// one, chosen by the processor's features. The results are identical: a product of an 8-bit pixel and a float
// coefficient has at most 32 significant bits and is exact in double precision, so a fused multiply-add
// rounds exactly as the separate multiplication and addition do, and the additions of each pixel keep their
// order.
#if defined(__x86_64__) && !defined(__clang__)
#define TARKEMO_X86_VERSIONS 1
#define TARKEMO_ROW_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define TARKEMO_X86_VERSIONS 0
#define TARKEMO_ROW_CLONES
#endif

namespace tarkemo {
namespace {

template <typename Lanes>
inline __attribute__((always_inline)) void CorrelateBlocks(const double* const* rows,
                                                           const double* coefficients, int32_t kernelWidth,
                                                           int32_t kernelHeight, int32_t count,
                                                           double* sums) {
    constexpr int32_t kLanes = sizeof(Lanes) / sizeof(double);
    constexpr int32_t kVectors = kCorrelationBlock / kLanes;
    for (int32_t x = 0; x < count; x += kCorrelationBlock) {
        Lanes acc[kVectors] = {};
        for (int32_t i = 0; i < kernelHeight; ++i) {
            const double* source = rows[i] + x;
            const double* weights = coefficients + static_cast<size_t>(i) * static_cast<size_t>(kernelWidth);
            for (int32_t j = 0; j < kernelWidth; ++j) {
                const Lanes weight = Lanes{} + weights[j];
#pragma GCC unroll 16
                for (int32_t v = 0; v < kVectors; ++v) {
                    Lanes pixels;
                    std::memcpy(&pixels, source + j + v * kLanes, sizeof pixels);
                    acc[v] += pixels * weight;
                }
            }
        }
        std::memcpy(sums + x, acc, sizeof acc);
    }
}

using Lanes2 = double __attribute__((vector_size(16)));
using Lanes4 = double __attribute__((vector_size(32)));
using Lanes8 = double __attribute__((vector_size(64)));

using CorrelateFunction = void (*)(const double* const*, const double*, int32_t, int32_t, int32_t, double*);

void CorrelateBaseline(const double* const* rows, const double* coefficients, int32_t kernelWidth,
                       int32_t kernelHeight, int32_t count, double* sums) {
    CorrelateBlocks<Lanes2>(rows, coefficients, kernelWidth, kernelHeight, count, sums);
}

#if TARKEMO_X86_VERSIONS
__attribute__((target("arch=x86-64-v3"))) void CorrelateAvx2(const double* const* rows,
                                                             const double* coefficients, int32_t kernelWidth,
                                                             int32_t kernelHeight, int32_t count,
                                                             double* sums) {
    CorrelateBlocks<Lanes4>(rows, coefficients, kernelWidth, kernelHeight, count, sums);
}

__attribute__((target("arch=x86-64-v4"))) void CorrelateAvx512(const double* const* rows,
                                                               const double* coefficients,
                                                               int32_t kernelWidth, int32_t kernelHeight,
                                                               int32_t count, double* sums) {
    CorrelateBlocks<Lanes8>(rows, coefficients, kernelWidth, kernelHeight, count, sums);
}
#endif

CorrelateFunction FunctionFor(RowIsa isa) {
#if TARKEMO_X86_VERSIONS
    if (isa == RowIsa::kAvx512) return CorrelateAvx512;
    if (isa == RowIsa::kAvx2) return CorrelateAvx2;
#endif
    (void)isa;
    return CorrelateBaseline;
}

RowIsa BestIsa() {
    for (const RowIsa isa : {RowIsa::kAvx512, RowIsa::kAvx2}) {
        if (RowIsaSupported(isa)) return isa;
    }
    return RowIsa::kBaseline;
}

}  // namespace

bool RowIsaSupported(RowIsa isa) {
#if TARKEMO_X86_VERSIONS
    __builtin_cpu_init();
    if (isa == RowIsa::kAvx512) return __builtin_cpu_supports("x86-64-v4");
    if (isa == RowIsa::kAvx2) return __builtin_cpu_supports("x86-64-v3");
#endif
    return isa == RowIsa::kBaseline;
}

TARKEMO_ROW_CLONES
void ConvertRowToDouble(const uint8_t* src, int32_t count, double* dst) {
    for (int32_t x = 0; x < count; ++x) dst[x] = src[x];
}

void CorrelateRow(const double* const* rows, const double* coefficients, int32_t kernelWidth,
                  int32_t kernelHeight, int32_t count, double* sums) {
    static const CorrelateFunction best = FunctionFor(BestIsa());
    best(rows, coefficients, kernelWidth, kernelHeight, count, sums);
}

void CorrelateRowWith(RowIsa isa, const double* const* rows, const double* coefficients, int32_t kernelWidth,
                      int32_t kernelHeight, int32_t count, double* sums) {
    FunctionFor(RowIsaSupported(isa) ? isa : RowIsa::kBaseline)(rows, coefficients, kernelWidth, kernelHeight,
                                                                count, sums);
}

namespace {

inline __attribute__((always_inline)) uint8_t ToPixel(float value) {
    float v = value > 0.0f ? value : 0.0f;  // also turns NaN into 0
    v = v < 255.0f ? v : 255.0f;
    return static_cast<uint8_t>(static_cast<int32_t>(v));
}

template <bool kMultiply, int32_t kSign, bool kToPixels>
inline __attribute__((always_inline)) void Scale(const double* sums, const double* divisors, double offset,
                                                 int32_t count, float* values, uint8_t* pixels) {
    for (int32_t x = 0; x < count; ++x) {
        const double scaled = kMultiply ? sums[x] * divisors[x] : sums[x] / divisors[x];
        float v = static_cast<float>(scaled + offset);
        if constexpr (kSign == kSignAbs) v = std::fabs(v);
        if constexpr (kSign == kSignNegativeToZero) v = v < 0.0f ? 0.0f : v;
        if constexpr (kToPixels) {
            pixels[x] = ToPixel(v);
        } else {
            values[x] = v;
        }
    }
}

template <bool kMultiply, bool kToPixels>
inline __attribute__((always_inline)) void ScaleWithSign(const double* sums, const double* divisors,
                                                         double offset, int32_t sign, int32_t count,
                                                         float* values, uint8_t* pixels) {
    switch (sign) {
        case kSignAbs:
            Scale<kMultiply, kSignAbs, kToPixels>(sums, divisors, offset, count, values, pixels);
            break;
        case kSignNegativeToZero:
            Scale<kMultiply, kSignNegativeToZero, kToPixels>(sums, divisors, offset, count, values, pixels);
            break;
        default:
            Scale<kMultiply, kSignKeep, kToPixels>(sums, divisors, offset, count, values, pixels);
            break;
    }
}

}  // namespace

TARKEMO_ROW_CLONES
void ScaleRow(const double* sums, const double* divisors, bool multiply, float addOffset, int32_t sign,
              int32_t count, float* values, uint8_t* pixels) {
    const double offset = addOffset;
    if (pixels != nullptr) {
        if (multiply) {
            ScaleWithSign<true, true>(sums, divisors, offset, sign, count, values, pixels);
        } else {
            ScaleWithSign<false, true>(sums, divisors, offset, sign, count, values, pixels);
        }
    } else if (multiply) {
        ScaleWithSign<true, false>(sums, divisors, offset, sign, count, values, pixels);
    } else {
        ScaleWithSign<false, false>(sums, divisors, offset, sign, count, values, pixels);
    }
}

TARKEMO_ROW_CLONES
void ValuesToPixels(const float* values, int32_t count, uint8_t* pixels) {
    for (int32_t x = 0; x < count; ++x) pixels[x] = ToPixel(values[x]);
}

}  // namespace tarkemo
