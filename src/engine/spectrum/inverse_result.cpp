#include "spectrum/inverse_result.h"

#include <cmath>
#include <limits>

#include "spectrum/elementwise_math.h"

namespace tarkemo {
namespace {

// One region row of source values into v (width floats).
void SourceRow(const float* re, const float* im, size_t width, InverseSource source, float* v) {
    switch (source) {
        case InverseSource::kMagnitude:
            // The squares of floats cannot overflow a double, so this is the hypotenuse.
            for (size_t x = 0; x < width; ++x) {
                const double a = re[x], b = im[x];
                v[x] = static_cast<float>(std::sqrt(a * a + b * b));
            }
            return;
        case InverseSource::kPhase:
            return PhaseArray(re, im, v, width);
        case InverseSource::kReal:
            for (size_t x = 0; x < width; ++x) v[x] = re[x];
            return;
        case InverseSource::kImaginary:
            for (size_t x = 0; x < width; ++x) v[x] = im[x];
            return;
    }
}

// Adding, absolute value and the multiplier, in the order of the dialog.
void AdjustRow(float* v, size_t width, const InverseSettings& settings) {
    if (settings.add != 0.0f) {
        const double s = settings.add;
        for (size_t x = 0; x < width; ++x) v[x] = static_cast<float>(v[x] + s);
    }
    if (settings.absolute) {
        for (size_t x = 0; x < width; ++x) v[x] = std::fabs(v[x]);
    }
    if (!settings.normalise && settings.multiplier != 1.0f) {
        const double k = settings.multiplier;
        for (size_t x = 0; x < width; ++x) v[x] = static_cast<float>(v[x] * k);
    }
}

uint8_t ToPixel(float v, float factor) {
    const double scaled = static_cast<double>(v) * factor;
    if (!(v >= 0.0f) || !(scaled >= 0.0)) return 0;  // negative, NaN, or +inf times a factor of 0
    if (scaled >= 256.0) return 255;
    return static_cast<uint8_t>(scaled);
}

float RowMax(const float* v, size_t width) {
    float best = -std::numeric_limits<float>::infinity();
    for (size_t x = 0; x < width; ++x) best = v[x] > best ? v[x] : best;
    return best;
}

}  // namespace

void ApplyInverseResult(ConstComplexField image, int32_t offsetX, int32_t offsetY,
                        const InverseSettings& settings, float* work, GrayBitmap& target) {
    const size_t gridWidth = static_cast<size_t>(image.width);
    const size_t width = static_cast<size_t>(target.width);
    const auto rowStart = [&](int32_t r) { return static_cast<size_t>(offsetY + r) * gridWidth + offsetX; };
    float max = -std::numeric_limits<float>::infinity();
#pragma omp parallel for schedule(static) reduction(max : max)
    for (int32_t r = 0; r < target.height; ++r) {
        float* v = work + rowStart(r);
        SourceRow(image.re + rowStart(r), image.im + rowStart(r), width, settings.source, v);
        AdjustRow(v, width, settings);
        if (settings.normalise) max = std::max(max, RowMax(v, width));
    }
    float factor = 1.0f;
    if (settings.normalise) factor = max > 0.0f ? static_cast<float>(255.0 / max) : 255.0f;
#pragma omp parallel for schedule(static)
    for (int32_t r = 0; r < target.height; ++r) {
        const float* v = work + rowStart(r);
        uint8_t* pixels = target.Row(r);
        for (size_t x = 0; x < width; ++x) pixels[x] = ToPixel(v[x], factor);
    }
}

void ApplyInverseResult(SpectrumContext& context, const InverseSettings& settings) {
    ApplyInverseResult(context.Filtered(), context.offsetX, context.offsetY, settings, context.work.get(),
                       *context.source);
}

}  // namespace tarkemo
