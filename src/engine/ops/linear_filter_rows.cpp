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

// Computes `kRows` output rows together so that every source vector loaded serves each of them:
// output row r takes source row s with kernel row s - r. Each pixel still receives its products in
// kernel order (rows from the bottom, columns from the left), so the sums are those of the plain loop.
template <typename Lanes, int32_t kBlock, int32_t kRows, typename T>
inline __attribute__((always_inline)) void CorrelateBlocks(const T* const* rows, const T* coefficients,
                                                           int32_t kernelWidth, int32_t kernelHeight,
                                                           int32_t count, T* const* sums) {
    constexpr int32_t kLanes = sizeof(Lanes) / sizeof(T);
    constexpr int32_t kVectors = kBlock / kLanes;
    const int32_t sourceRows = kernelHeight + kRows - 1;
    for (int32_t x = 0; x < count; x += kBlock) {
        Lanes acc[kRows][kVectors] = {};
        for (int32_t s = 0; s < sourceRows; ++s) {
            const T* source = rows[s] + x;
            // Output rows first ... last take this source row.
            const int32_t first = s - kernelHeight + 1;
            const int32_t last = s;
            for (int32_t j = 0; j < kernelWidth; ++j) {
                Lanes pixels[kVectors];
#pragma GCC unroll 8
                for (int32_t v = 0; v < kVectors; ++v) {
                    std::memcpy(&pixels[v], source + j + v * kLanes, sizeof(Lanes));
                }
#pragma GCC unroll 8
                for (int32_t r = 0; r < kRows; ++r) {
                    if (r >= first && r <= last) {
                        // c - 0 is c for every c, so this is a plain broadcast (0 + c would not be).
                        const Lanes weight =
                            coefficients[static_cast<size_t>(s - r) * kernelWidth + j] - Lanes{};
#pragma GCC unroll 8
                        for (int32_t v = 0; v < kVectors; ++v) acc[r][v] += pixels[v] * weight;
                    }
                }
            }
        }
        for (int32_t r = 0; r < kRows; ++r) std::memcpy(sums[r] + x, acc[r], sizeof acc[r]);
    }
}

template <typename Lanes, int32_t kBlock, typename T>
inline __attribute__((always_inline)) void Correlate(const T* const* rows, const T* coefficients,
                                                     int32_t kernelWidth, int32_t kernelHeight,
                                                     int32_t rowCount, int32_t count, T* const* sums) {
    if (rowCount == kRowsAtOnce) {
        CorrelateBlocks<Lanes, kBlock, kRowsAtOnce>(rows, coefficients, kernelWidth, kernelHeight, count,
                                                    sums);
        return;
    }
    for (int32_t r = 0; r < rowCount; ++r) {
        CorrelateBlocks<Lanes, kBlock, 1>(rows + r, coefficients, kernelWidth, kernelHeight, count, sums + r);
    }
}

using Double2 = double __attribute__((vector_size(16)));
using Double4 = double __attribute__((vector_size(32)));
using Double8 = double __attribute__((vector_size(64)));
using Float4 = float __attribute__((vector_size(16)));
using Float8 = float __attribute__((vector_size(32)));
using Float16 = float __attribute__((vector_size(64)));

template <typename T>
using CorrelateFunction = void (*)(const T* const*, const T*, int32_t, int32_t, int32_t, int32_t, T* const*);

