// Embeds an image in a larger (or equal) canvas at an offset and fills the new margin by one
// of the fill rules. Behind resizing, the margin of the linear filters and the spectrum grid.
#pragma once

#include <cstdint>
#include <optional>

#include "image/gray_bitmap.h"
#include "image/progress.h"

namespace tarkemo {

// Margin fill rules; 0 ... 255 fill with that gray value.
enum FillRule : int32_t {
    kFlipInc = -1,
    kFlipExc = -2,
    kPeriodic = -3,
    kLocalMean = -4,
    kMeanGray = 256,
};

// Out-of-range rules (below -4 or above 256) mean gray value 0.
int32_t NormaliseFillRule(int32_t fillRule);

// A new newWidth x newHeight bitmap holding `input` at (offsetX, offsetY) (offsetY counted from the
// bottom row), margin filled by fillRule; same colour table and resolution. None when the image does
// not fit at that offset, memory is short, or the optional Progress (asked during the growth of local
// means, the one slow rule) said stop.
std::optional<GrayBitmap> ExtendBorder(const GrayBitmap& input, int32_t newWidth, int32_t newHeight,
                                       int32_t offsetX, int32_t offsetY, int32_t fillRule,
                                       Progress* progress = nullptr);

// In-place form: on success `bitmap` is replaced by the extended image; on failure it is unchanged.
bool ExtendBorderInPlace(GrayBitmap& bitmap, int32_t newWidth, int32_t newHeight, int32_t offsetX,
                         int32_t offsetY, int32_t fillRule, Progress* progress = nullptr);

}  // namespace tarkemo
