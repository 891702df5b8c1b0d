#include "ops/linear_filter.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>
#include <vector>

#include "generator/particle_image.h"
#include "ops/border_extension.h"
#include "ops/builtin_kernels.h"
#include "ops/linear_filter_rows.h"

namespace tarkemo {
namespace {

// Rows given top row first, as the image is seen.
GrayBitmap ImageFromRows(const std::vector<std::vector<int>>& topFirst) {
    const auto height = static_cast<int32_t>(topFirst.size());
    const auto width = static_cast<int32_t>(topFirst[0].size());
    GrayBitmap bitmap = *CreateGrayBitmap(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            bitmap.At(x, y) = static_cast<uint8_t>(topFirst[static_cast<size_t>(height - 1 - y)][x]);
        }
    }
    return bitmap;
}

std::vector<std::vector<int>> RowsOf(const GrayBitmap& bitmap) {
    std::vector<std::vector<int>> rows;
    for (int32_t y = bitmap.height - 1; y >= 0; --y) {
        std::vector<int> row;
        for (int32_t x = 0; x < bitmap.width; ++x) row.push_back(bitmap.At(x, y));
        rows.push_back(row);
    }
    return rows;
}

LinearFilter Builtin(BuiltinKernel kernel) {
    LinearFilter filter;
    EXPECT_TRUE(FillBuiltinKernel(kernel, filter));
    return filter;
}

// The filter computed pixel by pixel exactly as described: sums in kernel order in double
// precision, the value stored as float, sign, stretch, clamp and truncation.
std::vector<uint8_t> Reference(const GrayBitmap& image, const LinearFilter& f) {
    const int32_t hw = f.width / 2, hh = f.height / 2, w = image.width, h = image.height;
    const bool coeffSum = f.divBy == 0.0f;
    const GrayBitmap ext = *ExtendBorder(image, w + 2 * hw, h + 2 * hh, hw, hh, coeffSum ? 0 : f.border);
    std::vector<float> values;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            double sum = 0.0, weight = 0.0;
            for (int32_t i = 0; i < f.height; ++i) {
                for (int32_t j = 0; j < f.width; ++j) {
                    const float k = f.kernel[static_cast<size_t>(i * f.width + j)];
                    const int32_t sx = x + j - hw, sy = y + i - hh;
                    if (!coeffSum) {
                        sum += ext.At(x + j, y + i) * static_cast<double>(k);
                    } else if (sx >= 0 && sx < w && sy >= 0 && sy < h) {
                        sum += image.At(sx, sy) * static_cast<double>(k);
                        weight += k;
                    }
                }
            }
            const double divisor = coeffSum ? weight : f.divBy;
            float v = static_cast<float>(sum / divisor + static_cast<double>(f.addOffset));
            if (f.sign == kSignAbs) v = std::fabs(v);
            if (f.sign == kSignNegativeToZero && v < 0) v = 0;
            values.push_back(v);
        }
    }
    if (f.normalize == kNormalizeGlobal) {
        float lo = values[0], hi = values[0];
        for (float v : values) {
            if (v > hi) hi = v;
            if (v < lo) lo = v;
        }
        if (lo != hi) {
            const double factor = 255.0 / (static_cast<double>(hi) - lo);
            for (float& v : values) v = static_cast<float>((v - static_cast<double>(lo)) * factor);
        }
    }
    std::vector<uint8_t> out;
    for (float v : values) out.push_back(static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v));
    return out;
}

std::vector<uint8_t> Pixels(const GrayBitmap& image) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) out.push_back(image.At(x, y));
    }
    return out;
}

// Coefficients with many significant bits, so that any change of the summation order shows.
std::vector<float> OddCoefficients(int32_t count, uint64_t seed) {
    testimages::Random random(seed);
    std::vector<float> k;
    for (int32_t n = 0; n < count; ++n) k.push_back(static_cast<float>(random.Unit() * 2.0 - 0.7) / 3.0f);
    return k;
}

