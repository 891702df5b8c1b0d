#include "document/view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace tarkemo {
namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// Integer part of a 64-bit float, kept far inside int64 so the conversion is always defined.
int64_t Truncate(double value) {
    constexpr double kLimit = 4.0e18;
    if (std::isnan(value)) return 0;
    return static_cast<int64_t>(std::clamp(value, -kLimit, kLimit));
}

bool ClampAxis(int32_t clientSize, int32_t displayed, int32_t& origin) {
    const int64_t low = std::min<int64_t>(0, static_cast<int64_t>(clientSize) - displayed);
    const int64_t high = std::max<int64_t>(0, static_cast<int64_t>(clientSize) - displayed);
    const int32_t before = origin;
    // Larger than the window: origin within n - d ... 0; fitting: within 0 ... n - d.
    origin = static_cast<int32_t>(std::clamp<int64_t>(origin, low, high));
    return origin != before;
}

// Hides whole image pixels in front of the window edge: `first` is the destination start on one axis.
void CutLeading(double scale, int64_t& destStart, int64_t& destLength, int64_t& sourceStart,
                int64_t& sourceLength) {
    if (destStart >= 0) return;
    const int64_t hidden = Truncate(static_cast<double>(-destStart) / scale);
    const int64_t gap = Truncate(scale * static_cast<double>(hidden));
    destStart += gap;
    destLength -= gap;
    sourceStart = hidden;
    sourceLength -= hidden;
}

// Drops whole image pixels that lie beyond the far window edge.
void CutTrailing(double scale, int32_t clientSize, int64_t destStart, int64_t& destLength,
                 int64_t& sourceLength) {
    const int64_t lastPixel = destStart + destLength - 1;
    if (lastPixel <= clientSize) return;
    const int64_t hidden = Truncate(static_cast<double>(lastPixel - clientSize) / scale);
    sourceLength -= hidden;
    destLength -= Truncate(scale * static_cast<double>(hidden));
}

}  // namespace

int64_t DisplayedLength(int64_t size, int32_t step) {
    if (step >= 0) return size * (static_cast<int64_t>(step) + 1);
    return size / (1 - static_cast<int64_t>(step));
}

bool ZoomStepUsable(int32_t width, int32_t height, int32_t step) {
    if (step < kMinZoomStep || step > kMaxZoomStep) return false;
    const int64_t w = DisplayedLength(width, step);
    const int64_t h = DisplayedLength(height, step);
    return w >= 1 && h >= 1 && w <= kInt32Max && h <= kInt32Max;
}

void UpdateDisplayedSize(ViewState& view, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        view.displayedWidth = 0;
        view.displayedHeight = 0;
        return;
    }
    // A step at which a side would vanish (or overflow) is given up for the nearest one toward 1:1.
    while (view.zoomStep != 0 && !ZoomStepUsable(width, height, view.zoomStep)) {
        view.zoomStep += view.zoomStep < 0 ? 1 : -1;
    }
    view.displayedWidth = static_cast<int32_t>(std::min(DisplayedLength(width, view.zoomStep), kInt32Max));
    view.displayedHeight = static_cast<int32_t>(std::min(DisplayedLength(height, view.zoomStep), kInt32Max));
}

void CentreImage(ViewState& view) {
    view.originX = static_cast<int32_t>((static_cast<int64_t>(view.clientWidth) - view.displayedWidth) / 2);
    view.originY = static_cast<int32_t>((static_cast<int64_t>(view.clientHeight) - view.displayedHeight) / 2);
}

void ResetViewForImage(ViewState& view, int32_t width, int32_t height) {
    view.zoomStep = 0;
    UpdateDisplayedSize(view, width, height);
    CentreImage(view);
}

void ClearView(ViewState& view) {
    view.zoomStep = 0;
    view.displayedWidth = 0;
    view.displayedHeight = 0;
}

void AdjustViewAfterQuarterTurn(ViewState& view, bool left) {
    std::swap(view.displayedWidth, view.displayedHeight);
    // 64-bit sums: the displayed sides and the origin may each come close to the 32-bit limits.
    const int64_t cw = view.clientWidth;
    const int64_t ch = view.clientHeight;
    const int64_t dw = view.displayedWidth;
    const int64_t dh = view.displayedHeight;
    const int64_t ox = view.originX;
    const int64_t oy = view.originY;
    int64_t newX = 0;
    int64_t newY = 0;
    if (cw >= dw) {
        newX = ox + (dh - dw) / 2;
    } else {
        newX = left ? oy + (cw - ch) / 2 : ch - oy - dw + (cw - ch) / 2;
    }
    if (ch >= dh) {
        newY = oy + (dw - dh) / 2;
    } else {
        newY = left ? cw - ox - dh + (ch - cw) / 2 : ox + (ch - cw) / 2;
    }
    view.originX = static_cast<int32_t>(std::clamp<int64_t>(newX, INT32_MIN, INT32_MAX));
    view.originY = static_cast<int32_t>(std::clamp<int64_t>(newY, INT32_MIN, INT32_MAX));
    ClampOrigin(view);
}

bool ClampOrigin(ViewState& view) {
    const bool changedX = ClampAxis(view.clientWidth, view.displayedWidth, view.originX);
    const bool changedY = ClampAxis(view.clientHeight, view.displayedHeight, view.originY);
    return changedX || changedY;
}

