#include "spectrum/spectrum_context.h"

#include <gtest/gtest.h>

#include "generator/particle_image.h"
#include "image/memory_limits.h"

namespace tarkemo {
namespace {

TEST(SpectrumContextTest, WorkingBitmapEmbedsTheSourceAndTheSpectrumHoldsItsPixels) {
    GrayBitmap source = testimages::MakeNoiseImage(5, 3, 9);
    source.xPelsPerMeter = 1234;
    auto context = CreateSpectrumContext(source, SpectrumLayout{8, 4, 2, 1, 200});
    ASSERT_TRUE(context);
    EXPECT_EQ(context->source, &source);
    EXPECT_EQ(context->working.width, 8);
    EXPECT_EQ(context->working.xPelsPerMeter, 1234);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
            const int expected = inside ? source.At(x - 2, y - 1) : 200;
            EXPECT_EQ(context->working.At(x, y), expected) << x << "," << y;
            EXPECT_EQ(context->spectrumRe[y * 8 + x], static_cast<float>(expected));
            EXPECT_EQ(context->spectrumIm[y * 8 + x], 0.0f);
        }
    }
}

TEST(SpectrumContextTest, ConstantImageTransformsToItsValueAtTheCentreAfterTheShift) {
    GrayBitmap source = CreateGrayBitmap(4, 4).value();
    for (auto& p : source.pixels) p = 77;
    auto context = CreateSpectrumContext(source, SpectrumLayout{4, 4, 0, 0, 77});
    ASSERT_TRUE(context);
    ASSERT_TRUE(TransformSpectrumForward(*context));
    BeginSpectrumEditing(*context);
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(context->spectrumRe[i], i == 2 * 4 + 2 ? 77.0f : 0.0f, 1e-4f) << i;
        EXPECT_EQ(context->filterRe[i], 1.0f);
        EXPECT_EQ(context->filterIm[i], 0.0f);
        EXPECT_EQ(context->filteredRe[i], context->spectrumRe[i]);
    }
    ASSERT_TRUE(FinishSpectrumEditing(*context));
    for (size_t i = 0; i < 16; ++i) EXPECT_NEAR(context->filteredRe[i], 77.0f, 1e-3f) << i;
}

TEST(SpectrumContextTest, GridsBeyondMemoryOrSideLimitAreRefusedBeforeAllocating) {
    GrayBitmap source = CreateGrayBitmap(1, 1).value();
    const struct {
        int64_t width, height;
    } cases[] = {{int64_t{1} << 31, 2},
                 {2, int64_t{1} << 32},
                 {int64_t{1} << 30, int64_t{1} << 30},
                 {int64_t{1} << 20, int64_t{1} << 20}};
    for (const auto& c : cases) {
        EXPECT_FALSE(CreateSpectrumContext(source, SpectrumLayout{c.width, c.height, 0, 0, 0})) << c.width;
    }
    // 16384² needs seven arrays of 1 GiB: refused exactly when it does not fit the machine.
    const uint64_t bytes = SpectrumContextBytes(16384, 16384);
    EXPECT_GE(bytes, uint64_t{7} << 30);
    if (!AllocationFits(bytes)) {
        EXPECT_FALSE(CreateSpectrumContext(source, SpectrumLayout{16384, 16384, 0, 0, 0}));
    }
    EXPECT_EQ(SpectrumContextBytes(int64_t{1} << 40, int64_t{1} << 40), UINT64_MAX);
}

TEST(SpectrumContextTest, LayoutsThatDoNotHoldTheSourceOrAreNoPowersOfTwoAreRefused) {
    GrayBitmap source = CreateGrayBitmap(3, 3).value();
    for (const SpectrumLayout& layout : {SpectrumLayout{4, 4, 2, 0, 0}, SpectrumLayout{4, 4, 0, -1, 0},
                                         SpectrumLayout{2, 4, 0, 0, 0}, SpectrumLayout{6, 4, 0, 0, 0}}) {
        EXPECT_FALSE(CreateSpectrumContext(source, layout)) << layout.width << " " << layout.offsetX;
    }
}

}  // namespace
}  // namespace tarkemo
