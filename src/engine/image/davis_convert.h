// Turning the samples of a DaVis file into an 8-bit gray image: linear scaling between the
// smallest and the largest sample, with line 0 of the file as the top row of the image.
//
// Float samples that are NaN or infinite take no part in the smallest and largest sample and
// become 0; a file without any finite sample, like one whose samples are all equal, gives an
// image of zeros.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/davis_import.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

struct DavisSampleRange {
    double min = 0;              // smallest finite sample
    double max = 0;              // largest finite sample
    bool anyFinite = false;      // false when no sample is finite (min and max are then 0)
    int64_t nonFiniteCount = 0;  // NaN and infinite float samples
};

// The range of the first frame's samples.
DavisSampleRange FindDavisSampleRange(const DavisImage& image);

// A new width x height bitmap with the identity gray ramp. Bitmap row y (from the bottom) holds
// file line height - 1 - y. Each pixel is truncated toward zero from
//   16-bit samples: (s - min) * (255 / (max - min)), the factor computed first,
//   float samples:  (s - min) * 255 / (max - min), left to right,
// all in double precision; a range of zero width gives 0 everywhere. So 16-bit samples 0 and 25
// give 0 and 254 (the factor is just below 10.2), floats -1, 0 and 1 give 0, 127 and 255.
// None when the bitmap cannot be created (too large for a bitmap or for memory); never throws.
std::optional<GrayBitmap> ConvertDavisToBitmap(const DavisImage& image);

// Reads and converts in one call, releasing the samples before it returns. On failure `error`
// says which message to show (DavisErrorMessage); kBitmapFailed means the file was read but no
// bitmap could be made for it.
std::optional<GrayBitmap> ImportDavisFile(const std::string& path, DavisError& error);

}  // namespace tarkemo
