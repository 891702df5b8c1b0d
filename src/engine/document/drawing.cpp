#include "document/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

namespace tarkemo {
namespace {

// Keeps coordinates where double and int64 arithmetic stay exact and defined; no image reaches it.
constexpr int64_t kCoordinateLimit = int64_t{1} << 40;

int64_t Bounded(int64_t value) {
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

// The integer part (toward zero) of a float well inside int64.
int64_t IntegerPart(double value) {
    return static_cast<int64_t>(value);
}

class SegmentWriter {
  public:
    SegmentWriter(GrayBitmap& bitmap, const Marking& clip, int penSize, const PenInk& ink,
                  SegmentObserver* observer)
        : bitmap_(bitmap), clip_(clip), reach_(PenReachOf(penSize)), ink_(ink), observer_(observer) {}

    // A dab at (x, y), cut to the clip.
    void Dab(int64_t x, int64_t y) {
        const int64_t left = std::max<int64_t>(x - reach_.leftOf, clip_.left);
        const int64_t right = std::min<int64_t>(x + reach_.rightOf, clip_.right);
        const int64_t bottom = std::max<int64_t>(y - reach_.below, clip_.bottom);
        const int64_t top = std::min<int64_t>(y + reach_.above, clip_.top);
        if (left > right || bottom > top) return;
        const TouchedArea dab{static_cast<int32_t>(left), static_cast<int32_t>(bottom),
                              static_cast<int32_t>(right), static_cast<int32_t>(top)};
        for (int32_t row = dab.bottom; row <= dab.top; ++row) WriteRun(row, dab.left, dab.right);
        touched_.Add(dab);
    }

    // The columns (or rows) from `first` to `last` whose dab can reach the clip.
    std::pair<int64_t, int64_t> ReachableColumns(int64_t first, int64_t last) const {
        return {std::max<int64_t>(first, static_cast<int64_t>(clip_.left) - reach_.rightOf),
                std::min<int64_t>(last, static_cast<int64_t>(clip_.right) + reach_.leftOf)};
    }
    std::pair<int64_t, int64_t> ReachableRows(int64_t first, int64_t last) const {
        return {std::max<int64_t>(first, static_cast<int64_t>(clip_.bottom) - reach_.above),
                std::min<int64_t>(last, static_cast<int64_t>(clip_.top) + reach_.below)};
    }

    const TouchedArea& Touched() const { return touched_; }

  private:
    void WriteRun(int32_t row, int32_t left, int32_t right) {
        uint8_t* out = bitmap_.Row(row) + left;
        const auto count = static_cast<size_t>(right - left + 1);
        if (ink_.backup != nullptr) {
            const size_t offset =
                static_cast<size_t>(row) * static_cast<size_t>(bitmap_.stride) + static_cast<size_t>(left);
            std::memcpy(out, ink_.backup + offset, count);
        } else {
            std::memset(out, ink_.index, count);
        }
        if (observer_ == nullptr) return;
        for (int32_t x = left; x <= right; ++x) observer_->PixelWritten(x, row);
    }

    GrayBitmap& bitmap_;
    Marking clip_;
    PenReach reach_;
    PenInk ink_;
    SegmentObserver* observer_;
    TouchedArea touched_;
};

// The clip inside the image, edges ordered; none when they do not meet.
std::optional<Marking> ClipInsideImage(const GrayBitmap& bitmap, const Marking& clip) {
    const Marking m = OrderedMarking(clip);
    const Marking inside{std::max(m.left, 0), std::min(m.top, bitmap.height - 1),
                         std::min(m.right, bitmap.width - 1), std::max(m.bottom, 0)};
    if (inside.left > inside.right || inside.bottom > inside.top) return std::nullopt;
    return inside;
}

void DrawXMajor(SegmentWriter& writer, ImagePoint a, ImagePoint b) {
    if (a.column > b.column) std::swap(a, b);
    const double slope = static_cast<double>(b.row - a.row) / static_cast<double>(b.column - a.column);
    const auto [first, last] = writer.ReachableColumns(a.column, b.column);
    for (int64_t x = first; x <= last; ++x) {
        const double y = static_cast<double>(a.row) + static_cast<double>(x - a.column) * slope + 0.5;
        writer.Dab(x, IntegerPart(y));
    }
}

void DrawYMajor(SegmentWriter& writer, ImagePoint a, ImagePoint b) {
    if (a.row > b.row) std::swap(a, b);
    const double slope = static_cast<double>(b.column - a.column) / static_cast<double>(b.row - a.row);
    const auto [first, last] = writer.ReachableRows(a.row, b.row);
    for (int64_t y = first; y <= last; ++y) {
        const double x = static_cast<double>(a.column) + static_cast<double>(y - a.row) * slope + 0.5;
        writer.Dab(IntegerPart(x), y);
    }
}

}  // namespace

void TouchedArea::Add(const TouchedArea& other) {
    if (other.Empty()) return;
    if (Empty()) {
        *this = other;
        return;
    }
    left = std::min(left, other.left);
    bottom = std::min(bottom, other.bottom);
    right = std::max(right, other.right);
    top = std::max(top, other.top);
}

PenReach PenReachOf(int penSize) {
    const int n = std::clamp(penSize, kMinPenSize, kMaxPenSize);
    return PenReach{n / 2, (n - 1) / 2, (n - 1) / 2, n / 2};
}

TouchedArea DrawSegment(GrayBitmap& bitmap, const Marking& clip, ImagePoint a, ImagePoint b, int penSize,
                        const PenInk& ink, SegmentObserver* observer) {
    if (bitmap.width < 1 || bitmap.height < 1 || bitmap.pixels.empty()) return {};
    const std::optional<Marking> inside = ClipInsideImage(bitmap, clip);
    if (!inside) return {};
    a = ImagePoint{Bounded(a.column), Bounded(a.row)};
    b = ImagePoint{Bounded(b.column), Bounded(b.row)};
    SegmentWriter writer(bitmap, *inside, penSize, ink, observer);
    if (a == b) {
        writer.Dab(a.column, a.row);
    } else if (std::llabs(b.column - a.column) > std::llabs(b.row - a.row)) {
        DrawXMajor(writer, a, b);
    } else {
        DrawYMajor(writer, a, b);
    }
    return writer.Touched();
}

}  // namespace tarkemo
