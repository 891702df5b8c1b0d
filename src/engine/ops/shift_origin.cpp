#include "ops/shift_origin.h"

#include <cstring>
#include <new>
#include <utility>

#include "image/memory_limits.h"

namespace tarkemo {
namespace {

int64_t PositiveModulo(int64_t value, int64_t n) {
    const int64_t r = value % n;
    return r < 0 ? r + n : r;
}

}  // namespace

bool ShiftOrigin(GrayBitmap& bitmap, int64_t a, int64_t b) {
    if (bitmap.width < 1 || bitmap.height < 1) return false;
    const auto shiftX = static_cast<size_t>(PositiveModulo(a, bitmap.width));
    const auto shiftY = static_cast<int32_t>(PositiveModulo(b, bitmap.height));
    if (shiftX == 0 && shiftY == 0) return true;
    // The shifted rows go into a new buffer that then replaces the old one: one pass over the pixels.
    if (!AllocationFits(bitmap.ByteCount())) return false;
    PixelBuffer shifted;
    try {
        shifted = PixelBuffer(bitmap.ByteCount(), false);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const auto width = static_cast<size_t>(bitmap.width);
    const auto stride = static_cast<size_t>(bitmap.stride);
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const int32_t sourceY = y + shiftY < bitmap.height ? y + shiftY : y + shiftY - bitmap.height;
        const uint8_t* source = bitmap.Row(sourceY);
        uint8_t* target = shifted.data() + static_cast<size_t>(y) * stride;
        std::memcpy(target, source + shiftX, width - shiftX);
        std::memcpy(target + (width - shiftX), source, shiftX);
        std::memcpy(target + width, bitmap.Row(y) + width, stride - width);  // the row's filler bytes stay
    }
    bitmap.pixels = std::move(shifted);
    return true;
}

}  // namespace tarkemo
