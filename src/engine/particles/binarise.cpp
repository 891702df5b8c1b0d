#include "particles/binarise.h"

#include <algorithm>

namespace tarkemo {

bool Binarise(const GrayBitmap& bitmap, uint8_t threshold, LabelMap& map) {
    if (!LabelMapFits(bitmap, map)) return false;
    const int32_t w = bitmap.width;
    for (int32_t r = 0; r < bitmap.height; ++r) {
        const uint8_t* row = bitmap.Row(r);
        int32_t* out = map.data() + static_cast<size_t>(r) * static_cast<size_t>(bitmap.stride);
        for (int32_t c = 0; c < w; ++c) out[c] = -static_cast<int32_t>(row[c] >= threshold);
        std::fill(out + w, out + bitmap.stride, 0);
    }
    return true;
}

}  // namespace tarkemo
