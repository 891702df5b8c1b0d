// The text of "Markierung ausmessen": height, width, area and diagonal of the marking, and for a
// gray-ramp image the smallest, mean and largest pixel value inside it. UTF-8.
#pragma once

#include <string>

#include "document/marking.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

// `value` (not negative) with exactly two decimals, rounded half away from zero before the
// integer digits are taken; a result below 1 has no integer digits (0.5 gives ".50", 0.996 "1.00").
std::string TwoDecimals(double value);

// The message for `marking` (taken with ordered edges and clamped to the image). The mean is the
// average of the column means; each appended piece is cut at 100 characters.
std::string MeasuringText(const GrayBitmap& bitmap, const Marking& marking, bool grayRamp);

}  // namespace tarkemo