// Two vectors per output row and four rows keep eight accumulators in registers on every target.
void CorrelateBaseline(const double* const* rows, const double* coefficients, int32_t kernelWidth,
                       int32_t kernelHeight, int32_t rowCount, int32_t count, double* const* sums) {
    Correlate<Double2, 4>(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

void CorrelateBaseline(const float* const* rows, const float* coefficients, int32_t kernelWidth,
                       int32_t kernelHeight, int32_t rowCount, int32_t count, float* const* sums) {
    Correlate<Float4, 8>(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

#if TARKEMO_X86_VERSIONS
#define TARKEMO_AVX2 __attribute__((target("arch=x86-64-v3")))
#define TARKEMO_AVX512 __attribute__((target("arch=x86-64-v4")))

TARKEMO_AVX2 void CorrelateAvx2(const double* const* rows, const double* coefficients, int32_t kernelWidth,
                                int32_t kernelHeight, int32_t rowCount, int32_t count, double* const* sums) {
    Correlate<Double4, 8>(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

TARKEMO_AVX2 void CorrelateAvx2(const float* const* rows, const float* coefficients, int32_t kernelWidth,
                                int32_t kernelHeight, int32_t rowCount, int32_t count, float* const* sums) {
    Correlate<Float8, 16>(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

TARKEMO_AVX512 void CorrelateAvx512(const double* const* rows, const double* coefficients,
                                    int32_t kernelWidth, int32_t kernelHeight, int32_t rowCount,
                                    int32_t count, double* const* sums) {
    Correlate<Double8, 32>(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

TARKEMO_AVX512 void CorrelateAvx512(const float* const* rows, const float* coefficients, int32_t kernelWidth,
                                    int32_t kernelHeight, int32_t rowCount, int32_t count,
                                    float* const* sums) {
    Correlate<Float16, 64>(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}
#endif

template <typename T>
CorrelateFunction<T> FunctionFor(RowIsa isa) {
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

template <typename T>
void Dispatch(const T* const* rows, const T* coefficients, int32_t kernelWidth, int32_t kernelHeight,
              int32_t rowCount, int32_t count, T* const* sums) {
    static const CorrelateFunction<T> best = FunctionFor<T>(BestIsa());
    best(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

template <typename T>
void DispatchWith(RowIsa isa, const T* const* rows, const T* coefficients, int32_t kernelWidth,
                  int32_t kernelHeight, int32_t rowCount, int32_t count, T* const* sums) {
    FunctionFor<T>(RowIsaSupported(isa) ? isa : RowIsa::kBaseline)(rows, coefficients, kernelWidth,
                                                                   kernelHeight, rowCount, count, sums);
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
void ConvertRow(const uint8_t* src, int32_t count, double* dst) {
    for (int32_t x = 0; x < count; ++x) dst[x] = src[x];
}

TARKEMO_ROW_CLONES
void ConvertRow(const uint8_t* src, int32_t count, float* dst) {
    for (int32_t x = 0; x < count; ++x) dst[x] = src[x];
}

void CorrelateRows(const double* const* rows, const double* coefficients, int32_t kernelWidth,
                   int32_t kernelHeight, int32_t rowCount, int32_t count, double* const* sums) {
    Dispatch(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

void CorrelateRows(const float* const* rows, const float* coefficients, int32_t kernelWidth,
                   int32_t kernelHeight, int32_t rowCount, int32_t count, float* const* sums) {
    Dispatch(rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

void CorrelateRowsWith(RowIsa isa, const double* const* rows, const double* coefficients, int32_t kernelWidth,
                       int32_t kernelHeight, int32_t rowCount, int32_t count, double* const* sums) {
    DispatchWith(isa, rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

void CorrelateRowsWith(RowIsa isa, const float* const* rows, const float* coefficients, int32_t kernelWidth,
                       int32_t kernelHeight, int32_t rowCount, int32_t count, float* const* sums) {
    DispatchWith(isa, rows, coefficients, kernelWidth, kernelHeight, rowCount, count, sums);
}

namespace {

inline __attribute__((always_inline)) uint8_t ToPixel(float value) {
    float v = value > 0.0f ? value : 0.0f;  // also turns NaN into 0
    v = v < 255.0f ? v : 255.0f;
    return static_cast<uint8_t>(static_cast<int32_t>(v));
}

template <bool kMultiply, int32_t kSign, bool kToPixels, typename T>
inline __attribute__((always_inline)) void Scale(const T* sums, const double* divisors, double offset,
                                                 int32_t count, float* values, uint8_t* pixels) {
    for (int32_t x = 0; x < count; ++x) {
        const double sum = sums[x];
        const double scaled = kMultiply ? sum * divisors[x] : sum / divisors[x];
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

template <bool kMultiply, bool kToPixels, typename T>
inline __attribute__((always_inline)) void ScaleWithSign(const T* sums, const double* divisors, double offset,
                                                         int32_t sign, int32_t count, float* values,
                                                         uint8_t* pixels) {
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

template <typename T>
inline __attribute__((always_inline)) void ScaleAny(const T* sums, const double* divisors, bool multiply,
                                                    float addOffset, int32_t sign, int32_t count,
                                                    float* values, uint8_t* pixels) {
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

}  // namespace

TARKEMO_ROW_CLONES
void ScaleRow(const double* sums, const double* divisors, bool multiply, float addOffset, int32_t sign,
              int32_t count, float* values, uint8_t* pixels) {
    ScaleAny(sums, divisors, multiply, addOffset, sign, count, values, pixels);
}

TARKEMO_ROW_CLONES
void ScaleRow(const float* sums, const double* divisors, bool multiply, float addOffset, int32_t sign,
              int32_t count, float* values, uint8_t* pixels) {
    ScaleAny(sums, divisors, multiply, addOffset, sign, count, values, pixels);
}

TARKEMO_ROW_CLONES
void ValuesToPixels(const float* values, int32_t count, uint8_t* pixels) {
    for (int32_t x = 0; x < count; ++x) pixels[x] = ToPixel(values[x]);
}

TARKEMO_ROW_CLONES
void RowRange(const float* values, int32_t count, float& low, float& high) {
    constexpr int32_t kLanes = sizeof(Float8) / sizeof(float);
    low = values[0];
    high = values[0];
    int32_t x = 0;
    if (count >= kLanes) {
        Float8 lows;
        std::memcpy(&lows, values, sizeof lows);
        Float8 highs = lows;
        for (x = kLanes; x + kLanes <= count; x += kLanes) {
            Float8 v;
            std::memcpy(&v, values + x, sizeof v);
            lows = v < lows ? v : lows;
            highs = v > highs ? v : highs;
        }
        for (int32_t lane = 0; lane < kLanes; ++lane) {
            low = lows[lane] < low ? lows[lane] : low;
            high = highs[lane] > high ? highs[lane] : high;
        }
    }
    for (; x < count; ++x) {
        low = values[x] < low ? values[x] : low;
        high = values[x] > high ? values[x] : high;
    }
}

TARKEMO_ROW_CLONES
void StretchRow(const float* values, int32_t count, double low, double factor, uint8_t* pixels) {
    for (int32_t x = 0; x < count; ++x) pixels[x] = ToPixel(static_cast<float>((values[x] - low) * factor));
}

}  // namespace tarkemo
