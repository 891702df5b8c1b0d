#include "particles/label_map.h"

#include <new>

#include "image/memory_limits.h"

namespace tarkemo {

std::optional<LabelMap> AllocateLabelMap(const GrayBitmap& bitmap) {
    const size_t entries = bitmap.ByteCount();
    if (entries == 0 || !AllocationFits(entries * sizeof(int32_t))) return std::nullopt;
    try {
        return LabelMap(entries, 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace tarkemo
