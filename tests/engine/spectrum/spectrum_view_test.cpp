// The editor's display: the worked examples, the clamping of NaN and infinity, and the vectorised
// quantities and scales against the scalar formula in double precision.
#include "spectrum/spectrum_view.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "generator/particle_image.h"
#include "ops/cpu_features.h"
#include "spectrum/elementwise_math.h"

namespace tarkemo {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Field {
    int32_t width, height;
    std::vector<float> re, im, work;
    GrayBitmap target;
    Field(int32_t w, int32_t h, float r, float i)
        : width(w),
          height(h),
          re(w * h, r),
          im(w * h, i),
          work(w * h),
          target(CreateGrayBitmap(w, h).value()) {}
    std::vector<int> Render(SpectrumQuantity quantity, SpectrumScale scale, float exponent = 0.1f) {
        RenderComplexField({re.data(), im.data(), width, height},
                           {SpectrumViewField::kFilter, quantity, scale, exponent}, work.data(), target);
        std::vector<int> pixels;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) pixels.push_back(target.At(x, y));
        }
        return pixels;
    }
};

TEST(SpectrumViewTest, FreshFilterRendersAsTheWorkedExamplesSay) {
    const struct {
        SpectrumQuantity quantity;
        SpectrumScale scale;
        int pixel;
    } cases[] = {
        {SpectrumQuantity::kPhase, SpectrumScale::kPowerLaw, 254},  // π^0.1 times the float factor
        {SpectrumQuantity::kPhase, SpectrumScale::kDecibel, 0},     // max - min = 0
        {SpectrumQuantity::kImaginaryMagnitude, SpectrumScale::kPowerLaw, 0},
        {SpectrumQuantity::kImaginaryMagnitude, SpectrumScale::kDecibel, 0},
        {SpectrumQuantity::kMagnitude, SpectrumScale::kPowerLaw, 255},
        {SpectrumQuantity::kRealMagnitude, SpectrumScale::kDecibel, 0},
    };
    for (const auto& c : cases) {
        Field field(6, 4, 1.0f, 0.0f);
        EXPECT_EQ(field.Render(c.quantity, c.scale), std::vector<int>(24, c.pixel))
            << static_cast<int>(c.quantity) << "/" << static_cast<int>(c.scale);
    }
}

TEST(SpectrumViewTest, DecibelScaleStretchesFromTheFloorBelowTheSmallestPositiveValue) {
    Field field(4, 1, 0.0f, 0.0f);
    field.re = {0.0f, 1.0f, static_cast<float>(std::exp(1.0)), static_cast<float>(std::exp(2.0))};
    const std::vector<int> pixels = field.Render(SpectrumQuantity::kRealMagnitude, SpectrumScale::kDecibel);
    const float floorValue = static_cast<float>(std::log(0.1));
    const float factor =
        static_cast<float>(255.0 / (static_cast<double>(static_cast<float>(2.0)) - floorValue));
    std::vector<int> expected;
    for (float re : field.re) {
        const float q = re > 0 ? static_cast<float>(std::log(static_cast<double>(re))) : floorValue;
        expected.push_back(static_cast<int>((static_cast<double>(q) - floorValue) * factor));
    }
    EXPECT_EQ(pixels, expected);
    EXPECT_EQ(pixels[0], 0);
    EXPECT_GE(pixels[3], 254);
}

TEST(SpectrumViewTest, NaNBecomesZeroAndAnInfiniteMaximumDarkensTheView) {
    Field nan(4, 1, 2.0f, 0.0f);
    nan.re[0] = kNaN;
    nan.re[1] = 1.0f;
    for (SpectrumScale scale : {SpectrumScale::kPowerLaw, SpectrumScale::kDecibel}) {
        const std::vector<int> pixels = nan.Render(SpectrumQuantity::kMagnitude, scale);
        EXPECT_EQ(pixels[0], 0);
        EXPECT_GE(pixels[2], 254);  // the float factor may leave the largest value at 254
        EXPECT_LT(pixels[1], pixels[2]);
    }
    Field inf(4, 1, 2.0f, 0.0f);
    inf.re[3] = kInf;
    for (SpectrumScale scale : {SpectrumScale::kPowerLaw, SpectrumScale::kDecibel}) {
        EXPECT_EQ(inf.Render(SpectrumQuantity::kRealMagnitude, scale), std::vector<int>(4, 0));
    }
    Field allNaN(2, 2, kNaN, kNaN);
    EXPECT_EQ(allNaN.Render(SpectrumQuantity::kPhase, SpectrumScale::kPowerLaw), std::vector<int>(4, 0));
}

TEST(SpectrumViewTest, CentredSpectrumIsBrightestAtTheZeroFrequency) {
    GrayBitmap image = testimages::MakeParticleImage({.width = 40, .height = 30, .spotCount = 10});
    auto context = CreateSpectrumContext(image, AutomaticSpectrumLayout(40, 30));
    ASSERT_TRUE(context && TransformSpectrumForward(*context));
    BeginSpectrumEditing(*context);
    RenderSpectrumView(*context, SpectrumViewSettings{}, false);
    const uint8_t centre = context->working.At(context->width / 2, context->height / 2);
    EXPECT_GE(centre, 254);
    int brightest = 0;
    for (const uint8_t p : context->working.pixels) brightest += p >= centre;
    EXPECT_EQ(brightest, 1);
}

