#include "spectrum/inverse_result.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

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
    const auto writeRow = [&](int32_t r, const float* v, float factor) {
        ToPixels(v, width, 0.0f, factor, target.Row(r));
    };
    if (!settings.normalise) {
        // One pass: each row's values stay in a row buffer in the cache.
#pragma omp parallel
        {
            std::vector<float> v(width);
#pragma omp for schedule(static)
            for (int32_t r = 0; r < target.height; ++r) {
                SourceRow(image.re + rowStart(r), image.im + rowStart(r), width, settings.source, v.data());
                AdjustRow(v.data(), width, settings);
                writeRow(r, v.data(), 1.0f);
            }
        }
        return;
    }
    // Normalising needs the largest value of the whole region first; the values wait in `work`.
    float max = -std::numeric_limits<float>::infinity();
#pragma omp parallel for schedule(static) reduction(max : max)
    for (int32_t r = 0; r < target.height; ++r) {
        float* v = work + rowStart(r);
        SourceRow(image.re + rowStart(r), image.im + rowStart(r), width, settings.source, v);
        AdjustRow(v, width, settings);
        max = std::max(max, RowMax(v, width));
    }
    const float factor = max > 0.0f ? static_cast<float>(255.0 / max) : 255.0f;
#pragma omp parallel for schedule(static)
    for (int32_t r = 0; r < target.height; ++r) writeRow(r, work + rowStart(r), factor);
}

void ApplyInverseResult(SpectrumContext& context, const InverseSettings& settings) {
    ApplyInverseResult(context.Filtered(), context.offsetX, context.offsetY, settings, context.work.get(),
                       *context.source);
}

void BackupSourcePixels(SpectrumContext& context) {
    std::memcpy(context.working.pixels.data(), context.source->pixels.data(), context.source->ByteCount());
}

void RestoreSourcePixels(SpectrumContext& context) {
    std::memcpy(context.source->pixels.data(), context.working.pixels.data(), context.source->ByteCount());
}

}  // namespace tarkemo
