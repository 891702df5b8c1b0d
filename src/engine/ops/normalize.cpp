#include "ops/normalize.h"

#include <algorithm>
#include <cstdint>

namespace tarkemo {
namespace {

struct Range {
    uint8_t min = 255;
    uint8_t max = 0;
};

Range PixelRange(const GrayBitmap& bitmap) {
    uint8_t low = 255;
    uint8_t high = 0;
#pragma omp parallel for schedule(static) reduction(min : low) reduction(max : high)
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < bitmap.width; ++x) {
            low = std::min(low, row[x]);
            high = std::max(high, row[x]);
        }
    }
    return Range{low, high};
}

}  // namespace

bool NormalizeRange(GrayBitmap& bitmap) {
    const Range range = PixelRange(bitmap);
    if (range.min >= range.max) return false;
    // The factor is rounded once and then multiplied, exactly as the stretch is defined; for some
    // ranges this leaves the largest value at 254.
    const double factor = 255.0 / (range.max - range.min);
    const int32_t low = range.min;
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < bitmap.width; ++x) {
            row[x] = static_cast<uint8_t>(static_cast<int32_t>((row[x] - low) * factor));
        }
    }
    return true;
}

}  // namespace tarkemo
