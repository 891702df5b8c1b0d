// "Normalisieren": stretches the gray values in use linearly onto the full range 0 ... 255.
#pragma once

#include "image/gray_bitmap.h"

namespace tarkemo {

// With min and max the smallest and largest pixel, every pixel p becomes (p - min) * factor,
// factor = 255.0 / (max - min) in double precision, truncated toward zero. False, changing nothing,
// when all pixels are equal.
bool NormalizeRange(GrayBitmap& bitmap);

}  // namespace tarkemo
