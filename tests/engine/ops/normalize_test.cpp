#include "ops/normalize.h"

#include <gtest/gtest.h>

#include "ops/cpu_features.h"

namespace tarkemo {
namespace {

// Rows of 80 pixels (wide enough for every vector path) cycling through low ... high, two rows at least.
GrayBitmap Span(int low, int high) {
    const int count = high - low + 1;
    GrayBitmap image = *CreateGrayBitmap(80, (count + 79) / 80 + 1);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < 80; ++x) image.At(x, y) = static_cast<uint8_t>(low + (y * 80 + x) % count);
    }
    return image;
}

// Every pair of smallest and largest value: each pixel is (p - min) * (255.0 / (max - min)) truncated.
TEST(NormalizeRange, EveryRangeFollowsTheDefinitionForEveryValue) {
    // Each instruction set the processor has, down to the baseline.
    for (const bool baseline : {false, true}) {
        RestrictToBaselineInstructions(baseline);
        for (int low = 0; low < 256; ++low) {
            for (int high = low + 1; high < 256; ++high) {
                GrayBitmap image = Span(low, high);
                const GrayBitmap original = image;
                ASSERT_TRUE(NormalizeRange(image));
                const double factor = 255.0 / (high - low);
                for (size_t i = 0; i < image.pixels.size(); ++i) {
                    if (i % static_cast<size_t>(image.stride) >= 80) continue;
                    const int expected = static_cast<int>((original.pixels[i] - low) * factor);
                    if (image.pixels[i] == expected) continue;
                    FAIL() << low << " ... " << high << " value " << int(original.pixels[i]) << " gives "
                           << int(image.pixels[i]) << " instead of " << expected << ", baseline " << baseline;
                }
            }
        }
    }
    RestrictToBaselineInstructions(false);
}

TEST(NormalizeRange, WorkedValues) {
    GrayBitmap image = *CreateGrayBitmap(3, 1);
    image.At(0, 0) = 10;
    image.At(1, 0) = 15;
    image.At(2, 0) = 20;
    ASSERT_TRUE(NormalizeRange(image));
    EXPECT_EQ(image.At(0, 0), 0);
    EXPECT_EQ(image.At(1, 0), 127);  // 127.5 truncated
    EXPECT_EQ(image.At(2, 0), 255);

    // The factor 255 / 25 is rounded before it multiplies, so the top of this range lands on 254.
    GrayBitmap rounded = Span(0, 25);
    ASSERT_TRUE(NormalizeRange(rounded));
    EXPECT_EQ(rounded.At(25, 0), 254);  // the pixel that held 25
}

TEST(NormalizeRange, FullRangeStaysAndUniformImageIsRefused) {
    GrayBitmap full = Span(0, 255);
    const GrayBitmap original = full;
    ASSERT_TRUE(NormalizeRange(full));
    EXPECT_TRUE(std::equal(full.pixels.begin(), full.pixels.end(), original.pixels.begin()));

    GrayBitmap uniform = *CreateGrayBitmap(5, 5);
    std::fill(uniform.pixels.begin(), uniform.pixels.end(), 77);
    EXPECT_FALSE(NormalizeRange(uniform));
    EXPECT_EQ(uniform.At(2, 2), 77);
}

}  // namespace
}  // namespace tarkemo
