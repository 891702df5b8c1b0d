#include "spectrum/spectrum_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "spectrum/elementwise_math.h"

namespace tarkemo {
namespace {

// Elements per parallel chunk: large enough to keep the per-chunk overhead small.
constexpr int64_t kChunk = 1 << 16;

int64_t ChunkCount(size_t count) {
    return static_cast<int64_t>((count + kChunk - 1) / kChunk);
}

// Runs body(begin, end) over the index range in chunks, in parallel; every element is
// independent of the others, so the result does not depend on the thread count.
template <typename Body>
void ForChunks(size_t count, Body body) {
    const int64_t chunks = ChunkCount(count);
#pragma omp parallel for schedule(static) if (chunks > 1)
    for (int64_t c = 0; c < chunks; ++c) {
        const size_t begin = static_cast<size_t>(c) * kChunk;
        body(begin, std::min(count, begin + kChunk));
    }
}

void ComputeQuantity(ConstComplexField field, SpectrumQuantity quantity, float* q) {
    const float* re = field.re;
    const float* im = field.im;
    ForChunks(field.Count(), [&](size_t begin, size_t end) {
        switch (quantity) {
            case SpectrumQuantity::kMagnitude:
                for (size_t i = begin; i < end; ++i) {
                    const double a = re[i], b = im[i];
                    q[i] = static_cast<float>(a * a + b * b);
                }
                return;
            case SpectrumQuantity::kPhase:
                return PhaseArray(re + begin, im + begin, q + begin, end - begin);
            case SpectrumQuantity::kRealMagnitude:
                for (size_t i = begin; i < end; ++i) q[i] = std::fabs(re[i]);
                return;
            case SpectrumQuantity::kImaginaryMagnitude:
                for (size_t i = begin; i < end; ++i) q[i] = std::fabs(im[i]);
                return;
        }
    });
}

// Largest value, NaN skipped; -inf when there is none.
float MaxValue(const float* q, size_t count) {
    float best = -std::numeric_limits<float>::infinity();
    for (size_t i = 0; i < count; ++i) best = q[i] > best ? q[i] : best;
    return best;
}

// Smallest value above 0; 0 when there is none.
float SmallestPositive(const float* q, size_t count) {
    float best = std::numeric_limits<float>::infinity();
    for (size_t i = 0; i < count; ++i) best = q[i] > 0.0f && q[i] < best ? q[i] : best;
    return best == std::numeric_limits<float>::infinity() ? 0.0f : best;
}

// Smallest value, NaN skipped.
float MinValue(const float* q, size_t count) {
    float best = std::numeric_limits<float>::infinity();
    for (size_t i = 0; i < count; ++i) best = q[i] < best ? q[i] : best;
    return best;
}

struct Stretch {
    float min = 0.0f;
    float factor = 255.0f;
};

float FactorFor(double range) {
    return range > 0.0 ? static_cast<float>(255.0 / range) : 255.0f;
}

Stretch PowerLawScale(float* q, size_t count, float exponent) {
    ForChunks(count, [&](size_t begin, size_t end) { PowerArray(q + begin, end - begin, exponent); });
    const float max = MaxValue(q, count);
    return {0.0f, FactorFor(max)};
}

Stretch DecibelScale(float* q, size_t count) {
    const float smallest = SmallestPositive(q, count);
    // ln(0 / 10) is -inf: a field without positive values has nothing to stretch and renders 0.
    const float floorValue = static_cast<float>(std::log(static_cast<double>(smallest) / 10.0));
    ForChunks(count, [&](size_t begin, size_t end) { LogArray(q + begin, end - begin, floorValue); });
    if (smallest == 0.0f) return {floorValue, 0.0f};
    const float min = MinValue(q, count);
    const float max = MaxValue(q, count);
    return {min, FactorFor(static_cast<double>(max) - static_cast<double>(min))};
}

uint8_t ToPixel(float q, Stretch stretch) {
    const double v = (static_cast<double>(q) - static_cast<double>(stretch.min)) * stretch.factor;
    if (!(v > 0.0)) return 0;  // also NaN
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(v);
}

void WritePixels(const float* q, Stretch stretch, GrayBitmap& target) {
    const size_t width = static_cast<size_t>(target.width);
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < target.height; ++y) {
        const float* row = q + static_cast<size_t>(y) * width;
        uint8_t* pixels = target.Row(y);
        for (size_t x = 0; x < width; ++x) pixels[x] = ToPixel(row[x], stretch);
    }
}

}  // namespace

void MultiplySpectrumByFilter(SpectrumContext& context) {
    const float *a = context.spectrumRe.get(), *b = context.spectrumIm.get();
    const float *c = context.filterRe.get(), *d = context.filterIm.get();
    float *re = context.filteredRe.get(), *im = context.filteredIm.get();
    ForChunks(context.Count(), [&](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            const double ar = a[i], ai = b[i], fr = c[i], fi = d[i];
            re[i] = static_cast<float>(ar * fr - ai * fi);
            im[i] = static_cast<float>(ar * fi + ai * fr);
        }
    });
}

void RenderComplexField(ConstComplexField field, const SpectrumViewSettings& settings, float* work,
                        GrayBitmap& target) {
    const size_t count = field.Count();
    ComputeQuantity(field, settings.quantity, work);
    const Stretch stretch = settings.scale == SpectrumScale::kPowerLaw
                                ? PowerLawScale(work, count, settings.exponent)
                                : DecibelScale(work, count);
    WritePixels(work, stretch, target);
}

void RenderSpectrumView(SpectrumContext& context, const SpectrumViewSettings& settings, bool recompute) {
    if (recompute) MultiplySpectrumByFilter(context);
    ComplexField field = context.Spectrum();
    if (settings.field == SpectrumViewField::kFilter) field = context.Filter();
    if (settings.field == SpectrumViewField::kFiltered) field = context.Filtered();
    RenderComplexField(field, settings, context.work.get(), context.working);
}

}  // namespace tarkemo