TEST(SpectrumViewTest, RecomputeMultipliesSpectrumAndFilter) {
    GrayBitmap image = testimages::MakeNoiseImage(3, 3, 5);
    auto context = CreateSpectrumContext(image, AutomaticSpectrumLayout(3, 3));
    ASSERT_TRUE(context && TransformSpectrumForward(*context));
    BeginSpectrumEditing(*context);
    for (size_t i = 0; i < context->Count(); ++i) {
        context->filterRe[i] = 0.5f;
        context->filterIm[i] = 2.0f;
    }
    RenderSpectrumView(*context, {SpectrumViewField::kFiltered}, true);
    for (size_t i = 0; i < context->Count(); ++i) {
        const double a = context->spectrumRe[i], b = context->spectrumIm[i];
        EXPECT_EQ(context->filteredRe[i], static_cast<float>(a * 0.5 - b * 2.0));
        EXPECT_EQ(context->filteredIm[i], static_cast<float>(a * 2.0 + b * 0.5));
    }
}

// The scalar formula in double precision, with its exact value before truncation.
double OracleLevel(double q, double min, float factor) {
    return (q - min) * factor;
}

TEST(SpectrumViewTest, VectorisedRenderMatchesTheScalarFormulaExceptOnLevelBoundaries) {
    const int32_t w = 64, h = 32;
    Field field(w, h, 0.0f, 0.0f);
    testimages::Random random(77);
    for (size_t i = 0; i < field.re.size(); ++i) {
        field.re[i] = static_cast<float>((random.Unit() - 0.5) * std::pow(10.0, random.Between(-6, 6)));
        field.im[i] = static_cast<float>((random.Unit() - 0.5) * std::pow(10.0, random.Between(-6, 6)));
    }
    field.re[5] = field.im[5] = 0.0f;
    for (auto quantity : {SpectrumQuantity::kMagnitude, SpectrumQuantity::kPhase,
                          SpectrumQuantity::kRealMagnitude, SpectrumQuantity::kImaginaryMagnitude}) {
        for (auto [scale, exponent] : {std::pair{SpectrumScale::kPowerLaw, 0.1f},
                                       {SpectrumScale::kPowerLaw, 0.73f},
                                       {SpectrumScale::kPowerLaw, 3.0f},
                                       {SpectrumScale::kDecibel, 0.1f}}) {
            const std::vector<int> pixels = field.Render(quantity, scale, exponent);
            std::vector<float> q(field.re.size());
            for (size_t i = 0; i < q.size(); ++i) {
                const double a = field.re[i], b = field.im[i];
                q[i] = quantity == SpectrumQuantity::kMagnitude ? static_cast<float>(a * a + b * b)
                       : quantity == SpectrumQuantity::kPhase
                           ? static_cast<float>(std::atan2(b, a) + 3.1415927f)
                       : quantity == SpectrumQuantity::kRealMagnitude ? std::fabs(field.re[i])
                                                                      : std::fabs(field.im[i]);
            }
            float min = 0.0f, max = -kInf, smallest = kInf;
            for (float v : q) smallest = v > 0 && v < smallest ? v : smallest;
            const float floorValue = static_cast<float>(std::log(smallest / 10.0));
            for (float& v : q) {
                v = scale == SpectrumScale::kPowerLaw
                        ? static_cast<float>(std::pow(static_cast<double>(v), exponent))
                    : v > 0 ? static_cast<float>(std::log(static_cast<double>(v)))
                            : floorValue;
                max = std::max(max, v);
            }
            if (scale == SpectrumScale::kDecibel) min = *std::min_element(q.begin(), q.end());
            const float factor = static_cast<float>(255.0 / (static_cast<double>(max) - min));
            int differing = 0;
            for (size_t i = 0; i < q.size(); ++i) {
                const double level = OracleLevel(q[i], min, factor);
                const int expected = level >= 255.0 ? 255 : static_cast<int>(level);
                if (pixels[i] == expected) continue;
                ++differing;
                EXPECT_EQ(std::abs(pixels[i] - expected), 1) << i;
                EXPECT_LT(std::fabs(level - std::round(level)), 1e-4) << i << ": not on a level boundary";
            }
            EXPECT_LE(differing, 2) << static_cast<int>(quantity) << " " << exponent;
        }
    }
}

// Distance in units in the last place of two floats of the same sign.
int64_t UlpDistance(float a, float b) {
    return std::abs(static_cast<int64_t>(std::bit_cast<int32_t>(a)) - std::bit_cast<int32_t>(b));
}

// Checks every kernel on one instruction set.
void CheckElementwiseMath();

TEST(ElementwiseMathTest, ArraysAgreeWithTheScalarFormulaToOneUnitInTheLastPlace) {
    CheckElementwiseMath();
}

