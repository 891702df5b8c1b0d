#include "spectrum/filter_constructions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "spectrum/centred_marking.h"

namespace tarkemo {
namespace {

// A filter owning its arrays, for grids of a few points.
struct Grid {
    int32_t width, height;
    std::vector<float> re, im;
    Grid(int32_t w, int32_t h, float r = 0.5f, float i = 0.25f)
        : width(w), height(h), re(w * h, r), im(w * h, i) {}
    ComplexField Field() { return {re.data(), im.data(), width, height}; }
    size_t At(int32_t x, int32_t y) const { return static_cast<size_t>(y) * width + x; }
    // One character per element, top row first: '1' = 1+0i, '0' = 0+0i, '.' = unchanged 0.5+0.25i.
    std::string Picture() const {
        std::string text;
        for (int32_t y = height - 1; y >= 0; --y) {
            for (int32_t x = 0; x < width; ++x) {
                const size_t i = At(x, y);
                text += re[i] == 1.0f && im[i] == 0.0f    ? '1'
                        : re[i] == 0.0f && im[i] == 0.0f  ? '0'
                        : re[i] == 0.5f && im[i] == 0.25f ? '.'
                                                          : '?';
            }
            text += '\n';
        }
        return text;
    }
};

// Marking columns 2..5, rows 1..4 of an 8 x 6 grid: centre (3.5, 2.5), half-sizes 2 and 2, so the
// ellipse holds the rectangle without its four corners (e = 1.125 there).
const Marking kMarking{2, 4, 5, 1};

TEST(FilterShapeTest, EachShapeSetsItsRegionAndKeepsTheRest) {
    const struct {
        FilterShape shape;
        const char* picture;
    } cases[] = {
        {FilterShape::kPassInsideEllipse, "........\n...11...\n..1111..\n..1111..\n...11...\n........\n"},
        {FilterShape::kPassInsideRect, "........\n..1111..\n..1111..\n..1111..\n..1111..\n........\n"},
        {FilterShape::kPassOutsideEllipse, "11111111\n111..111\n11....11\n11....11\n111..111\n11111111\n"},
        {FilterShape::kPassOutsideRect, "11111111\n11....11\n11....11\n11....11\n11....11\n11111111\n"},
        {FilterShape::kHighPassEllipse, "........\n...00...\n..0000..\n..0000..\n...00...\n........\n"},
        {FilterShape::kHighPassRect, "........\n..0000..\n..0000..\n..0000..\n..0000..\n........\n"},
        {FilterShape::kLowPassEllipse, "00000000\n000..000\n00....00\n00....00\n000..000\n00000000\n"},
        {FilterShape::kLowPassRect, "00000000\n00....00\n00....00\n00....00\n00....00\n00000000\n"},
    };
    for (const auto& c : cases) {
        Grid grid(8, 6);
        ApplyFilterShape(grid.Field(), kMarking, c.shape);
        EXPECT_EQ(grid.Picture(), c.picture) << static_cast<int>(c.shape);
    }
}

TEST(FilterShapeTest, OnePointMarkingHasHalfSizesOfOneHalf) {
    const Marking point{3, 2, 3, 2};
    Grid inside(6, 4), outside(6, 4);
    ApplyFilterShape(inside.Field(), point, FilterShape::kPassInsideEllipse);
    ApplyFilterShape(outside.Field(), point, FilterShape::kPassOutsideEllipse);
    EXPECT_EQ(inside.Picture(), "......\n...1..\n......\n......\n");
    EXPECT_EQ(outside.Picture(), "111111\n111.11\n111111\n111111\n");
}

TEST(FilterShapeTest, WholeGridRectanglePassSetsEverything) {
    Grid grid(4, 2);
    ApplyFilterShape(grid.Field(), WholeImageMarking(4, 2), FilterShape::kPassInsideRect);
    EXPECT_EQ(grid.Picture(), "1111\n1111\n");
}

TEST(GaussFilterTest, WholeGridGaussIsCentredBetweenTheMiddlePoints) {
    Grid grid(8, 4);
    ApplyGaussFilter(grid.Field(), WholeImageMarking(8, 4));
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            const double e = (x - 3.5) * (x - 3.5) / 16.0 + (y - 1.5) * (y - 1.5) / 4.0;
            EXPECT_EQ(grid.re[grid.At(x, y)], static_cast<float>(std::exp(-e))) << x << "," << y;
            EXPECT_EQ(grid.im[grid.At(x, y)], 0.0f);
        }
    }
    // Symmetric about the centre, and e^-1 half a point beyond the outer columns would be reached.
    EXPECT_EQ(grid.re[grid.At(0, 0)], grid.re[grid.At(7, 3)]);
}

