// Marking by brightness maxima: a pixel is marked when it belongs to a plateau (a largest
// 8-connected set of pixels of one value) whose value is at least the threshold and none of
// whose pixels has a brighter neighbour. Each marked plateau later becomes one particle.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"
#include "particles/label_map.h"

namespace tarkemo {

// Writes every entry of the map: -1 for the pixels of maximal plateaus of value >= threshold,
// 0 for all others and for the row padding. Time and memory are linear in the pixels, however
// winding the plateaus are. False (map untouched) when the map does not fit the bitmap.
bool FindMaxima(const GrayBitmap& bitmap, uint8_t threshold, LabelMap& map);

}  // namespace tarkemo
