#include "spectrum/spectrum_context.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "image/memory_limits.h"
#include "ops/border_extension.h"
#include "spectrum/fft.h"

namespace tarkemo {
namespace {

constexpr int kArrayCount = 7;

bool LayoutHolds(const GrayBitmap& source, const SpectrumLayout& layout) {
    return layout.offsetX >= 0 && layout.offsetY >= 0 && layout.offsetX + source.width <= layout.width &&
           layout.offsetY + source.height <= layout.height;
}

// Allocates the seven arrays uninitialised; false when one cannot be had (the context frees the others).
bool AllocateArrays(SpectrumContext& context) {
    const size_t count = context.Count();
    for (FloatArray* array : {&context.spectrumRe, &context.spectrumIm, &context.filterRe, &context.filterIm,
                              &context.filteredRe, &context.filteredIm, &context.work}) {
        *array = AllocateFloatArray(count);
        if (!*array) return false;
    }
    return true;
}

void LoadWorkingBitmap(SpectrumContext& context) {
    const size_t width = static_cast<size_t>(context.width);
    for (int32_t y = 0; y < context.height; ++y) {
        const uint8_t* row = context.working.Row(y);
        float* re = context.spectrumRe.get() + static_cast<size_t>(y) * width;
        for (size_t x = 0; x < width; ++x) re[x] = row[x];
    }
    std::fill_n(context.spectrumIm.get(), context.Count(), 0.0f);
}

}  // namespace

void FreeFloats::operator()(float* p) const {
    std::free(p);
}

FloatArray AllocateFloatArray(size_t count) {
    constexpr size_t kHugePage = size_t{2} << 20;
    if (count > std::numeric_limits<size_t>::max() / sizeof(float) - kHugePage) return nullptr;
    const size_t bytes = std::max<size_t>(count * sizeof(float), 1);
    if (bytes < kHugePage) return FloatArray(static_cast<float*>(std::malloc(bytes)));
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory != nullptr) madvise(memory, rounded, MADV_HUGEPAGE);  // a hint; failure changes nothing
    return FloatArray(static_cast<float*>(memory));
}

uint64_t SpectrumContextBytes(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return 0;
    const uint64_t w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
    const uint64_t perElement = kArrayCount * sizeof(float) + 1;  // arrays and the working bitmap
    if (h > std::numeric_limits<uint64_t>::max() / perElement / w)
        return std::numeric_limits<uint64_t>::max();
    const uint64_t scratch = 2 * sizeof(float) * std::max(w, h);
    return w * h * perElement + scratch;
}

std::optional<SpectrumContext> CreateSpectrumContext(GrayBitmap& source, const SpectrumLayout& layout) {
    if (!IsSpectrumSide(layout.width) || !IsSpectrumSide(layout.height)) return std::nullopt;
    if (layout.width > kMaxSpectrumSide || layout.height > kMaxSpectrumSide) return std::nullopt;
    if (!LayoutHolds(source, layout)) return std::nullopt;
    const uint64_t bytes = SpectrumContextBytes(layout.width, layout.height);
    if (bytes > std::numeric_limits<size_t>::max() || !AllocationFits(static_cast<size_t>(bytes))) {
        return std::nullopt;
    }
    SpectrumContext context;
    context.source = &source;
    context.width = static_cast<int32_t>(layout.width);
    context.height = static_cast<int32_t>(layout.height);
    context.offsetX = static_cast<int32_t>(layout.offsetX);
    context.offsetY = static_cast<int32_t>(layout.offsetY);
    context.fillRule = layout.fillRule;
    if (!AllocateArrays(context)) return std::nullopt;
    auto working = ExtendBorder(source, context.width, context.height, context.offsetX, context.offsetY,
                                context.fillRule);
    if (!working) return std::nullopt;
    context.working = std::move(*working);
    LoadWorkingBitmap(context);
    return context;
}

bool TransformSpectrumForward(SpectrumContext& context, Progress* progress) {
    return Fft2D(context.spectrumRe.get(), context.spectrumIm.get(), context.width, context.height, +1,
                 progress);
}

void BeginSpectrumEditing(SpectrumContext& context) {
    ShiftSpectrum(context.spectrumRe.get(), context.spectrumIm.get(), context.work.get(), context.width,
                  context.height, +1);
    const size_t count = context.Count();
    std::fill_n(context.filterRe.get(), count, 1.0f);
    std::fill_n(context.filterIm.get(), count, 0.0f);
    std::memcpy(context.filteredRe.get(), context.spectrumRe.get(), count * sizeof(float));
    std::memcpy(context.filteredIm.get(), context.spectrumIm.get(), count * sizeof(float));
}

bool FinishSpectrumEditing(SpectrumContext& context, Progress* progress) {
    ShiftSpectrum(context.filteredRe.get(), context.filteredIm.get(), context.work.get(), context.width,
                  context.height, -1);
    return Fft2D(context.filteredRe.get(), context.filteredIm.get(), context.width, context.height, -1,
                 progress);
}

}  // namespace tarkemo
