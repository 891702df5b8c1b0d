// The linear filter engine: correlates the whole image with a rectangular kernel of float
// coefficients, completes the neighbourhoods at the edge by a border rule (or divides by the
// sum of the coefficients inside the image), then scales, folds the sign, stretches and clamps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/gray_bitmap.h"
#include "image/progress.h"

namespace tarkemo {

// Values of LinearFilter::sign.
inline constexpr int32_t kSignKeep = 0;
inline constexpr int32_t kSignAbs = 1;
inline constexpr int32_t kSignNegativeToZero = 2;

// Values of LinearFilter::normalize.
inline constexpr int32_t kNormalizeDoNot = 0;
inline constexpr int32_t kNormalizeGlobal = 1;

// The filter file's "CoeffSum" border; the parser turns it into border 0 with divBy 0.
inline constexpr int32_t kBorderCoeffSum = -5;

// One complete linear filter. The kernel is stored row by row from the bottom: coefficient
// i * width + j weighs the pixel j - width/2 columns right of and i - height/2 rows above the
// output pixel (a correlation, not mirrored). A matrix written top row first is thus stored with
// its last written row at i = 0.
struct LinearFilter {
    std::string path;           // filter file last chosen; empty after a built-in kernel
    std::string name;           // label of the filter and of its undo step (UTF-8)
    std::vector<float> kernel;  // width * height coefficients
    int32_t width = 0;          // odd, >= 1
    int32_t height = 0;         // odd, >= 1
    int32_t border = 0;         // fill rule of the margin (see ExtendBorder)
    float divBy = 1.0f;         // divisor; 0 divides by the sum of the coefficients inside the image
    float addOffset = 0.0f;     // added after the division
    int32_t sign = kSignKeep;
    int32_t normalize = kNormalizeDoNot;
};

// Applies the filter to the whole image in place; size and colour table stay. Every pixel gets
// sum / divBy + addOffset (sums in double precision, then stored as float), the sign rule, the
// optional stretch of the result's range to 0 ... 255, then clamping to 0 ... 255 and truncation.
// Fails, leaving the image unchanged, when a kernel side is not a positive odd number, the kernel
// does not hold width * height finite coefficients, divBy or addOffset is not finite, memory is
// short, or (divBy 0) the coefficients inside the image sum to exactly 0 for some pixel.
// An optional Progress is asked after every few rows; told to stop, it returns false with the image
// unchanged.
bool ApplyLinearFilter(GrayBitmap& bitmap, const LinearFilter& filter, Progress* progress = nullptr);

}  // namespace tarkemo
