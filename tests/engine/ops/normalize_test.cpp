#include "ops/normalize.h"

#include <gtest/gtest.h>

namespace tarkemo {
namespace {

// An image holding every value low ... high once (and low again to fill the rows).
GrayBitmap Span(int low, int high) {
    const int count = high - low + 1;
    GrayBitmap image = *CreateGrayBitmap(7, (count + 6) / 7);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            const int i = y * 7 + x;
            image.At(x, y) = static_cast<uint8_t>(i < count ? low + i : low);
        }
    }
    return image;
}

// Every pair of smallest and largest value: each pixel is (p - min) * (255.0 / (max - min)) truncated.
TEST(NormalizeRange, EveryRangeFollowsTheDefinitionForEveryValue) {
    for (int low = 0; low < 256; ++low) {
        for (int high = low + 1; high < 256; ++high) {
            GrayBitmap image = Span(low, high);
            const GrayBitmap original = image;
            ASSERT_TRUE(NormalizeRange(image));
            const double factor = 255.0 / (high - low);
            for (size_t i = 0; i < image.pixels.size(); ++i) {
                if (i % static_cast<size_t>(image.stride) >= 7) continue;
                ASSERT_EQ(image.pixels[i], static_cast<int>((original.pixels[i] - low) * factor))
                    << low << " ... " << high << " value " << int(original.pixels[i]);
            }
        }
    }
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
    EXPECT_EQ(rounded.At(4, 3), 254);  // the pixel that held 25
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