bool ZoomAt(ViewState& view, int32_t width, int32_t height, int direction, int32_t anchorX, int32_t anchorY) {
    if (width <= 0 || height <= 0 || (direction != 1 && direction != -1)) return false;
    if (view.displayedWidth <= 0 || view.displayedHeight <= 0) return false;
    const int32_t step = view.zoomStep + direction;
    if (!ZoomStepUsable(width, height, step)) return false;

    // Relative image position under the anchor, taken before the size changes.
    const double fx = static_cast<double>(anchorX - static_cast<int64_t>(view.originX)) / view.displayedWidth;
    const double fy =
        static_cast<double>(anchorY - static_cast<int64_t>(view.originY)) / view.displayedHeight;
    view.zoomStep = step;
    UpdateDisplayedSize(view, width, height);
    const double newX = static_cast<double>(view.clientWidth / 2) - view.displayedWidth * fx;
    const double newY = static_cast<double>(view.clientHeight / 2) - view.displayedHeight * fy;
    view.originX = static_cast<int32_t>(std::clamp<int64_t>(Truncate(newX), -kInt32Max, kInt32Max));
    view.originY = static_cast<int32_t>(std::clamp<int64_t>(Truncate(newY), -kInt32Max, kInt32Max));
    ClampOrigin(view);
    return true;
}

bool ResizeClient(ViewState& view, int32_t clientWidth, int32_t clientHeight, bool hasImage) {
    const bool grew = clientWidth > view.clientWidth || clientHeight > view.clientHeight;
    view.clientWidth = clientWidth;
    view.clientHeight = clientHeight;
    const bool clamped = hasImage && ClampOrigin(view);
    return grew || clamped;
}

ViewScale ScaleOf(const ViewState& view, int32_t width, int32_t height) {
    ViewScale scale;
    if (width > 0) scale.x = static_cast<double>(view.displayedWidth) / width;
    if (height > 0) scale.y = static_cast<double>(view.displayedHeight) / height;
    return scale;
}

ImagePoint WindowToImage(const ViewState& view, int32_t width, int32_t height, int32_t x, int32_t y) {
    const ViewScale scale = ScaleOf(view, width, height);
    if (scale.x <= 0.0 || scale.y <= 0.0) return ImagePoint{-1, -1};
    const int64_t dx = static_cast<int64_t>(x) - view.originX;
    const int64_t dy = static_cast<int64_t>(view.originY) + view.displayedHeight - 1 - y;
    return ImagePoint{Truncate(static_cast<double>(dx) / scale.x),
                      Truncate(static_cast<double>(dy) / scale.y)};
}

bool IsOnImage(const ImagePoint& point, int32_t width, int32_t height) {
    return point.column >= 0 && point.column < width && point.row >= 0 && point.row < height;
}

bool IsOverDisplayedImage(const ViewState& view, int32_t x, int32_t y) {
    return x >= view.originX &&
           static_cast<int64_t>(x) < static_cast<int64_t>(view.originX) + view.displayedWidth &&
           y >= view.originY &&
           static_cast<int64_t>(y) < static_cast<int64_t>(view.originY) + view.displayedHeight;
}

int64_t WindowXOfColumn(const ViewState& view, int32_t width, int32_t height, int64_t column) {
    return Truncate(view.originX + ScaleOf(view, width, height).x * static_cast<double>(column));
}

int64_t WindowYOfRowTop(const ViewState& view, int32_t width, int32_t height, int64_t row) {
    const double rowsAbove = static_cast<double>(static_cast<int64_t>(height) - 1 - row);
    return Truncate(view.originY + ScaleOf(view, width, height).y * rowsAbove);
}

PaintRects ComputePaintRects(const ViewState& view, int32_t width, int32_t height) {
    PaintRects rects{
        0, 0, width, height, view.originX, view.originY, view.displayedWidth, view.displayedHeight};
    const ViewScale scale = ScaleOf(view, width, height);
    if (scale.x <= 0.0 || scale.y <= 0.0) return PaintRects{};
    CutLeading(scale.x, rects.destX, rects.destWidth, rects.sourceX, rects.sourceWidth);
    CutTrailing(scale.x, view.clientWidth, rects.destX, rects.destWidth, rects.sourceWidth);
    CutLeading(scale.y, rects.destY, rects.destHeight, rects.sourceY, rects.sourceHeight);
    CutTrailing(scale.y, view.clientHeight, rects.destY, rects.destHeight, rects.sourceHeight);
    return rects;
}

std::optional<FrameCorners> MarkingFrame(const ViewState& view, int32_t width, int32_t height,
                                         const Marking& marking) {
    if (IsWholeImage(marking, width, height)) return std::nullopt;
    const ViewScale scale = ScaleOf(view, width, height);
    if (scale.x <= 0.0 || scale.y <= 0.0) return std::nullopt;
    const Marking m = OrderedMarking(marking);
    const double ox = view.originX;
    const double oy = view.originY;
    // The frame lies one window pixel outside the marked pixels on every side.
    return FrameCorners{Truncate(ox + scale.x * m.left - 1.0),
                        Truncate(oy + scale.y * (static_cast<double>(height) - m.top - 1.0) - 1.0),
                        Truncate(ox + scale.x * (static_cast<double>(m.right) + 1.0)),
                        Truncate(oy + scale.y * (static_cast<double>(height) - m.bottom))};
}

}  // namespace tarkemo
