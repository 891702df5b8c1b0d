#include "document/marking_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarkemo {
namespace {

int64_t LimitShift(int64_t shift, int64_t low, int64_t high, int64_t size) {
    // The lowest edge may not go below 0 nor the highest above size - 1.
    const int64_t least = -low;
    const int64_t most = size - 1 - high;
    if (least > most) return 0;
    return std::clamp(shift, least, most);
}

int64_t Sign(int64_t value) {
    return (value > 0) - (value < 0);
}

int32_t PanAxis(int32_t clientSize, int32_t displayed, int32_t& origin, int64_t shift) {
    const int64_t low = std::min<int64_t>(0, static_cast<int64_t>(clientSize) - displayed);
    const int64_t high = std::max<int64_t>(0, static_cast<int64_t>(clientSize) - displayed);
    const int64_t wanted = std::clamp<int64_t>(static_cast<int64_t>(origin) + shift, low, high);
    const auto applied = static_cast<int32_t>(wanted - origin);
    origin = static_cast<int32_t>(wanted);
    return applied;
}

// The integer part of a quotient of 64-bit floats, kept inside int64.
int64_t TruncatedQuotient(int64_t distance, double scale) {
    if (!(scale > 0.0)) return 0;
    const double q = static_cast<double>(distance) / scale;
    return static_cast<int64_t>(std::clamp(q, -4.0e18, 4.0e18));
}

}  // namespace

ClampedPixel ClampToImage(const ImagePoint& point, int32_t width, int32_t height) {
    return ClampedPixel{static_cast<int32_t>(std::clamp<int64_t>(point.column, 0, std::max(width - 1, 0))),
                        static_cast<int32_t>(std::clamp<int64_t>(point.row, 0, std::max(height - 1, 0)))};
}

bool MarkingContains(const Marking& marking, int64_t column, int64_t row) {
    const Marking m = OrderedMarking(marking);
    return column >= m.left && column <= m.right && row >= m.bottom && row <= m.top;
}

Marking NormalisedMarking(const Marking& marking) {
    return OrderedMarking(marking);
}

Marking ClampedMarking(const Marking& marking, int32_t width, int32_t height) {
    if (width < 1 || height < 1) return Marking{};
    const Marking m = OrderedMarking(marking);
    return Marking{std::clamp(m.left, 0, width - 1), std::clamp(m.top, 0, height - 1),
                   std::clamp(m.right, 0, width - 1), std::clamp(m.bottom, 0, height - 1)};
}

Marking MovedMarking(const Marking& saved, int64_t dx, int64_t dy, int32_t width, int32_t height) {
    const Marking m = OrderedMarking(saved);
    const int64_t x = LimitShift(dx, m.left, m.right, width);
    const int64_t y = LimitShift(dy, m.bottom, m.top, height);
    return Marking{static_cast<int32_t>(m.left + x), static_cast<int32_t>(m.top + y),
                   static_cast<int32_t>(m.right + x), static_cast<int32_t>(m.bottom + y)};
}

MarkingShift MarkingShiftFor(const ViewState& view, int32_t width, int32_t height, int32_t pressX,
                             int32_t pressY, int32_t x, int32_t y) {
    const ViewScale scale = ScaleOf(view, width, height);
    return MarkingShift{TruncatedQuotient(static_cast<int64_t>(x) - pressX, scale.x),
                        TruncatedQuotient(static_cast<int64_t>(pressY) - y, scale.y)};
}

Marking SquaredMarking(const Marking& marking) {
    Marking m = marking;
    const int64_t across = static_cast<int64_t>(m.right) - m.left;
    const int64_t down = static_cast<int64_t>(m.bottom) - m.top;
    if (std::llabs(across) > std::llabs(down)) {
        m.right = static_cast<int32_t>(m.left + Sign(across) * std::llabs(down));
    } else {
        m.bottom = static_cast<int32_t>(m.top + Sign(down) * std::llabs(across));
    }
    return m;
}

Marking CentredMarking(const Marking& marking, int32_t gridWidth, int32_t gridHeight) {
    const Marking m = OrderedMarking(marking);
    const int64_t w = static_cast<int64_t>(m.right) - m.left + 1;
    const int64_t h = static_cast<int64_t>(m.top) - m.bottom + 1;
    const int64_t left = w >= gridWidth ? 0 : (gridWidth - w - 1) / 2 + 1;
    const int64_t bottom = h >= gridHeight ? 0 : (gridHeight - h - 1) / 2 + 1;
    return Marking{static_cast<int32_t>(left), static_cast<int32_t>(bottom + h - 1),
                   static_cast<int32_t>(left + w - 1), static_cast<int32_t>(bottom)};
}

PanShift PanBy(ViewState& view, int64_t dx, int64_t dy) {
    PanShift shift;
    shift.dx = PanAxis(view.clientWidth, view.displayedWidth, view.originX, dx);
    shift.dy = PanAxis(view.clientHeight, view.displayedHeight, view.originY, dy);
    return shift;
}

}  // namespace tarkemo
