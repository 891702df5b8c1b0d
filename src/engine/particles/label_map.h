// The label map of a particle count: one signed 32-bit entry per byte of the pixel buffer, row
// padding included, so that a pixel and its entry share the linear index r * stride + c.
// After marking an entry is -1 (marked) or 0; after labelling the root's index + 1; after
// numbering the particle number 1..N. Padding entries stay 0 throughout.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "image/gray_bitmap.h"
#include "image/large_buffer.h"

namespace tarkemo {

// Large maps live on huge pages and reuse released buffers (see large_buffer.h).
using LabelMap = std::vector<int32_t, LargeBufferAllocator<int32_t>>;

// A zeroed map for the bitmap. None when the machine cannot hold it.
std::optional<LabelMap> AllocateLabelMap(const GrayBitmap& bitmap);

// True when the map has exactly one entry per byte of the bitmap's pixel buffer.
inline bool LabelMapFits(const GrayBitmap& bitmap, const LabelMap& map) {
    return !bitmap.pixels.empty() && map.size() == bitmap.ByteCount();
}

}  // namespace tarkemo