TEST(ComplexOperationsTest, MultiplyConjugateReset) {
    Grid grid(2, 2, 1.0f, 0.0f);
    EXPECT_FALSE(MultiplyFilter(grid.Field(), 1.0f, 0.0f));
    EXPECT_TRUE(MultiplyFilter(grid.Field(), 0.0f, 1.0f));
    EXPECT_EQ(grid.re, std::vector<float>(4, 0.0f));
    EXPECT_EQ(grid.im, std::vector<float>(4, 1.0f));
    grid.re[1] = 3.0f;
    grid.im[1] = -2.0f;
    EXPECT_TRUE(MultiplyFilter(grid.Field(), 2.0f, 0.5f));  // (3 - 2i)(2 + 0.5i) = 7 - 2.5i
    EXPECT_EQ(grid.re[1], 7.0f);
    EXPECT_EQ(grid.im[1], -2.5f);
    ConjugateFilter(grid.Field());
    EXPECT_EQ(grid.im[1], 2.5f);
    ResetFilter(grid.Field());
    EXPECT_EQ(grid.Picture(), "11\n11\n");
}

TEST(ReflectFilterTest, MovesFrequenciesToTheirNegativesAndKeepsTheFixedPoints) {
    const int32_t w = 8, h = 6;
    Grid grid(w, h);
    for (size_t i = 0; i < grid.re.size(); ++i) grid.re[i] = static_cast<float>(i);
    const std::vector<float> original = grid.re;
    ReflectFilter(grid.Field());
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            EXPECT_EQ(grid.re[grid.At(x, y)], original[grid.At((w - x) % w, (h - y) % h)]) << x << "," << y;
        }
    }
    for (auto [x, y] : {std::pair{0, 0}, {w / 2, 0}, {0, h / 2}, {w / 2, h / 2}}) {
        EXPECT_EQ(grid.re[grid.At(x, y)], original[grid.At(x, y)]);
    }
    EXPECT_EQ(grid.re[grid.At(1, 0)], original[grid.At(7, 0)]);  // row 0 within itself
    EXPECT_EQ(grid.re[grid.At(0, 1)], original[grid.At(0, 5)]);  // column 0 within itself
    ReflectFilter(grid.Field());
    EXPECT_EQ(grid.re, original);
}

TEST(ReflectFilterTest, SinglePassPointMovesToTheOppositeFrequency) {
    Grid grid(16, 8, 0.0f, 0.0f);
    grid.re[grid.At(8 + 3, 4 + 1)] = 1.0f;
    ReflectFilter(grid.Field());
    for (size_t i = 0; i < grid.re.size(); ++i) {
        EXPECT_EQ(grid.re[i], i == grid.At(8 - 3, 4 - 1) ? 1.0f : 0.0f) << i;
    }
}

TEST(ReciprocalFilterTest, InvertsOrRefusesAZeroLeavingTheFilterAlone) {
    Grid fresh(4, 2, 1.0f, 0.0f);
    std::vector<float> work(8);
    EXPECT_TRUE(ReciprocalFilter(fresh.Field(), work.data()));
    EXPECT_EQ(fresh.Picture(), "1111\n1111\n");

    Grid grid(2, 1, 0.0f, 2.0f);  // 1 / 2i = -0.5i
    grid.re[1] = 3.0f;
    grid.im[1] = 4.0f;  // 1 / (3 + 4i) = (3 - 4i) / 25
    EXPECT_TRUE(ReciprocalFilter(grid.Field(), work.data()));
    EXPECT_EQ(grid.re[0], 0.0f);
    EXPECT_EQ(grid.im[0], -0.5f);
    EXPECT_FLOAT_EQ(grid.re[1], 0.12f);
    EXPECT_FLOAT_EQ(grid.im[1], -0.16f);

    for (float tiny : {0.0f, 1e-30f}) {  // 1e-30² vanishes in float: no division by zero later
        Grid zero(3, 1, 2.0f, 0.0f);
        zero.re[2] = tiny;
        const std::vector<float> before = zero.re;
        EXPECT_FALSE(ReciprocalFilter(zero.Field(), work.data())) << tiny;
        EXPECT_EQ(zero.re, before);
    }
}