TEST(LinearFilterTest, WorkedExamplesOfTheBuiltInKernels) {
    using Rows = std::vector<std::vector<int>>;
    const Rows step = {{0, 0, 0, 255, 255, 255}, {0, 0, 0, 255, 255, 255}, {0, 0, 0, 255, 255, 255}};
    const Rows halves = {{255, 255}, {255, 255}, {255, 255}, {0, 0}, {0, 0}, {0, 0}};
    const Rows flipped = {{0, 0}, {0, 0}, {0, 0}, {255, 255}, {255, 255}, {255, 255}};
    const struct {
        const char* what;
        BuiltinKernel kernel;
        Rows input;
        Rows expected;
    } cases[] = {
        {"box of uniform 50", BuiltinKernel::kBox3, Rows(4, std::vector<int>(5, 50)),
         Rows(4, std::vector<int>(5, 50))},
        {"451 / 9 = 50.11 truncated",
         BuiltinKernel::kBox3,
         {{50, 50, 50}, {50, 51, 50}, {50, 50, 50}},
         {{50, 50, 50}, {50, 50, 50}, {50, 50, 50}}},
        {"horizontal derivative of uniform", BuiltinKernel::kDerivativeHorizontal,
         Rows(3, std::vector<int>(4, 80)), Rows(3, std::vector<int>(4, 127))},
        {"254.5 beside a vertical step", BuiltinKernel::kDerivativeHorizontal, step,
         Rows(3, {127, 127, 254, 254, 127, 127})},
        {"vertical derivative, bright top",
         BuiltinKernel::kDerivativeVertical,
         halves,
         {{127, 127}, {127, 127}, {254, 254}, {254, 254}, {127, 127}, {127, 127}}},
        {"vertical derivative, bright bottom",
         BuiltinKernel::kDerivativeVertical,
         flipped,
         {{127, 127}, {127, 127}, {0, 0}, {0, 0}, {127, 127}, {127, 127}}},
        {"unsharp mask of uniform", BuiltinKernel::kUnsharp3, Rows(5, std::vector<int>(5, 200)),
         Rows(5, std::vector<int>(5, 0))},
        {"diagonal: upper right minus lower left",
         BuiltinKernel::kDerivativeDiagonal,
         {{0, 0, 0}, {0, 100, 0}, {0, 0, 0}},
         {{127, 127, 77}, {127, 127, 127}, {177, 127, 127}}},
    };
    for (const auto& c : cases) {
        GrayBitmap image = ImageFromRows(c.input);
        ASSERT_TRUE(ApplyLinearFilter(image, Builtin(c.kernel))) << c.what;
        EXPECT_EQ(RowsOf(image), c.expected) << c.what;
    }
}

