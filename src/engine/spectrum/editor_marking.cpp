#include "spectrum/editor_marking.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "spectrum/centred_marking.h"

namespace tarkemo {
namespace {

std::string Format(const char* format, int64_t first, int64_t second) {
    char text[96];
    const int length =
        std::snprintf(text, sizeof text, format, static_cast<long>(first), static_cast<long>(second));
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// A digit field that may start with one "-".
std::optional<int64_t> ReadSignedField(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        if (text.size() == 1) return std::nullopt;
        const std::optional<int64_t> magnitude = ReadDigitField(text.substr(1));
        if (!magnitude) return std::nullopt;
        return -*magnitude;
    }
    return ReadDigitField(text);
}

}  // namespace

ManualMarking CentredManualMarking(const ManualFields& fields, int32_t gridWidth, int32_t gridHeight) {
    const std::optional<int64_t> kx = ReadSignedField(fields.x), ky = ReadSignedField(fields.y);
    const std::optional<int64_t> a = ReadDigitField(fields.width), b = ReadDigitField(fields.height);
    if (kx && ky && a && b) {
        if (const std::optional<Marking> marking = CentredMarking(*kx, *ky, *a, *b, gridWidth, gridHeight)) {
            return {*marking, true};
        }
    }
    return {WholeImageMarking(gridWidth, gridHeight), false};
}

ReadoutLines SpectrumPointerReadout(const ViewState& view, const GrayBitmap* grid, int32_t x, int32_t y) {
    const bool hasGrid = grid != nullptr && grid->width > 0 && grid->height > 0;
    const ImagePoint point =
        hasGrid ? WindowToImage(view, grid->width, grid->height, x, y) : ImagePoint{-1, -1};
    if (!hasGrid || !IsOverDisplayedImage(view, x, y) || !IsOnImage(point, grid->width, grid->height)) {
        return {
            "Kx: (au\xC3\x9F"
            "erhalb)",
            "Ky: (au\xC3\x9F"
            "erhalb)",
            "Grauwert: ---"};
    }
    const int64_t halfW = grid->width / 2, halfH = grid->height / 2;
    const auto column = static_cast<int32_t>(point.column);
    const auto row = static_cast<int32_t>(point.row);
    return {Format("Kx:  %li/%li", column - halfW, halfW), Format("Ky:  %li/%li", row - halfH, halfH),
            Format("Grauwert:  %li", grid->At(column, row), 0)};
}

ReadoutLines SpectrumMovingReadout(const Marking& marking, int32_t gridWidth, int32_t gridHeight) {
    const Marking m = OrderedMarking(marking);
    const int64_t centreX = (int64_t{m.left} + m.right) / 2 - gridWidth / 2;
    const int64_t centreY = (int64_t{m.bottom} + m.top) / 2 - gridHeight / 2;
    return {Format("Kx:  %li (%li)", centreX, int64_t{m.right} - m.left + 1),
            Format("Ky:  %li (%li)", centreY, int64_t{m.top} - m.bottom + 1), "  (Markierung)"};
}

}  // namespace tarkemo
