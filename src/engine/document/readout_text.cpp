#include "document/readout_text.h"

#include <cstdio>
#include <cstdlib>

namespace tarkemo {
namespace {

// printf with one or two "%li" numbers into a std::string.
std::string Format(const char* format, int64_t first, int64_t second = 0) {
    char text[96];
    const int length =
        std::snprintf(text, sizeof text, format, static_cast<long>(first), static_cast<long>(second));
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

int64_t Extent(int32_t a, int32_t b) {
    return std::llabs(static_cast<int64_t>(b) - a) + 1;
}

}  // namespace

ReadoutLines ReadoutText(ReadoutSituation situation, const ReadoutValues& values) {
    switch (situation) {
        case ReadoutSituation::NoImage:
            return {"X: (Kein Bild)", "Y: (Kein Bild)", "Grauwert: ---"};
        case ReadoutSituation::CreatingMarking:
            return {Format("Breite:  %li", values.x), Format("H\xC3\xB6he:  %li", values.y),
                    "  (der Markierung)"};
        case ReadoutSituation::Outside:
            return {
                "X: (au\xC3\x9F"
                "erhalb)",
                "Y: (au\xC3\x9F"
                "erhalb)",
                "Grauwert: ---"};
        case ReadoutSituation::MovingMarking:
            return {Format("X:  %li (%li)", values.x, values.xExtent),
                    Format("Y:  %li (%li)", values.y, values.yExtent), "  (Markierung)"};
        case ReadoutSituation::OnImage:
            return {Format("X:  %li  (%li)", values.x, values.xExtent),
                    Format("Y:  %li  (%li)", values.y, values.yExtent),
                    Format("Grauwert:  %li", values.gray)};
    }
    return {};
}

ReadoutLines PointerReadout(const ViewState& view, const GrayBitmap* bitmap, int32_t x, int32_t y) {
    if (bitmap == nullptr || bitmap->width <= 0 || bitmap->height <= 0) {
        return ReadoutText(ReadoutSituation::NoImage, {});
    }
    const ImagePoint point = WindowToImage(view, bitmap->width, bitmap->height, x, y);
    // The displayed rectangle decides; the mapped pixel is checked as well so that rounding at the
    // far edge of a reduced image can never read outside the bitmap.
    if (!IsOverDisplayedImage(view, x, y) || !IsOnImage(point, bitmap->width, bitmap->height)) {
        return ReadoutText(ReadoutSituation::Outside, {});
    }
    const auto column = static_cast<int32_t>(point.column);
    const auto row = static_cast<int32_t>(point.row);
    return ReadoutText(ReadoutSituation::OnImage,
                       {column, bitmap->width, row, bitmap->height, bitmap->At(column, row)});
}

ReadoutLines MarkingCreationReadout(const Marking& marking) {
    return ReadoutText(ReadoutSituation::CreatingMarking,
                       {Extent(marking.left, marking.right), 0, Extent(marking.bottom, marking.top), 0, 0});
}

ReadoutLines MarkingMoveReadout(const Marking& marking) {
    return ReadoutText(ReadoutSituation::MovingMarking,
                       {marking.left, Extent(marking.left, marking.right), marking.bottom,
                        Extent(marking.bottom, marking.top), 0});
}

}  // namespace tarkemo
