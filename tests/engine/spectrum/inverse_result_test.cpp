// The inverse dialog's result: sources, adding, absolute value, multiplier and normalisation,
// the clamping of every value, and that only the region at the offsets is read.
#include "spectrum/inverse_result.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "generator/particle_image.h"

namespace tarkemo {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The pixel of a 1 x 1 image whose single element is re + i·im.
int PixelOf(float re, float im, const InverseSettings& settings) {
    std::vector<float> real{re}, imaginary{im}, work(1);
    GrayBitmap target = CreateGrayBitmap(1, 1).value();
    target.At(0, 0) = 99;
    ApplyInverseResult({real.data(), imaginary.data(), 1, 1}, 0, 0, settings, work.data(), target);
    return target.At(0, 0);
}

InverseSettings Settings(InverseSource source, float add = 0.0f, bool absolute = false,
                         float multiplier = 1.0f) {
    InverseSettings settings;
    settings.source = source;
    settings.add = add;
    settings.absolute = absolute;
    settings.multiplier = multiplier;
    return settings;
}

TEST(InverseResultTest, SingleValuesAreAdjustedAndClamped) {
    using enum InverseSource;
    const struct {
        float re, im;
        InverseSettings settings;
        int pixel;
    } cases[] = {
        {100.7f, 5.0f, Settings(kReal), 100},
        {100.7f, 5.0f, Settings(kImaginary), 5},
        {3.0f, 4.0f, Settings(kMagnitude), 5},
        {3e30f, 4e30f, Settings(kMagnitude), 255},  // no overflow on the way
        {-1.0f, 0.0f, Settings(kPhase), 6},         // 2π
        {1.0f, 0.0f, Settings(kPhase), 3},          // π
        {-5.0f, 0.0f, Settings(kReal), 0},          // negative
        {300.0f, 0.0f, Settings(kReal), 255},
        {255.9f, 0.0f, Settings(kReal), 255},
        {5.0f, 0.0f, Settings(kReal, -10.0f), 0},        // negative after adding
        {5.0f, 0.0f, Settings(kReal, -10.0f, true), 5},  // made absolute
        {-7.5f, 0.0f, Settings(kReal, 0.0f, true), 7},
        {100.0f, 0.0f, Settings(kReal, 0.0f, false, 2.0f), 200},
        {100.0f, 0.0f, Settings(kReal, 0.0f, false, 0.0f), 0},  // an empty multiplier field
        {-100.0f, 0.0f, Settings(kReal, 0.0f, false, -2.0f), 200},
        {kNaN, 0.0f, Settings(kReal), 0},
        {kNaN, 0.0f, Settings(kReal, 0.0f, true), 0},
        {kInf, 0.0f, Settings(kReal), 255},
        {-kInf, 0.0f, Settings(kReal, 0.0f, true), 255},
        {1.0f, kNaN, Settings(kMagnitude), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PixelOf(c.re, c.im, c.settings), c.pixel)
            << c.re << " " << c.im << " source " << static_cast<int>(c.settings.source);
    }
}

TEST(InverseResultTest, NormalisationMapsTheLargestValueToTheTopAndIgnoresTheMultiplier) {
    std::vector<float> re = {1.0f, 2.0f, 4.0f, -1.0f, kNaN, 0.0f}, im(6, 0.0f), work(6);
    GrayBitmap target = CreateGrayBitmap(6, 1).value();
    InverseSettings settings;
    settings.normalise = true;
    settings.multiplier = 1000.0f;
    ApplyInverseResult({re.data(), im.data(), 6, 1}, 0, 0, settings, work.data(), target);
    const float factor = static_cast<float>(255.0 / 4.0);
    const int expected[] = {static_cast<int>(factor), static_cast<int>(2.0 * factor), 255, 0, 0, 0};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(target.At(x, 0), expected[x]) << x;

    // Phase: the largest phase of the region at the top (255, or 254 through the float factor), 0 at 0.
    std::vector<float> pre = {1.0f, -1.0f, 0.0f, -1.0f}, pim = {0.0f, 0.0f, 1.0f, -0.0f};
    GrayBitmap phase = CreateGrayBitmap(4, 1).value();
    settings.source = InverseSource::kPhase;
    ApplyInverseResult({pre.data(), pim.data(), 4, 1}, 0, 0, settings, work.data(), phase);
    EXPECT_GE(phase.At(1, 0), 254);
    EXPECT_EQ(phase.At(3, 0), 0);  // atan2(-0, -1) + π is 8.7e-8
    EXPECT_NEAR(phase.At(0, 0), 127, 1);

    // Nothing above 0: the factor is 255 and everything is black.
    std::vector<float> dark = {-1.0f, 0.0f}, zero(2, 0.0f);
    GrayBitmap black = CreateGrayBitmap(2, 1).value();
    settings.source = InverseSource::kReal;
    ApplyInverseResult({dark.data(), zero.data(), 2, 1}, 0, 0, settings, work.data(), black);
    EXPECT_EQ(black.At(0, 0) + black.At(1, 0), 0);
}

TEST(InverseResultTest, OnlyTheRegionAtTheOffsetsIsRead) {
    const int32_t w = 8, h = 4;
    std::vector<float> re(w * h, kNaN), im(w * h, kNaN), work(w * h);
    GrayBitmap target = CreateGrayBitmap(3, 2).value();
    for (int32_t r = 0; r < 2; ++r) {
        for (int32_t c = 0; c < 3; ++c) re[(1 + r) * w + 4 + c] = static_cast<float>(10 * r + c);
    }
    InverseSettings settings;
    settings.normalise = true;  // a NaN or larger value outside the region would change the factor
    ApplyInverseResult({re.data(), im.data(), w, h}, 4, 1, settings, work.data(), target);
    const float factor = static_cast<float>(255.0 / 12.0);
    for (int32_t r = 0; r < 2; ++r) {
        for (int32_t c = 0; c < 3; ++c) {
            EXPECT_EQ(target.At(c, r),
                      std::min(255, static_cast<int>((10 * r + c) * static_cast<double>(factor))));
        }
    }
}

TEST(InverseResultTest, UnfilteredRoundTripGivesThePixelsBackOrOneLower) {
    GrayBitmap image = testimages::MakeNoiseImage(37, 21, 3);
    const GrayBitmap original = image;
    SizeSettings centred{64, 32, 0, 0, true, true, 0};
    SpectrumSizeError error;
    const auto layout = ManualSpectrumLayout(centred, 37, 21, error);
    ASSERT_TRUE(layout);
    auto context = CreateSpectrumContext(image, *layout);
    ASSERT_TRUE(context && TransformSpectrumForward(*context));
    BeginSpectrumEditing(*context);
    ASSERT_TRUE(FinishSpectrumEditing(*context));
    ApplyInverseResult(*context, InverseSettings{});
    int lower = 0;
    for (int32_t y = 0; y < 21; ++y) {
        for (int32_t x = 0; x < 37; ++x) {
            const int difference = original.At(x, y) - image.At(x, y);
            EXPECT_TRUE(difference == 0 || difference == 1) << x << "," << y;
            lower += difference;
        }
    }
    EXPECT_LT(lower, 37 * 21);
    EXPECT_EQ(image.colours, original.colours);
}

TEST(InverseResultTest, CancelRestoresThePixelsKeptInTheWorkingBitmap) {
    GrayBitmap image = testimages::MakeNoiseImage(13, 7, 6);  // stride 16 in a 32 x 16 grid
    const GrayBitmap original = image;
    auto context = CreateSpectrumContext(image, AutomaticSpectrumLayout(13, 7));
    ASSERT_TRUE(context && TransformSpectrumForward(*context));
    BeginSpectrumEditing(*context);
    ASSERT_TRUE(FinishSpectrumEditing(*context));
    BackupSourcePixels(*context);
    for (InverseSource source : {InverseSource::kPhase, InverseSource::kImaginary}) {
        ApplyInverseResult(*context, Settings(source, 5.0f, true, 3.0f));
    }
    EXPECT_FALSE(std::equal(image.pixels.begin(), image.pixels.end(), original.pixels.begin()));
    RestoreSourcePixels(*context);
    EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.end(), original.pixels.begin()));
}

}  // namespace
}  // namespace tarkemo
