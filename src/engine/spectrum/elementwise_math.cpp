#include "spectrum/elementwise_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

// Four doubles per vector: AVX2 + FMA where the processor has it (x86-64-v3), two SSE2 halves
// otherwise. Logarithm, exponential and arc tangent are argument reduction plus a Taylor
// polynomial long enough for double precision, so rounding the result to float almost always
// gives the float of the C library's double result.
#if defined(__x86_64__) && !defined(__clang__)
#define TARKEMO_MATH_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define TARKEMO_MATH_CLONES
#endif
#define TARKEMO_INLINE inline __attribute__((always_inline))

// The helpers pass 32-byte vectors by value; they are always inlined, so no call ABI is involved.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tarkemo {
namespace {

using D4 = double __attribute__((vector_size(32)));
using I4 = int64_t __attribute__((vector_size(32)));
using F4 = float __attribute__((vector_size(16)));
constexpr size_t kLanes = 4;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kLn2Hi = 6.93147180369123816490e-01;  // trailing zero bits: k · kLn2Hi is exact
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kShifter = 6755399441055744.0;  // 1.5 · 2^52: adding it rounds to an integer

TARKEMO_INLINE D4 Splat(double value) {
    return D4{value, value, value, value};
}

TARKEMO_INLINE D4 Load(const float* p) {
    F4 f;
    std::memcpy(&f, p, sizeof f);
    return __builtin_convertvector(f, D4);
}

TARKEMO_INLINE void Store(float* p, D4 value) {
    const F4 f = __builtin_convertvector(value, F4);
    std::memcpy(p, &f, sizeof f);
}

TARKEMO_INLINE D4 Abs(D4 x) {
    return (D4)((I4)x & 0x7fffffffffffffffLL);
}

// Natural logarithm of positive, finite, normal x: x = 2^k · m with m in [√½, √2), then
// ln m = 2·atanh(s), s = (m − 1)/(m + 1), |s| < 0.1716, as a series in s².
TARKEMO_INLINE D4 LogPositive(D4 x) {
    const I4 bits = (I4)x;
    const I4 shifted = bits - 0x3fe6a09e667f3bcdLL;
    const I4 k = shifted >> 52;
    const D4 m = (D4)(bits - (shifted & static_cast<int64_t>(0xfff0000000000000ULL)));
    const D4 kd = (D4)(k + 0x4338000000000000LL) - kShifter;
    const D4 f = m - 1.0;
    const D4 s = f / (f + 2.0);
    const D4 z = s * s;
    D4 series = Splat(1.0 / 21);
    for (int j = 9; j >= 0; --j) series = series * z + 1.0 / (2 * j + 1);
    return kd * kLn2Hi + (2.0 * s * series + kd * kLn2Lo);
}

// e^y for y in [−110, 90]: y = n·ln 2 + r with |r| <= ½ ln 2, e^r by its Taylor polynomial to r^13.
TARKEMO_INLINE D4 ExpLimited(D4 y) {
    const D4 shifted = y * 1.4426950408889634 + kShifter;
    const D4 n = shifted - kShifter;
    const D4 r = (y - n * kLn2Hi) - n * kLn2Lo;
    double coefficient = 1.0;
    double coefficients[14];
    for (int k = 0; k < 14; ++k) {
        coefficients[k] = coefficient;
        coefficient /= k + 1;
    }
    D4 p = Splat(coefficients[13]);
    for (int k = 12; k >= 0; --k) p = p * r + coefficients[k];
    const D4 scale = (D4)(((I4)shifted + 1023) << 52);
    return p * scale;
}

TARKEMO_INLINE D4 PowerLanes(D4 x, double exponent) {
    const I4 regular = (x > 0.0) & (x < kInf);
    const D4 safe = regular ? x : Splat(1.0);
    D4 y = exponent * LogPositive(safe);
    y = y < -110.0 ? Splat(-110.0) : y;  // e^-110 is 0 as a float, e^90 infinite
    y = y > 90.0 ? Splat(90.0) : y;
    const D4 special = x < 0.0 ? Splat(kNaN) : x;  // 0, +inf and NaN are their own powers
    return regular ? ExpLimited(y) : special;
}

TARKEMO_INLINE D4 LogLanes(D4 x, double floorValue) {
    const I4 regular = (x > 0.0) & (x < kInf);
    const D4 safe = regular ? x : Splat(1.0);
    const D4 special = x == kInf ? x : Splat(floorValue);
    return regular ? LogPositive(safe) : special;
}

// atan(u) for |u| <= tan(π/12), a series in u² to u^29.
TARKEMO_INLINE D4 AtanSmall(D4 u) {
    const D4 z = u * u;
    D4 series = Splat(1.0 / 29);
    for (int j = 13; j >= 0; --j) series = series * z + ((j % 2 == 0) ? 1.0 : -1.0) / (2 * j + 1);
    return u * series;
}

// atan2(y, x) + offset: the angle of min/max(|x|, |y|) in 0 .. π/4, then the octant by symmetry.
TARKEMO_INLINE D4 PhaseLanes(D4 x, D4 y, double offset) {
    constexpr double kSqrt3 = 1.7320508075688772;
    const D4 ax = Abs(x), ay = Abs(y);
    const I4 steep = ay > ax;
    const D4 big = steep ? ay : ax;
    const D4 small = steep ? ax : ay;
    // Beyond tan(π/12): atan t = π/6 + atan((t√3 − 1)/(t + √3)), with t = small/big folded in.
    const I4 reduce = small > big * 0.2679491924311227;
    const D4 numerator = reduce ? small * kSqrt3 - big : small;
    D4 denominator = reduce ? small + big * kSqrt3 : big;
    denominator = denominator == 0.0 ? Splat(1.0) : denominator;
    D4 angle = AtanSmall(numerator / denominator) + (reduce ? Splat(0.5235987755982988) : Splat(0.0));
    angle = (big == kInf) & (small == kInf) ? Splat(0.7853981633974483) : angle;
    angle = steep ? 1.5707963267948966 - angle : angle;
    angle = (I4)x < 0 ? 3.141592653589793 - angle : angle;
    angle = (D4)((I4)angle ^ ((I4)y & static_cast<int64_t>(0x8000000000000000ULL)));
    const I4 nan = (x != x) | (y != y);
    return nan ? Splat(kNaN) : angle + offset;
}

enum class Elementwise { kPower, kLog };

template <Elementwise kOp>
TARKEMO_INLINE D4 ApplyLanes(D4 x, double parameter) {
    if constexpr (kOp == Elementwise::kPower) return PowerLanes(x, parameter);
    return LogLanes(x, parameter);
}

// Applies the operation in place four elements at a time; the tail goes through a padded block.
template <Elementwise kOp>
TARKEMO_INLINE void ForEachBlock(float* values, size_t count, double parameter) {
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) Store(values + i, ApplyLanes<kOp>(Load(values + i), parameter));
    if (i == count) return;
    float block[kLanes] = {};
    std::memcpy(block, values + i, (count - i) * sizeof(float));
    Store(block, ApplyLanes<kOp>(Load(block), parameter));
    std::memcpy(values + i, block, (count - i) * sizeof(float));
}

}  // namespace

