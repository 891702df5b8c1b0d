#include "app/palette_editor/palette_square.h"

#include <algorithm>
#include <cmath>

namespace tarkemo::app {
namespace {

constexpr int kLeft = 9;  // client x of image column 0
constexpr int kTop = 9;   // client y of image row 0

void SetClientPixel(QImage& image, int x, int y, QRgb colour) {
    const int col = x - kLeft;
    const int row = y - kTop;
    if (col < 0 || row < 0 || col >= image.width() || row >= image.height()) return;
    reinterpret_cast<QRgb*>(image.scanLine(row))[col] = colour;
}

// The bar of value i runs from y = 265 up to, not including, the integer part of 264 - histogram[i].
void DrawBar(QImage& image, int i, float height) {
    const double top = std::trunc(264.0 - std::clamp(static_cast<double>(height), 0.0, 255.0));
    for (int y = 265; y > static_cast<int>(top); --y) SetClientPixel(image, i + 10, y, kHistogramBar.rgb());
}

void InvertBand(QImage& image, const ColourRange& range) {
    const int from = std::clamp(std::min(range.start, range.end), 0, 255) + 10;
    const int to = std::clamp(std::max(range.start, range.end), 0, 255) + 10;
    for (int y = 10; y <= 265; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y - kTop));
        for (int x = from; x <= to; ++x) line[x - kLeft] = (~line[x - kLeft] & 0x00FFFFFF) | 0xFF000000;
    }
}

}  // namespace

QImage RenderPaletteSquare(const GrayLevels& mapping, const GrayHistogram& histogram,
                           const ColourRange& range) {
    QImage image(kPaletteSquareFrame.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    const int inner = kPaletteSquareFrame.width() - 2;
    for (int row = 1; row <= inner; ++row) {
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(row)) + 1, inner, qRgb(255, 255, 255));
    }
    for (int i = 0; i < 256; ++i) {
        DrawBar(image, i, histogram[static_cast<size_t>(i)]);
        SetClientPixel(image, i + 10, 265 - mapping[static_cast<size_t>(i)], qRgb(0, 0, 0));
    }
    if (range.Marked()) InvertBand(image, range);
    return image;
}

}  // namespace tarkemo::app
