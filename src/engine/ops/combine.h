// Combining the image pixel by pixel with a second image of the same size (from a file or the
// clipboard). Only the palette indices take part; the current colour table stays.
#pragma once

#include <cstdint>

#include "image/gray_bitmap.h"

namespace tarkemo {

// p is the current image's pixel, q the other image's pixel at the same place.
enum class CombineOp {
    And,           // p AND q
    Or,            // p OR q
    Xor,           // p XOR q
    Add,           // min(p + q, 255)
    Mix,           // (p + q) / 2, rounded down
    Subtract,      // max(p - q, 0)
    SubtractFrom,  // max(q - p, 0)
    Multiply,      // p * (q / 255.0) + 0.3 in double precision, truncated toward zero
};

// Overwrites every pixel of `current` with the combination. False, changing nothing, when the two
// images differ in width or height.
bool CombineWithOther(GrayBitmap& current, const GrayBitmap& other, CombineOp op);

}  // namespace tarkemo