TEST(ImportFilterTest, PixelsOver255GoToTheChosenPartsAndOtherSizesAreRefused) {
    GrayBitmap bitmap = CreateGrayBitmap(3, 2).value();
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) bitmap.At(x, y) = static_cast<uint8_t>(51 * (x + 3 * y));
    }
    const struct {
        FilterImportPart part;
        bool realSet, imaginarySet, imaginaryZero;
    } cases[] = {{FilterImportPart::kWhole, true, false, true},
                 {FilterImportPart::kReal, true, false, false},
                 {FilterImportPart::kImaginary, false, true, false}};
    for (const auto& c : cases) {
        Grid grid(3, 2);
        ASSERT_TRUE(ImportFilterBitmap(grid.Field(), bitmap, c.part));
        for (int32_t y = 0; y < 2; ++y) {
            for (int32_t x = 0; x < 3; ++x) {
                const float value = bitmap.At(x, y) / 255.0f;
                const size_t i = grid.At(x, y);
                EXPECT_EQ(grid.re[i], c.realSet ? value : 0.5f);
                EXPECT_EQ(grid.im[i], c.imaginarySet ? value : c.imaginaryZero ? 0.0f : 0.25f);
            }
        }
    }
    Grid grid(4, 2);
    EXPECT_FALSE(ImportFilterBitmap(grid.Field(), bitmap, FilterImportPart::kWhole));
    EXPECT_EQ(grid.Picture(), "....\n....\n");
}

TEST(CentredMarkingTest, RectangleAroundTheFrequencyWithTheWholeExtentRule) {
    const struct {
        int64_t kx, ky, a, b;
        bool valid;
        Marking marking;
    } cases[] = {
        {0, 0, 0, 0, true, {16, 8, 16, 8}},      // the zero frequency alone
        {3, -2, 1, 2, true, {18, 8, 20, 4}},     // columns 18..20, rows 4..8
        {0, 0, 16, 8, true, {0, 15, 31, 0}},     // a = W/2, b = H/2: the whole grid
        {0, 1, 16, 2, true, {0, 11, 31, 7}},     // whole width only
        {1, 0, 15, 8, false, {}},                // kx != 0: no whole-extent rule, right edge 32
        {-1, 0, 15, 8, true, {0, 15, 30, 0}},    // left edge 0 but kx != 0: right stays 30
        {-16, 0, 0, 0, true, {0, 8, 0, 8}},      // leftmost column
        {0, 0, 17, 0, false, {}},                // left edge below 0
        {15, 0, 1, 0, false, {}},                // right edge beyond W - 1
        {0, 7, 0, 1, false, {}},                 // top edge beyond H - 1
        {0, 0, -1, 0, false, {}},                // negative half-size
        {int64_t{1} << 50, 0, 0, 0, false, {}},  // far outside, no overflow
    };
    for (const auto& c : cases) {
        const auto marking = CentredMarking(c.kx, c.ky, c.a, c.b, 32, 16);
        ASSERT_EQ(marking.has_value(), c.valid) << c.kx << "," << c.ky << "," << c.a << "," << c.b;
        if (c.valid) {
            EXPECT_EQ(*marking, c.marking);
        }
    }
}

TEST(CentredMarkingTest, MarkingInsideGridNeedsOrderedEdgesWithinTheGrid) {
    EXPECT_TRUE(MarkingInsideGrid(Marking{0, 3, 7, 0}, 8, 4));
    for (const Marking& m : {Marking{-1, 3, 7, 0}, Marking{0, 4, 7, 0}, Marking{0, 3, 8, 0},
                             Marking{0, 3, 7, -1}, Marking{5, 3, 4, 0}, Marking{0, 1, 7, 2}}) {
        EXPECT_FALSE(MarkingInsideGrid(m, 8, 4))
            << m.left << " " << m.bottom << " " << m.right << " " << m.top;
    }
}

}  // namespace
}  // namespace tarkemo
