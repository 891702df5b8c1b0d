#include "spectrum/spectrum_size.h"

#include <gtest/gtest.h>

namespace tarkemo {
namespace {

TEST(SpectrumSizeTest, AutomaticSideIsNextPowerOfTwoAboveOneAndAHalfTimes) {
    const struct {
        int64_t side, spectrum;
    } cases[] = {{1, 2},
                 {2, 4},
                 {3, 8},
                 {100, 256},
                 {512, 1024},
                 {682, 1024},
                 {683, 2048},
                 {1024, 2048},
                 {1365, 2048},
                 {1366, 4096},
                 {2147483647, int64_t{1} << 32}};
    for (const auto& c : cases) EXPECT_EQ(AutomaticSpectrumSide(c.side), c.spectrum) << c.side;
    EXPECT_EQ(AutomaticSpectrumLayout(683, 1), (SpectrumLayout{2048, 2, 0, 0, 0}));
}

TEST(SpectrumSizeTest, ManualRuleChecksSizeBeforeOffsets) {
    const struct {
        SizeSettings settings;
        int64_t imageWidth, imageHeight;
        SpectrumSizeError error;
        SpectrumLayout layout;
    } cases[] = {
        // exactly as wide as the manual width, offset 0: accepted
        {{256, 64, 0, 0, false, false, 7}, 256, 10, SpectrumSizeError::kNone, {256, 64, 0, 0, 7}},
        // offset 1 without centring: offset error
        {{256, 64, 1, 0, false, false, 0}, 256, 10, SpectrumSizeError::kOffsetTooLarge, {}},
        {{256, 64, 0, 55, false, false, 0}, 256, 10, SpectrumSizeError::kOffsetTooLarge, {}},
        // centring ignores the offset fields: (W - w) / 2 by integer division
        {{256, 64, 99, 99, true, true, -3}, 255, 9, SpectrumSizeError::kNone, {256, 64, 0, 27, -3}},
        {{256, 64, 99, 3, true, false, 256}, 100, 9, SpectrumSizeError::kNone, {256, 64, 78, 3, 256}},
        // too small wins over too large offsets
        {{256, 64, 999, 999, false, false, 0}, 257, 10, SpectrumSizeError::kTooSmall, {}},
        {{256, 64, 0, 0, true, true, 0}, 10, 65, SpectrumSizeError::kTooSmall, {}},
        // negative offsets (not possible from the dialog) are refused as well
        {{256, 64, -1, 0, false, false, 0}, 10, 10, SpectrumSizeError::kOffsetTooLarge, {}},
    };
    for (const auto& c : cases) {
        SpectrumSizeError error = SpectrumSizeError::kNone;
        const auto layout = ManualSpectrumLayout(c.settings, c.imageWidth, c.imageHeight, error);
        EXPECT_EQ(error, c.error) << c.settings.width << " " << c.settings.offsetX;
        EXPECT_EQ(layout.has_value(), c.error == SpectrumSizeError::kNone);
        if (layout) {
            EXPECT_EQ(*layout, c.layout);
        }
    }
}

TEST(SpectrumSizeTest, SpectrumSidesArePowersOfTwoFromTwo) {
    for (int64_t n : {2, 4, 1024, 1 << 30}) EXPECT_TRUE(IsSpectrumSide(n)) << n;
    for (int64_t n : {-2, 0, 1, 3, 6, 1000}) EXPECT_FALSE(IsSpectrumSide(n)) << n;
}

}  // namespace
}  // namespace tarkemo