TARKEMO_MATH_CLONES void PhaseArray(const float* re, const float* im, float* out, size_t count) {
    const double offset = kPhaseOffset;
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) Store(out + i, PhaseLanes(Load(re + i), Load(im + i), offset));
    if (i == count) return;
    float blockRe[kLanes] = {}, blockIm[kLanes] = {}, blockOut[kLanes];
    std::memcpy(blockRe, re + i, (count - i) * sizeof(float));
    std::memcpy(blockIm, im + i, (count - i) * sizeof(float));
    Store(blockOut, PhaseLanes(Load(blockRe), Load(blockIm), offset));
    std::memcpy(out + i, blockOut, (count - i) * sizeof(float));
}

TARKEMO_MATH_CLONES void PowerArray(float* values, size_t count, float exponent) {
    ForEachBlock<Elementwise::kPower>(values, count, exponent);
}

TARKEMO_MATH_CLONES void LogArray(float* values, size_t count, float floorValue) {
    ForEachBlock<Elementwise::kLog>(values, count, floorValue);
}

float ReferencePhase(float re, float im) {
    return static_cast<float>(std::atan2(static_cast<double>(im), static_cast<double>(re)) +
                              static_cast<double>(kPhaseOffset));
}

float ReferencePower(float value, float exponent) {
    return static_cast<float>(std::pow(static_cast<double>(value), static_cast<double>(exponent)));
}

float ReferenceLog(float value, float floorValue) {
    return value > 0.0f ? static_cast<float>(std::log(static_cast<double>(value))) : floorValue;
}

}  // namespace tarkemo
