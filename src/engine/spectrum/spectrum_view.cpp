#include "spectrum/spectrum_view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "spectrum/elementwise_math.h"

namespace tarkemo {
namespace {

// Elements per parallel chunk: small enough to stay in the cache between the fused steps.
constexpr size_t kChunk = size_t{1} << 14;

size_t ChunkCount(size_t count) {
    return (count + kChunk - 1) / kChunk;
}

// Runs body(chunk, begin, end) over the index range in chunks, in parallel. Every element is
// independent of the others and per-chunk results are combined in chunk order afterwards, so the
// result does not depend on the thread count.
template <typename Body>
void ForChunks(size_t count, Body body) {
    const int64_t chunks = static_cast<int64_t>(ChunkCount(count));
#pragma omp parallel for schedule(static) if (chunks > 1)
    for (int64_t c = 0; c < chunks; ++c) {
        const size_t begin = static_cast<size_t>(c) * kChunk;
        body(static_cast<size_t>(c), begin, std::min(count, begin + kChunk));
    }
}

void ComputeQuantity(ConstComplexField field, SpectrumQuantity quantity, size_t begin, size_t end, float* q) {
    const float* re = field.re;
    const float* im = field.im;
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
}

// The range of the whole field from the ranges of its chunks.
ValueRange Combine(const std::vector<ValueRange>& chunks) {
    const float inf = std::numeric_limits<float>::infinity();
    ValueRange all{-inf, inf, inf};
    for (const ValueRange& range : chunks) {
        all.max = range.max > all.max ? range.max : all.max;
        all.min = range.min < all.min ? range.min : all.min;
        all.smallestPositive = std::min(all.smallestPositive, range.smallestPositive);
    }
    return all;
}

struct Stretch {
    float min = 0.0f;
    float factor = 255.0f;
};

float FactorFor(double range) {
    return range > 0.0 ? static_cast<float>(255.0 / range) : 255.0f;
}

// Quantity and power in one pass per chunk, while it is in the cache.
Stretch PowerLawScale(ConstComplexField field, const SpectrumViewSettings& settings, float* q) {
    std::vector<ValueRange> chunks(ChunkCount(field.Count()));
    ForChunks(field.Count(), [&](size_t chunk, size_t begin, size_t end) {
        ComputeQuantity(field, settings.quantity, begin, end, q);
        PowerArray(q + begin, end - begin, settings.exponent);
        chunks[chunk] = RangeOf(q + begin, end - begin);
    });
    return {0.0f, FactorFor(Combine(chunks).max)};
}

// The logarithm needs the smallest positive value of the whole field first: two passes.
Stretch DecibelScale(ConstComplexField field, const SpectrumViewSettings& settings, float* q) {
    std::vector<ValueRange> chunks(ChunkCount(field.Count()));
    ForChunks(field.Count(), [&](size_t chunk, size_t begin, size_t end) {
        ComputeQuantity(field, settings.quantity, begin, end, q);
        chunks[chunk] = RangeOf(q + begin, end - begin);
    });
    const float smallest = Combine(chunks).smallestPositive;
    // ln(0 / 10) is -inf: a field without positive values has nothing to stretch and renders 0.
    if (smallest == std::numeric_limits<float>::infinity()) {
        const float floorValue = -std::numeric_limits<float>::infinity();
        ForChunks(field.Count(),
                  [&](size_t, size_t begin, size_t end) { std::fill(q + begin, q + end, floorValue); });
        return {floorValue, 0.0f};
    }
    const float floorValue = static_cast<float>(std::log(static_cast<double>(smallest) / 10.0));
    ForChunks(field.Count(), [&](size_t chunk, size_t begin, size_t end) {
        LogArray(q + begin, end - begin, floorValue);
        chunks[chunk] = RangeOf(q + begin, end - begin);
    });
    const ValueRange all = Combine(chunks);
    return {all.min, FactorFor(static_cast<double>(all.max) - static_cast<double>(all.min))};
}

void WritePixels(const float* q, Stretch stretch, GrayBitmap& target) {
    const size_t width = static_cast<size_t>(target.width);
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < target.height; ++y) {
        ToPixels(q + static_cast<size_t>(y) * width, width, stretch.min, stretch.factor, target.Row(y));
    }
}

}  // namespace

void MultiplySpectrumByFilter(SpectrumContext& context) {
    const float *a = context.spectrumRe.get(), *b = context.spectrumIm.get();
    const float *c = context.filterRe.get(), *d = context.filterIm.get();
    float *re = context.filteredRe.get(), *im = context.filteredIm.get();
    ForChunks(context.Count(), [&](size_t, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            const double ar = a[i], ai = b[i], fr = c[i], fi = d[i];
            re[i] = static_cast<float>(ar * fr - ai * fi);
            im[i] = static_cast<float>(ar * fi + ai * fr);
        }
    });
}

void RenderComplexField(ConstComplexField field, const SpectrumViewSettings& settings, float* work,
                        GrayBitmap& target) {
    const Stretch stretch = settings.scale == SpectrumScale::kPowerLaw ? PowerLawScale(field, settings, work)
                                                                       : DecibelScale(field, settings, work);
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
