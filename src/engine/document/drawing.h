// The drawing pen: segments of square pen dabs written into a bitmap, clipped to the marking. The
// drawing tool paints with a palette index; in restore mode the same footprint copies the bytes
// of a backup taken earlier, which erases the preview of a straight line.
#pragma once

#include <cstdint>

#include "document/marking.h"
#include "document/view_geometry.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

inline constexpr int kMinPenSize = 1;
inline constexpr int kMaxPenSize = 9;

// Receives every pixel a segment writes, for callers that keep values beside the pixels (the
// spectrum editor's filter).
class SegmentObserver {
  public:
    virtual ~SegmentObserver() = default;
    virtual void PixelWritten(int32_t x, int32_t y) = 0;
};

// What a segment writes: `index`, or with a backup (a copy of the pixel buffer with the bitmap's
// stride and height) the backup's byte at the same position.
struct PenInk {
    uint8_t index = 0;
    const uint8_t* backup = nullptr;
};

// The pixels a segment wrote, inclusive; empty when it wrote none.
struct TouchedArea {
    int32_t left = 0;
    int32_t bottom = 0;
    int32_t right = -1;
    int32_t top = -1;
    bool Empty() const { return right < left || top < bottom; }
    // Grows the area to hold `other`.
    void Add(const TouchedArea& other);
    friend bool operator==(const TouchedArea&, const TouchedArea&) = default;
};

// The rows and columns a pen of `penSize` covers around a centre: rows y - floor(n/2) ...
// y + floor((n-1)/2), columns x - floor((n-1)/2) ... x + floor(n/2), so an even pen has its extra
// row below and its extra column right of the centre.
struct PenReach {
    int32_t below = 0;
    int32_t above = 0;
    int32_t leftOf = 0;
    int32_t rightOf = 0;
};
PenReach PenReachOf(int penSize);

// Draws the segment from `a` to `b` (image pixels, possibly off the image) with a pen of
// `penSize` (brought into 1 ... 9). Equal end points draw one dab; otherwise a dab at every column
// of an x-major line (every row of a y-major one), the other coordinate rounded as the integer
// part of (start + t * slope + 0.5) in 64-bit floats. Only pixels inside both the image and
// `clip` (taken with its edges ordered) change. Returns the pixels written.
TouchedArea DrawSegment(GrayBitmap& bitmap, const Marking& clip, ImagePoint a, ImagePoint b, int penSize,
                        const PenInk& ink, SegmentObserver* observer = nullptr);

}  // namespace tarkemo
