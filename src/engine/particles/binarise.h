// Marking by threshold: every pixel at or above the minimum gray value is marked, so each
// particle becomes one 8-connected region of bright pixels.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"
#include "particles/label_map.h"

namespace tarkemo {

// Writes every entry of the map: -1 where the pixel value is >= threshold, 0 elsewhere and for
// the row padding. False (map untouched) when the map does not fit the bitmap.
bool Binarise(const GrayBitmap& bitmap, uint8_t threshold, LabelMap& map);

}  // namespace tarkemo
