#include "spectrum/elementwise_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "ops/cpu_features.h"

#define TARKEMO_INLINE inline __attribute__((always_inline))

// The helpers pass vectors by value; they are always inlined, so no call ABI is involved.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tarkemo {
namespace {

// The kernels once per instruction set, each with vectors as wide as its registers: wider generic
// vectors would have their comparisons split into scalar code.
namespace baseline {
constexpr size_t kLanes = 2;
#include "spectrum/elementwise_kernels.inc"
}  // namespace baseline

#if defined(__x86_64__) && !defined(__clang__)
#define TARKEMO_X86_VERSIONS 1
#pragma GCC push_options
#pragma GCC target("arch=x86-64-v3")
namespace avx2 {
constexpr size_t kLanes = 4;
#include "spectrum/elementwise_kernels.inc"
}  // namespace avx2
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("arch=x86-64-v4")
namespace avx512 {
constexpr size_t kLanes = 8;
#include "spectrum/elementwise_kernels.inc"
}  // namespace avx512
#pragma GCC pop_options
#else
#define TARKEMO_X86_VERSIONS 0
#endif

enum class Isa { kBaseline, kAvx2, kAvx512 };

// The widest kernels the processor runs; the baseline while the tests restrict the instruction sets.
[[maybe_unused]] Isa BestIsa() {
#if TARKEMO_X86_VERSIONS
    if (!CpuHasAvx2()) return Isa::kBaseline;
    static const bool v4 = __builtin_cpu_supports("x86-64-v4");
    static const bool v3 = __builtin_cpu_supports("x86-64-v3");
    if (v4) return Isa::kAvx512;
    if (v3) return Isa::kAvx2;
#endif
    return Isa::kBaseline;
}

}  // namespace

#if TARKEMO_X86_VERSIONS
#define TARKEMO_DISPATCH(call)   \
    switch (BestIsa()) {         \
        case Isa::kAvx512:       \
            return avx512::call; \
        case Isa::kAvx2:         \
            return avx2::call;   \
        case Isa::kBaseline:     \
            break;               \
    }                            \
    return baseline::call
#else
#define TARKEMO_DISPATCH(call) return baseline::call
#endif

void PhaseArray(const float* re, const float* im, float* out, size_t count) {
    TARKEMO_DISPATCH(PhaseArray(re, im, out, count));
}

void PowerArray(float* values, size_t count, float exponent) {
    TARKEMO_DISPATCH(PowerArray(values, count, exponent));
}

void LogArray(float* values, size_t count, float floorValue) {
    TARKEMO_DISPATCH(LogArray(values, count, floorValue));
}

void ToPixels(const float* values, size_t count, float min, float factor, unsigned char* pixels) {
    TARKEMO_DISPATCH(ToPixels(values, count, min, factor, pixels));
}

ValueRange RangeOf(const float* values, size_t count) {
    TARKEMO_DISPATCH(RangeOf(values, count));
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
