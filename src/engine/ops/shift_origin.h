// The cyclic shift of the origin tool: rows and columns wrap around so that a chosen pixel
// becomes the bottom-left corner.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"

namespace tarkemo {

// The new pixel at (x, y) is the old pixel at ((x + a) mod W, (y + b) mod H). Any shift is taken
// modulo the image size, so (W, H) and (0, 0) leave the image as it is. The pixels are written into
// a new buffer that replaces the old one; false, changing nothing, when it cannot be allocated.
bool ShiftOrigin(GrayBitmap& bitmap, int64_t a, int64_t b);

}  // namespace tarkemo
