// The histogram: exact counts against a one-line count over every pixel, padding never counted,
// and the scaling that puts the largest count at 255.
#include "image/gray_histogram.h"

#include <gtest/gtest.h>

#include <vector>

#include "generator/particle_image.h"

namespace tarkemo {
namespace {

GrayCounts PlainCount(const GrayBitmap& bitmap) {
    GrayCounts counts{};
    for (int32_t y = 0; y < bitmap.height; ++y) {
        for (int32_t x = 0; x < bitmap.width; ++x) ++counts[bitmap.At(x, y)];
    }
    return counts;
}

TEST(GrayHistogramTest, CountsEveryPixelOnceAndNoPadding) {
    // Widths with and without padding, odd widths, runs shorter and longer than one counting block.
    const struct {
        int32_t width, height;
    } sizes[] = {{1, 1},   {3, 5},   {16, 2},   {17, 3},   {33, 7},
                 {64, 64}, {255, 9}, {1000, 3}, {1024, 5}, {2051, 9}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        GrayBitmap bitmap = testimages::MakeNoiseImage(size.width, size.height, 7);
        // Padding bytes hold a value no pixel has, so counting one of them shows.
        for (int32_t y = 0; y < bitmap.height; ++y) {
            for (int32_t x = 0; x < bitmap.width; ++x) bitmap.At(x, y) &= 0x7F;
            for (int32_t x = bitmap.width; x < bitmap.stride; ++x) bitmap.Row(y)[x] = 200;
        }
        EXPECT_EQ(CountGrayValues(bitmap), PlainCount(bitmap));
        EXPECT_EQ(CountGrayValuesPortable(bitmap), PlainCount(bitmap));
    }
}

// Images made of only some values, so that whole branches of the wide kernel's bit split stay empty
// while others hold everything.
TEST(GrayHistogramTest, SparseValueSetsCountExactly) {
    const std::vector<std::vector<uint8_t>> valueSets = {{0},
                                                         {255},
                                                         {0, 255},
                                                         {127, 128},
                                                         {1, 2, 4, 8, 16, 32, 64, 128},
                                                         {254, 253, 251, 247, 239, 223, 191, 127}};
    for (const auto& values : valueSets) {
        GrayBitmap bitmap = *CreateGrayBitmap(2048, 3);
        size_t i = 0;
        for (int32_t y = 0; y < bitmap.height; ++y) {
            for (int32_t x = 0; x < bitmap.width; ++x) bitmap.At(x, y) = values[(i++ * 7919) % values.size()];
        }
        EXPECT_EQ(CountGrayValues(bitmap), PlainCount(bitmap)) << int{values[0]};
        EXPECT_EQ(CountGrayValuesPortable(bitmap), PlainCount(bitmap)) << int{values[0]};
    }
}

TEST(GrayHistogramTest, UniformImageCountsAllPixelsInOneValue) {
    GrayBitmap bitmap = *CreateGrayBitmap(50, 40);
    std::fill(bitmap.pixels.begin(), bitmap.pixels.end(), uint8_t{77});
    const GrayCounts counts = CountGrayValues(bitmap);
    EXPECT_EQ(counts[77], 2000u);
    const GrayHistogram histogram = ScaleHistogram(counts);
    EXPECT_EQ(histogram[77], 255.0f);
    EXPECT_EQ(histogram[76], 0.0f);
}

TEST(GrayHistogramTest, ScalingPutsTheLargestCountAt255) {
    GrayCounts counts{};
    counts[0] = 10;
    counts[1] = 5;
    counts[2] = 1;
    counts[200] = 0;
    const GrayHistogram histogram = ScaleHistogram(counts);
    EXPECT_FLOAT_EQ(histogram[0], 255.0f);
    EXPECT_FLOAT_EQ(histogram[1], 127.5f);
    EXPECT_FLOAT_EQ(histogram[2], 25.5f);
    EXPECT_EQ(histogram[200], 0.0f);
    // A single pixel beside two billion others still shows as occurring.
    counts[3] = 2147483647;
    EXPECT_GT(ScaleHistogram(counts)[2], 0.0f);
    EXPECT_EQ(ScaleHistogram(GrayCounts{}), GrayHistogram{});
}

}  // namespace
}  // namespace tarkemo
