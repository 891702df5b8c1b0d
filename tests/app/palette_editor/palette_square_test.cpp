// The picture of the drawing square: frame, white ground, histogram bars rising from the bottom to
// the integer part of 264 - height, one curve pixel per old value, and the inverted range band.
#include "app/palette_editor/palette_square.h"

#include <gtest/gtest.h>

namespace tarkemo::app {
namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBar = qRgb(100, 100, 255);
const QRgb kInvertedWhite = qRgb(0, 0, 0);
const QRgb kInvertedBar = qRgb(155, 155, 0);

// The colour at client point (x, y).
QRgb Client(const QImage& image, int x, int y) {
    return image.pixel(x - 9, y - 9) | 0xFF000000;
}

TEST(PaletteSquareTest, FrameBarsCurveAndBand) {
    GrayLevels mapping = IdentityMapping();
    mapping[40] = 200;
    GrayHistogram histogram{};
    histogram[20] = 255.0f;
    histogram[21] = 10.5f;  // bar from 265 up to 254, 253 not included
    const QImage plain = RenderPaletteSquare(mapping, histogram, ColourRange{});
    ASSERT_EQ(plain.size(), QSize(258, 258));
    const struct {
        const char* what;
        int x, y;
        QRgb colour;
    } pixels[] = {
        {"frame top left", 9, 9, kBlack},
        {"frame bottom right", 266, 266, kBlack},
        {"ground", 100, 50, kWhite},
        {"full bar top", 30, 10, kBar},
        {"full bar bottom", 30, 265, kBar},
        {"bar of 10.5 top", 31, 254, kBar},
        {"above bar of 10.5", 31, 253, kWhite},
        {"empty value: one bar pixel", 32, 265, kBar},
        {"empty value above", 32, 264, kWhite},
        {"curve at 40", 50, 65, kBlack},
        {"old curve place at 40", 50, 225, kWhite},
        {"curve at 0", 10, 265, kBlack},
        {"curve at 255", 265, 10, kBlack},
    };
    for (const auto& p : pixels) EXPECT_EQ(Client(plain, p.x, p.y), p.colour) << p.what;

    const QImage banded = RenderPaletteSquare(mapping, histogram, ColourRange{20, 21});
    EXPECT_EQ(Client(banded, 30, 100), kInvertedBar);
    EXPECT_EQ(Client(banded, 31, 100), kInvertedWhite);
    EXPECT_EQ(Client(banded, 32, 100), kWhite);
    EXPECT_EQ(Client(banded, 29, 100), kWhite);
    EXPECT_EQ(Client(banded, 30, 9), kBlack) << "the frame is not inverted";
}

}  // namespace
}  // namespace tarkemo::app
