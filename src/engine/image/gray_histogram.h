// The histogram of an image's gray values as the palette editor shows it: exact 64-bit counts of
// every pixel value (row padding excluded), and the same counts scaled so the largest is 255.
#pragma once

#include <array>
#include <cstdint>

#include "image/gray_bitmap.h"

namespace tarkemo {

using GrayCounts = std::array<uint64_t, 256>;
// Scaled counts: the largest is 255, a value that occurs never scales to 0.
using GrayHistogram = std::array<float, 256>;

// How often each value 0..255 occurs among the pixels (columns below width, all rows). Uses the
// processor's widest kernel; every kernel gives the same counts.
GrayCounts CountGrayValues(const GrayBitmap& bitmap);

// The same counts with the kernel every processor runs (for comparison in tests and benchmarks).
GrayCounts CountGrayValuesPortable(const GrayBitmap& bitmap);

// The counts scaled so that the largest becomes 255; all 0 when every count is 0.
GrayHistogram ScaleHistogram(const GrayCounts& counts);

// ScaleHistogram(CountGrayValues(bitmap)).
GrayHistogram ComputeGrayHistogram(const GrayBitmap& bitmap);

}  // namespace tarkemo