TEST(LinearFilterTest, KernelIsACorrelationStoredBottomRowFirst) {
    // Only coefficient (i 0, j 0) set: the output pixel takes the pixel below and to the left.
    LinearFilter filter;
    filter.width = filter.height = 3;
    filter.kernel = {1, 0, 0, 0, 0, 0, 0, 0, 0};
    filter.border = 7;
    GrayBitmap image = ImageFromRows({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    ASSERT_TRUE(ApplyLinearFilter(image, filter));
    EXPECT_EQ(RowsOf(image), (std::vector<std::vector<int>>{{7, 4, 5}, {7, 7, 8}, {7, 7, 7}}));
}

TEST(LinearFilterTest, IdentityAndGlobalStretch) {
    LinearFilter identity;
    identity.width = identity.height = 1;
    identity.kernel = {1.0f};
    const GrayBitmap noise = testimages::MakeNoiseImage(37, 23, 5);
    GrayBitmap image = noise;
    ASSERT_TRUE(ApplyLinearFilter(image, identity));
    EXPECT_EQ(Pixels(image), Pixels(noise));

    // Values 10 ... 20 are stretched to 0 ... 255: 15 becomes 127.5, truncated.
    identity.normalize = kNormalizeGlobal;
    image = ImageFromRows({{10, 15, 20}, {12, 20, 10}});
    ASSERT_TRUE(ApplyLinearFilter(image, identity));
    EXPECT_EQ(RowsOf(image), (std::vector<std::vector<int>>{{0, 127, 255}, {51, 255, 0}}));
}

TEST(LinearFilterTest, SignRulesAndClamping) {
    LinearFilter filter;
    filter.width = 3;
    filter.height = 1;
    filter.kernel = {-1, 0, 1};
    filter.border = kFlipInc;
    const struct {
        int32_t sign;
        float divBy;
        float addOffset;
        std::vector<int> expected;
    } cases[] = {
        // right - left is -100, -150, 150, 200 (the edge pixels repeat themselves)
        {kSignKeep, 1, 0, {0, 0, 150, 200}},
        {kSignAbs, 1, 0, {100, 150, 150, 200}},
        {kSignNegativeToZero, 1, 300, {200, 150, 255, 255}},
        {kSignAbs, -4, 0.75f, {25, 38, 36, 49}},  // the offset is added before the sign is folded
    };
    for (const auto& c : cases) {
        filter.sign = c.sign;
        filter.divBy = c.divBy;
        filter.addOffset = c.addOffset;
        GrayBitmap image = ImageFromRows({{200, 100, 50, 250}});
        ASSERT_TRUE(ApplyLinearFilter(image, filter));
        EXPECT_EQ(RowsOf(image)[0], c.expected) << "sign " << c.sign << " divBy " << c.divBy;
    }
}

TEST(LinearFilterTest, CoefficientSumDividesByTheCoefficientsInsideTheImage) {
    LinearFilter filter;
    filter.width = filter.height = 3;
    filter.kernel = std::vector<float>(9, 1.0f);
    filter.divBy = 0.0f;
    filter.border = 255;  // ignored: no margin pixel contributes
    GrayBitmap image = ImageFromRows({{10, 20, 30}, {40, 50, 60}, {70, 80, 91}});
    ASSERT_TRUE(ApplyLinearFilter(image, filter));
    // Corners average 4 pixels, edges 6, the centre all 9.
    EXPECT_EQ(RowsOf(image), (std::vector<std::vector<int>>{{30, 35, 40}, {45, 50, 55}, {60, 65, 70}}));
}

TEST(LinearFilterTest, FailuresLeaveTheImageUnchanged) {
    const auto derivative = [] {
        LinearFilter f;
        f.width = 3;
        f.height = 1;
        f.kernel = {-1, 0, 1};
        return f;
    };
    struct Case {
        const char* what;
        LinearFilter filter;
        int32_t width, height;
    };
    std::vector<Case> cases;
    LinearFilter f = derivative();
    f.divBy = 0.0f;  // full sum 0 in the interior
    cases.push_back({"zero coefficient sum inside", f, 9, 4});
    f.kernel = {1, 0, 1};  // fine at every edge, but a 1-pixel-wide image sees only the 0
    cases.push_back({"zero coefficient sum on a narrow image", f, 1, 4});
    for (const int32_t side : {0, 2, -1}) {
        f = derivative();
        f.width = side;
        cases.push_back({"bad width", f, 9, 4});
        f = derivative();
        f.height = side;
        cases.push_back({"bad height", f, 9, 4});
    }
    f = derivative();
    f.kernel.pop_back();
    cases.push_back({"kernel shorter than width x height", f, 9, 4});
    f = derivative();
    f.kernel[1] = INFINITY;
    cases.push_back({"infinite coefficient", f, 9, 4});
    f = derivative();
    f.divBy = NAN;
    cases.push_back({"divisor not a number", f, 9, 4});
    for (const Case& c : cases) {
        const GrayBitmap original = testimages::MakeNoiseImage(c.width, c.height, 3);
        GrayBitmap image = original;
        EXPECT_FALSE(ApplyLinearFilter(image, c.filter)) << c.what;
        EXPECT_EQ(Pixels(image), Pixels(original)) << c.what;
    }
}

TEST(LinearFilterTest, MatchesPixelByPixelSumsForEveryRule) {
    struct Case {
        int32_t width, height, kw, kh, border, sign, normalize;
        float divBy, addOffset;
        bool wholeNumbers = false;  // coefficients -40 ... 40: sums taken in single precision
    };
    const Case cases[] = {
        {51, 37, 5, 5, kFlipExc, kSignKeep, kNormalizeDoNot, 7.0f, 100.0f, true},
        {18, 70, 3, 5, kLocalMean, kSignAbs, kNormalizeGlobal, 0.3f, 0.0f, true},
        {29, 31, 5, 3, 17, kSignKeep, kNormalizeDoNot, 0.0f, 9.0f, true},
        {67, 41, 5, 5, kFlipExc, kSignKeep, kNormalizeDoNot, 0.37f, 60.0f},
        {67, 41, 3, 7, kFlipInc, kSignAbs, kNormalizeDoNot, -0.8f, 3.5f},
        {33, 35, 7, 3, kPeriodic, kSignNegativeToZero, kNormalizeGlobal, 1.0f, 0.0f},
        {40, 9, 5, 3, kLocalMean, kSignKeep, kNormalizeGlobal, 3.0f, -10.0f},
        {2, 2, 5, 5, kFlipExc, kSignKeep, kNormalizeDoNot, 0.5f, 0.0f},  // image smaller than the kernel
        {3, 50, 9, 1, kMeanGray, kSignAbs, kNormalizeDoNot, 0.25f, 0.0f},
        {45, 44, 5, 5, 99, kSignKeep, kNormalizeDoNot, 0.0f, 2.0f},  // coefficient sums
        {3, 2, 5, 3, 0, kSignKeep, kNormalizeGlobal, 0.0f, 0.0f},
    };
    uint64_t seed = 11;
    for (const Case& c : cases) {
        LinearFilter filter;
        filter.width = c.kw;
        filter.height = c.kh;
        filter.kernel = OddCoefficients(c.kw * c.kh, ++seed);
        if (c.wholeNumbers) {
            for (float& k : filter.kernel) k = std::round(k * 100.0f);
        }
        filter.border = c.border;
        filter.sign = c.sign;
        filter.normalize = c.normalize;
        filter.divBy = c.divBy;
        filter.addOffset = c.addOffset;
        const GrayBitmap original = testimages::MakeNoiseImage(c.width, c.height, seed);
        const std::vector<uint8_t> expected = Reference(original, filter);
        GrayBitmap image = original;
        ASSERT_TRUE(ApplyLinearFilter(image, filter)) << c.width << "x" << c.height;
        EXPECT_EQ(Pixels(image), expected) << c.width << "x" << c.height << " kernel " << c.kw << "x" << c.kh;
    }
}

TEST(LinearFilterTest, LargeImageGivesTheSameResultWithAnyNumberOfThreads) {
    // Large enough that the rows are shared among threads.
    LinearFilter filter;
    ASSERT_TRUE(FillBuiltinKernel(BuiltinKernel::kGauss5, filter));
    filter.kernel = OddCoefficients(25, 99);
    const GrayBitmap original = testimages::MakeNoiseImage(411, 257, 17);
    for (const int divBy : {0, 1}) {
        filter.divBy = static_cast<float>(divBy);
        const std::vector<uint8_t> expected = Reference(original, filter);
        for (const int threads : {1, 2, 3}) {
            omp_set_num_threads(threads);
            GrayBitmap image = original;
            ASSERT_TRUE(ApplyLinearFilter(image, filter));
            EXPECT_EQ(Pixels(image), expected) << threads << " threads, divBy " << divBy;
        }
    }
}

TEST(LinearFilterTest, RowSumsKeepTheKernelOrderBitForBitOnEveryInstructionSet) {
    // Coefficients of mixed magnitude make every change of the addition order visible in the
    // last bits of the double sums, which the 8-bit results would hide.
    testimages::Random random(7);
    for (const auto& [kw, kh] : {std::pair{5, 5}, std::pair{3, 7}, std::pair{1, 1}, std::pair{9, 2}}) {
        const int32_t count = 3 * kCorrelationBlock;
        std::vector<double> coefficients;
        for (int32_t n = 0; n < kw * kh; ++n) {
            coefficients.push_back(
                static_cast<float>((random.Unit() - 0.4) * std::pow(10.0, random.Between(-6, 6))));
        }
        std::vector<std::vector<double>> rows(static_cast<size_t>(kh + kRowsAtOnce - 1));
        std::vector<const double*> rowPointers;
        for (auto& row : rows) {
            for (int32_t x = 0; x < count + kw - 1; ++x) row.push_back(random.Between(0, 255));
            rowPointers.push_back(row.data());
        }
        // Single-precision sums of whole numbers, as the engine takes them for such kernels.
        std::vector<float> wholeCoefficients;
        for (int32_t n = 0; n < kw * kh; ++n)
            wholeCoefficients.push_back(static_cast<float>(random.Between(-99, 99)));
        std::vector<std::vector<float>> floatRows;
        std::vector<const float*> floatPointers;
        for (const auto& row : rows) floatRows.emplace_back(row.begin(), row.end());
        for (const auto& row : floatRows) floatPointers.push_back(row.data());
        for (const RowIsa isa : {RowIsa::kBaseline, RowIsa::kAvx2, RowIsa::kAvx512}) {
            std::vector<float> floatSums(static_cast<size_t>(kRowsAtOnce) * count);
            std::vector<float*> floatSumPointers;
            for (int32_t r = 0; r < kRowsAtOnce; ++r)
                floatSumPointers.push_back(floatSums.data() + r * count);
            CorrelateRowsWith(isa, floatPointers.data(), wholeCoefficients.data(), kw, kh, kRowsAtOnce, count,
                              floatSumPointers.data());
            for (int32_t r = 0; r < kRowsAtOnce; ++r) {
                for (int32_t x = 0; x < count; ++x) {
                    double expected = 0.0;
                    for (int32_t i = 0; i < kh; ++i) {
                        for (int32_t j = 0; j < kw; ++j)
                            expected += rows[r + i][x + j] * wholeCoefficients[i * kw + j];
                    }
                    ASSERT_EQ(floatSumPointers[r][x], expected)
                        << "single precision, isa " << static_cast<int>(isa);
                }
            }
        }
        for (const RowIsa isa : {RowIsa::kBaseline, RowIsa::kAvx2, RowIsa::kAvx512}) {
            for (const int32_t rowCount : {1, 3, kRowsAtOnce}) {
                std::vector<std::vector<double>> sums(static_cast<size_t>(rowCount),
                                                      std::vector<double>(count));
                std::vector<double*> sumPointers;
                for (auto& row : sums) sumPointers.push_back(row.data());
                CorrelateRowsWith(isa, rowPointers.data(), coefficients.data(), kw, kh, rowCount, count,
                                  sumPointers.data());
                for (int32_t r = 0; r < rowCount; ++r) {
                    for (int32_t x = 0; x < count; ++x) {
                        double expected = 0.0;
                        for (int32_t i = 0; i < kh; ++i) {
                            for (int32_t j = 0; j < kw; ++j) {
                                expected += rows[r + i][x + j] * coefficients[i * kw + j];
                            }
                        }
                        ASSERT_EQ(sums[r][x], expected)
                            << "kernel " << kw << "x" << kh << " isa " << static_cast<int>(isa) << " row "
                            << r << " pixel " << x;
                    }
                }
            }
        }
    }
}

TEST(LinearFilterTest, SingleAndDoublePrecisionSumsMeetWithoutRounding) {
    // 255 * 65793 + 2 * 1 = 16777217 needs double precision (single precision holds only even
    // numbers there); 255 * 65792 + 255 * 1 = 16777215 is exact in either.
    const struct {
        float left, centre;
        std::vector<int> row;
        int expected;
    } cases[] = {{65793, 1, {255, 2, 0}, 217}, {65792, 1, {255, 255, 0}, 215}};
    for (const auto& c : cases) {
        LinearFilter filter;
        filter.width = 3;
        filter.height = 1;
        filter.kernel = {c.left, c.centre, 0};
        filter.addOffset = -16777000.0f;
        GrayBitmap image = ImageFromRows({c.row});
        ASSERT_TRUE(ApplyLinearFilter(image, filter));
        EXPECT_EQ(RowsOf(image)[0][1], c.expected) << c.left;
    }
}

TEST(LinearFilterTest, ResolutionAndColourTableStay) {
    GrayBitmap image = testimages::MakeNoiseImage(8, 8, 1);
    SetColourEntry(image, 3, 0x00FF00);
    image.xPelsPerMeter = 3780;
    const ColourTable colours = image.colours;
    ASSERT_TRUE(ApplyLinearFilter(image, Builtin(BuiltinKernel::kGauss3)));
    EXPECT_EQ(image.colours, colours);
    EXPECT_EQ(image.xPelsPerMeter, 3780);
    EXPECT_EQ(image.width, 8);
}

}  // namespace
}  // namespace tarkemo
