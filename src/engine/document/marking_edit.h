// The arithmetic of the mouse tools on the marking and the view position: clamping a pointer to
// the image, whether a pixel lies in the marking, moving a marking without leaving the image,
// the squared and centred markings of the spectrum editor, and the limited shift of panning.
#pragma once

#include <cstdint>

#include "document/marking.h"
#include "document/view_geometry.h"

namespace tarkemo {

// An image pixel with its column brought into 0 ... width-1 and its row into 0 ... height-1.
struct ClampedPixel {
    int32_t column = 0;
    int32_t row = 0;
    friend bool operator==(const ClampedPixel&, const ClampedPixel&) = default;
};
ClampedPixel ClampToImage(const ImagePoint& point, int32_t width, int32_t height);

// True when (column, row) lies inside the (ordered) marking, edges included.
bool MarkingContains(const Marking& marking, int64_t column, int64_t row);

// The marking with right/left and top/bottom exchanged where they are reversed: what a finished
// marking drag stores.
Marking NormalisedMarking(const Marking& marking);

// The marking brought inside a width x height image (edges ordered, then clamped). An image
// without pixels gives the all-zero marking.
Marking ClampedMarking(const Marking& marking, int32_t width, int32_t height);

// `saved` moved by (dx, dy), each limited so that the marking stays inside the image and keeps
// its size. `saved` is taken with its edges ordered; a marking larger than the image stays put on
// that axis.
Marking MovedMarking(const Marking& saved, int64_t dx, int64_t dy, int32_t width, int32_t height);

// The move of a marking for a pointer drag from the press point to (x, y): the integer parts of
// the distances divided by the view's scales, rows counting upwards.
struct MarkingShift {
    int64_t dx = 0;
    int64_t dy = 0;
};
MarkingShift MarkingShiftFor(const ViewState& view, int32_t width, int32_t height, int32_t pressX,
                             int32_t pressY, int32_t x, int32_t y);

// The marking made square while it is being created, keeping left and top: the longer side is
// shortened to the shorter one in its own direction. A marking of zero extent stays as it is.
Marking SquaredMarking(const Marking& marking);

// A marking of the same width and height centred on the zero frequency (W/2, H/2) of a W x H grid:
// left = (W - w - 1)/2 + 1, bottom = (H - h - 1)/2 + 1 (truncated); a marking as wide (high) as
// the grid starts at 0.
Marking CentredMarking(const Marking& marking, int32_t gridWidth, int32_t gridHeight);

// Pans the view by the pointer movement (dx, dy), each axis limited so that the origin obeys the
// clamping rule of the view. Returns the shift applied.
struct PanShift {
    int32_t dx = 0;
    int32_t dy = 0;
    friend bool operator==(const PanShift&, const PanShift&) = default;
};
PanShift PanBy(ViewState& view, int64_t dx, int64_t dy);

}  // namespace tarkemo
