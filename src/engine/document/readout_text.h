// The three lines of the InfoBox read-out (X, Y, gray value) for the main view, in the program's
// German texts, as UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "document/marking.h"
#include "document/view_geometry.h"
#include "image/gray_bitmap.h"

namespace tarkemo {

enum class ReadoutSituation {
    NoImage,          // no document
    CreatingMarking,  // a new marking is being dragged
    Outside,          // the pointer is not over the displayed image
    MovingMarking,    // the marking is being moved
    OnImage,          // the pointer is over image pixel (x, y)
};

// Numbers for the lines; which of them are used depends on the situation:
// CreatingMarking: x = marked width, y = marked height; MovingMarking: x = left, xExtent = width,
// y = bottom, yExtent = height; OnImage: x = column, xExtent = image width, y = row, yExtent = image
// height, gray = pixel value.
struct ReadoutValues {
    int64_t x = 0;
    int64_t xExtent = 0;
    int64_t y = 0;
    int64_t yExtent = 0;
    int64_t gray = 0;
};

struct ReadoutLines {
    std::string xLine;
    std::string yLine;
    std::string grayLine;
    friend bool operator==(const ReadoutLines&, const ReadoutLines&) = default;
};

ReadoutLines ReadoutText(ReadoutSituation situation, const ReadoutValues& values);

// The lines for the pointer at window point (x, y) when no marking drag is in progress: no image,
// outside the displayed image, or the pixel under the pointer with its value.
ReadoutLines PointerReadout(const ViewState& view, const GrayBitmap* bitmap, int32_t x, int32_t y);

// The lines while a new marking is dragged and while the marking is moved.
ReadoutLines MarkingCreationReadout(const Marking& marking);
ReadoutLines MarkingMoveReadout(const Marking& marking);

}  // namespace tarkemo