TEST(ElementwiseMathTest, BaselineKernelsAgreeAsWell) {
    RestrictToBaselineInstructions(true);
    CheckElementwiseMath();
    RestrictToBaselineInstructions(false);
}

// The wider sets fuse multiply-adds, which changes the double results in the last bits; rounding
// to float hides that.
TEST(ElementwiseMathTest, EveryInstructionSetGivesTheSameBytes) {
    testimages::Random random(11);
    std::vector<float> re(1001), im(1001);
    for (size_t i = 0; i < re.size(); ++i) {
        re[i] = static_cast<float>((random.Unit() - 0.5) * std::pow(10.0, random.Between(-20, 20)));
        im[i] = static_cast<float>((random.Unit() - 0.5) * std::pow(10.0, random.Between(-20, 20)));
    }
    const auto compute = [&] {
        std::vector<float> out(re.size() * 3);
        PhaseArray(re.data(), im.data(), out.data(), re.size());
        for (size_t i = 0; i < re.size(); ++i) out[re.size() + i] = out[2 * re.size() + i] = std::fabs(re[i]);
        PowerArray(out.data() + re.size(), re.size(), 0.37f);
        LogArray(out.data() + 2 * re.size(), re.size(), -1.0f);
        return out;
    };
    const std::vector<float> widest = compute();
    RestrictToBaselineInstructions(true);
    const std::vector<float> baseline = compute();
    RestrictToBaselineInstructions(false);
    EXPECT_EQ(std::memcmp(widest.data(), baseline.data(), widest.size() * sizeof(float)), 0);
}

void CheckElementwiseMath() {
    testimages::Random random(4);
    std::vector<float> re(4099), im(4099);
    for (size_t i = 0; i < re.size(); ++i) {
        re[i] = static_cast<float>((random.Unit() - 0.5) * std::pow(10.0, random.Between(-40, 38)));
        im[i] = static_cast<float>((random.Unit() - 0.5) * std::pow(10.0, random.Between(-40, 38)));
    }
    const float specials[] = {0.0f, -0.0f, kInf,  -kInf,
                              kNaN, 1.0f,  -1.0f, std::numeric_limits<float>::denorm_min()};
    for (size_t i = 0; i < 64; ++i) {
        re[i] = specials[i % 8];
        im[i] = specials[i / 8];
    }
    std::vector<float> phase(re.size());
    PhaseArray(re.data(), im.data(), phase.data(), re.size());
    for (size_t i = 0; i < re.size(); ++i) {
        const float expected = ReferencePhase(re[i], im[i]);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(phase[i])) << i;
        } else if (expected > 1e-6f) {  // near 0 the float π cancels and only absolute accuracy counts
            EXPECT_LE(UlpDistance(phase[i], expected), 1) << re[i] << " " << im[i];
        } else {
            EXPECT_NEAR(phase[i], expected, 1e-14f) << re[i] << " " << im[i];
        }
    }
    std::vector<float> magnitude(re.size());
    for (size_t i = 0; i < re.size(); ++i) magnitude[i] = std::fabs(re[i]);
    for (float exponent : {0.1f, 0.5f, 1.0f, 2.5f, 9.0f}) {
        std::vector<float> power = magnitude;
        PowerArray(power.data(), power.size(), exponent);
        for (size_t i = 0; i < power.size(); ++i) {
            const float expected = ReferencePower(magnitude[i], exponent);
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(power[i])) << i;
            } else {
                EXPECT_LE(UlpDistance(power[i], expected), 1) << magnitude[i] << "^" << exponent;
            }
        }
    }
    std::vector<float> logs = magnitude;
    LogArray(logs.data(), logs.size(), -123.0f);
    for (size_t i = 0; i < logs.size(); ++i) {
        EXPECT_LE(UlpDistance(logs[i], ReferenceLog(magnitude[i], -123.0f)), 1) << magnitude[i];
    }
    std::vector<float> negative = {-1.0f, -kInf};
    PowerArray(negative.data(), 2, 0.5f);
    EXPECT_TRUE(std::isnan(negative[0]) && std::isnan(negative[1]));
    const ValueRange range = RangeOf(re.data(), re.size());
    float max = -kInf, min = kInf, positive = kInf;
    for (float v : re) {
        max = v > max ? v : max;
        min = v < min ? v : min;
        positive = v > 0 && v < positive ? v : positive;
    }
    EXPECT_EQ(range.max, max);
    EXPECT_EQ(range.min, min);
    EXPECT_EQ(range.smallestPositive, positive);
    std::vector<float> values = {-1.0f, 0.0f, 0.5f, 1.0f, 254.9f, 255.0f, 300.0f, kNaN, kInf, -kInf, 7.99f};
    std::vector<unsigned char> pixels(values.size());
    ToPixels(values.data(), values.size(), 0.5f, 2.0f, pixels.data());
    EXPECT_EQ(pixels, (std::vector<unsigned char>{0, 0, 0, 1, 255, 255, 255, 0, 255, 0, 14}));
}

}  // namespace
}  // namespace tarkemo
