#include "ops/shift_origin.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/particle_image.h"

namespace tarkemo {
namespace {

TEST(ShiftOrigin, NewPixelIsOldPixelAtTheShiftedPlaceWithWrapAround) {
    struct Case {
        int32_t width, height;
        int64_t a, b;
    };
    const Case
        cases[] =
            {
                {13, 7, 0, 0},    {13, 7, 13, 7},  {13, 7, 5, 0},   {13, 7, 0, 3},
                {13, 7, 12, 6},   {13, 7, 1, 1},   {1, 1, 1, 0},    {1, 9, 0, 4},
                {64, 33, 31, 17}, {100, 3, 99, 2}, {13, 7, -1, -8},  // negative shifts wrap the other way
            };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " by " + std::to_string(c.a) +
                     "," + std::to_string(c.b));
        const GrayBitmap original = testimages::MakeNoiseImage(c.width, c.height, 5);
        GrayBitmap image = original;
        ASSERT_TRUE(ShiftOrigin(image, c.a, c.b));
        const auto wrap = [](int64_t v, int64_t n) { return static_cast<int32_t>(((v % n) + n) % n); };
        int mismatches = 0;
        for (int32_t y = 0; y < c.height; ++y) {
            for (int32_t x = 0; x < c.width; ++x) {
                mismatches += image.At(x, y) != original.At(wrap(x + c.a, c.width), wrap(y + c.b, c.height));
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(ShiftOrigin, ClickedPixelBecomesTheBottomLeftCornerAndRightClickUndoesIt) {
    const GrayBitmap original = testimages::MakeNoiseImage(10, 6, 2);
    GrayBitmap image = original;
    ASSERT_TRUE(ShiftOrigin(image, 4, 2));
    EXPECT_EQ(image.At(0, 0), original.At(4, 2));
    // The right button shifts by (width - c, height - r): pixel (0, 0) moves back to (c, r).
    ASSERT_TRUE(ShiftOrigin(image, 10 - 4, 6 - 2));
    EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.end(), original.pixels.begin()));
}

TEST(ShiftOrigin, RowFillerBytesStayAsTheyWere) {
    GrayBitmap image = testimages::MakeNoiseImage(5, 4, 3);
    for (int32_t y = 0; y < 4; ++y) image.Row(y)[5] = static_cast<uint8_t>(200 + y);
    ASSERT_TRUE(ShiftOrigin(image, 2, 1));
    for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(image.Row(y)[5], 200 + y);
}

}  // namespace
}  // namespace tarkemo
