// The arithmetic of the image view: zoom steps and displayed size, the position of the image in
// the window, the mapping between window pixels and image pixels, the visible part to paint and
// the frame around the marking. No window is involved, so all of it is tested on plain numbers.
#pragma once

#include <cstdint>
#include <optional>

#include "document/marking.h"

namespace tarkemo {

inline constexpr int32_t kMinZoomStep = -10;  // factor 1/11
inline constexpr int32_t kMaxZoomStep = 20;   // factor 21

// The view of one window. Window coordinates have y growing downwards; the origin is the window
// position of the displayed image's top-left corner (negative when scrolled past the left or top).
struct ViewState {
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    int32_t zoomStep = 0;  // whole steps kMinZoomStep ... kMaxZoomStep, 0 = 1:1
    int32_t displayedWidth = 0;
    int32_t displayedHeight = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    int32_t lastPointerX = 0;  // pointer position at the last mouse event that stored it
    int32_t lastPointerY = 0;
    Marking previousRect;          // the rubber band last drawn with XOR, in image coordinates
    bool rubberBandShown = false;  // a XOR rectangle is on screen; the next paint removes it
};

// Displayed length of `size` image pixels at `step`, truncated: size * (step + 1) for step >= 0,
// size / (1 - step) below. 64-bit, so it cannot overflow for any 32-bit size.
int64_t DisplayedLength(int64_t size, int32_t step);

// True when a width x height image can be shown at `step`: the step lies in the zoom range and both
// displayed sides are at least 1 and fit in 32 bits.
bool ZoomStepUsable(int32_t width, int32_t height, int32_t step);

// Sets the displayed size for the current zoom step; 0 x 0 when the image has no pixels. A step at
// which the image cannot be shown (see ZoomStepUsable) is first moved toward 0 until it can.
void UpdateDisplayedSize(ViewState& view, int32_t width, int32_t height);

// Origin = (client size - displayed size) / 2 per axis, truncated toward zero.
void CentreImage(ViewState& view);

// The view after opening, importing or pasting a width x height image: step 0, displayed size =
// image size, image centred.
void ResetViewForImage(ViewState& view, int32_t width, int32_t height);

// The view without a document: step 0, displayed size 0 x 0.
void ClearView(ViewState& view);

// Keeps the image inside the window when it fits and the window covered when it does not.
// True when either origin coordinate changed.
bool ClampOrigin(ViewState& view);

// One zoom step in `direction` (+1 in, -1 out) about the window point (anchorX, anchorY): the image
// point under the anchor moves to the window centre, then the origin is clamped. False (nothing
// changed) without an image, for any other direction, at the end of the zoom range, and for a step
// at which a displayed side would vanish or outgrow 32 bits.
bool ZoomAt(ViewState& view, int32_t width, int32_t height, int direction, int32_t anchorX, int32_t anchorY);

// The view after the image was turned by 90 degrees (`left`: counter-clockwise): displayed width and
// height swap at the same zoom step; along each axis where the turned image fits the window its
// centre stays, otherwise its position is turned about the window centre; then the origin is clamped.
void AdjustViewAfterQuarterTurn(ViewState& view, bool left);

// Stores a new client size. True when a repaint is needed: the window grew in either direction, or
// (with an image) the origin had to be clamped.
bool ResizeClient(ViewState& view, int32_t clientWidth, int32_t clientHeight, bool hasImage);

// Window pixels per image pixel, as 64-bit floats; 0 when there is nothing displayed.
struct ViewScale {
    double x = 0.0;
    double y = 0.0;
};
ViewScale ScaleOf(const ViewState& view, int32_t width, int32_t height);

// An image pixel: column from the left, row from the bottom. 64-bit because far-away window
// points map far outside the image.
struct ImagePoint {
    int64_t column = 0;
    int64_t row = 0;
    friend bool operator==(const ImagePoint&, const ImagePoint&) = default;
};

// The image pixel under window point (x, y), truncated toward zero. Not necessarily on the image;
// with nothing displayed the result is (-1, -1).
ImagePoint WindowToImage(const ViewState& view, int32_t width, int32_t height, int32_t x, int32_t y);

// True when 0 <= column < width and 0 <= row < height.
bool IsOnImage(const ImagePoint& point, int32_t width, int32_t height);

// True when the window point lies within the displayed image rectangle.
bool IsOverDisplayedImage(const ViewState& view, int32_t x, int32_t y);

// Window x of the left edge of `column` and window y of the top edge of `row`, truncated.
int64_t WindowXOfColumn(const ViewState& view, int32_t width, int32_t height, int64_t column);
int64_t WindowYOfRowTop(const ViewState& view, int32_t width, int32_t height, int64_t row);

// The part of the image to stretch and where it goes. Source rows count from the top of the
// picture (sourceY 0 is the top row, stored last). The destination may reach a little past the
// right and bottom window edges; it is cut at whole image pixels so the scale stays exact.
struct PaintRects {
    int64_t sourceX = 0;
    int64_t sourceY = 0;
    int64_t sourceWidth = 0;
    int64_t sourceHeight = 0;
    int64_t destX = 0;
    int64_t destY = 0;
    int64_t destWidth = 0;
    int64_t destHeight = 0;
    friend bool operator==(const PaintRects&, const PaintRects&) = default;
};
PaintRects ComputePaintRects(const ViewState& view, int32_t width, int32_t height);

// The window rectangle whose one-pixel outline lies just outside the marked pixels (corners
// inclusive). None for the whole-image marking or with nothing displayed.
struct FrameCorners {
    int64_t x1 = 0;
    int64_t y1 = 0;
    int64_t x2 = 0;
    int64_t y2 = 0;
    friend bool operator==(const FrameCorners&, const FrameCorners&) = default;
};
std::optional<FrameCorners> MarkingFrame(const ViewState& view, int32_t width, int32_t height,
                                         const Marking& marking);

}  // namespace tarkemo
