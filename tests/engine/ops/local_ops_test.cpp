#include "ops/local_ops.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "generator/particle_image.h"
#include "ops/cpu_features.h"
#include "ops/rank_filter_kernels.h"

namespace tarkemo {
namespace {

using testimages::MakeNoiseImage;
using testimages::Random;

std::string Describe(const GrayBitmap& image, int32_t w, int32_t h, int32_t a = 0, int32_t b = 0) {
    return std::to_string(image.width) + "x" + std::to_string(image.height) + " window " + std::to_string(w) +
           "x" + std::to_string(h) + " args " + std::to_string(a) + "," + std::to_string(b);
}

bool SamePixels(const GrayBitmap& a, const GrayBitmap& b) {
    return a.width == b.width && a.height == b.height &&
           std::equal(a.pixels.begin(), a.pixels.end(), b.pixels.begin());
}

// Runs `body` with the widest instructions the processor has and again with the baseline ones.
template <typename Body>
void ForEachInstructionSet(Body body) {
    for (const bool baseline : {false, true}) {
        SCOPED_TRACE(baseline ? "baseline instructions" : "widest instructions");
        RestrictToBaselineInstructions(baseline);
        body();
    }
    RestrictToBaselineInstructions(false);
}

// Noise with runs of equal values, so windows of equal values and ties between ranks occur.
GrayBitmap Patchy(int32_t width, int32_t height, uint64_t seed) {
    GrayBitmap image = MakeNoiseImage(width, height, seed);
    Random random(seed + 1);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (random.Between(0, 3) == 0) image.At(x, y) = static_cast<uint8_t>(random.Between(100, 103));
        }
    }
    return image;
}

// ---- Slow references that follow the definitions literally ----

GrayBitmap ReferenceLocalNormalize(const GrayBitmap& in, int32_t w, int32_t h, int32_t minContrast,
                                   int32_t compare) {
    GrayBitmap out = in;
    for (int32_t y = 0; y < in.height; ++y) {
        for (int32_t x = 0; x < in.width; ++x) {
            int lo = 255;
            int hi = 0;
            for (int32_t j = std::max(0, y - h / 2); j <= std::min(in.height - 1, y + h / 2); ++j) {
                for (int32_t i = std::max(0, x - w / 2); i <= std::min(in.width - 1, x + w / 2); ++i) {
                    lo = std::min<int>(lo, in.At(i, j));
                    hi = std::max<int>(hi, in.At(i, j));
                }
            }
            const int v = in.At(x, y);
            if (hi - lo < minContrast || hi == lo) {
                out.At(x, y) = v < compare ? 0 : 255;
            } else {
                out.At(x, y) = static_cast<uint8_t>(static_cast<double>(v - lo) / (hi - lo) * 255);
            }
        }
    }
    return out;
}

int32_t Mirror(int32_t i, int32_t n) {
    return i < 0 ? -i : (i >= n ? 2 * n - i - 2 : i);
}

uint8_t ReferenceRankAt(const GrayBitmap& in, int32_t x, int32_t y, int32_t w, int32_t h, int32_t rank) {
    std::vector<uint8_t> values;
    for (int32_t j = y - h / 2; j <= y + h / 2; ++j) {
        for (int32_t i = x - w / 2; i <= x + w / 2; ++i)
            values.push_back(in.At(Mirror(i, in.width), Mirror(j, in.height)));
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(rank - 1)];
}

GrayBitmap ReferenceRank(const GrayBitmap& in, int32_t w, int32_t h, int32_t rank) {
    GrayBitmap out = in;
    for (int32_t y = 0; y < in.height; ++y) {
        for (int32_t x = 0; x < in.width; ++x) out.At(x, y) = ReferenceRankAt(in, x, y, w, h, rank);
    }
    return out;
}

GrayBitmap ReferenceGradient(const GrayBitmap& in) {
    std::vector<double> magnitude(static_cast<size_t>(in.width) * in.height);
    double largest = 0;
    for (int32_t y = 0; y < in.height; ++y) {
        for (int32_t x = 0; x < in.width; ++x) {
            const int32_t xl = std::max(x - 1, 0), xr = std::min(x + 1, in.width - 1);
            const int32_t yd = std::max(y - 1, 0), yu = std::min(y + 1, in.height - 1);
            const double dx = static_cast<double>(in.At(xr, y) - in.At(xl, y)) / (xr - xl);
            const double dy = static_cast<double>(in.At(x, yu) - in.At(x, yd)) / (yu - yd);
            const double m = std::sqrt(dx * dx + dy * dy);
            magnitude[static_cast<size_t>(y) * in.width + x] = m;
            largest = std::max(largest, m);
        }
    }
    GrayBitmap out = in;
    for (int32_t y = 0; y < in.height; ++y) {
        for (int32_t x = 0; x < in.width; ++x) {
            const double m = magnitude[static_cast<size_t>(y) * in.width + x];
            out.At(x, y) = largest == 0 ? 0 : static_cast<uint8_t>(static_cast<int>(m / largest * 255));
        }
    }
    return out;
}

// ---- Local normalisation ----

TEST(LocalNormalize, MatchesTheDefinitionOnRandomImagesAndWindows) {
    ForEachInstructionSet([] {
        Random random(2024);
        for (int trial = 0; trial < 120; ++trial) {
            const int32_t width = random.Between(1, 40);
            const int32_t height = random.Between(1, 40);
            // Windows up to the whole image, often more than half of it.
            const int32_t w = 2 * random.Between(0, (width - 1) / 2) + 1;
            const int32_t h = 2 * random.Between(0, (height - 1) / 2) + 1;
            const int32_t minContrast = trial % 4 == 0 ? 0 : random.Between(1, 255);
            const int32_t compare = random.Between(0, 256);
            const GrayBitmap original =
                trial % 2 ? Patchy(width, height, trial) : MakeNoiseImage(width, height, trial);
            GrayBitmap image = original;
            ASSERT_TRUE(LocalNormalize(image, w, h, minContrast, compare));
            EXPECT_TRUE(SamePixels(image, ReferenceLocalNormalize(original, w, h, minContrast, compare)))
                << Describe(original, w, h, minContrast, compare);
        }
    });
}

// Every pair of range 1 ... 255 and offset 0 ... range once: the triples (0, offset, range) side by side,
// each middle pixel's 3 x 1 window holding exactly its triple.
TEST(LocalNormalize, EveryRangeAndOffsetStretchesAsDefined) {
    std::vector<std::pair<int, int>> pairs;
    for (int range = 1; range < 256; ++range) {
        for (int offset = 0; offset <= range; ++offset) pairs.emplace_back(offset, range);
    }
    const auto rows = static_cast<int32_t>((pairs.size() + 15) / 16);
    GrayBitmap original = *CreateGrayBitmap(48, rows);
    for (size_t i = 0; i < pairs.size(); ++i) {
        uint8_t* triple = original.Row(static_cast<int32_t>(i / 16)) + 3 * (i % 16);
        triple[1] = static_cast<uint8_t>(pairs[i].first);
        triple[2] = static_cast<uint8_t>(pairs[i].second);
    }
    ForEachInstructionSet([&] {
        GrayBitmap image = original;
        ASSERT_TRUE(LocalNormalize(image, 3, 1, 1, 0));
        for (size_t i = 0; i < pairs.size(); ++i) {
            const auto [offset, range] = pairs[i];
            ASSERT_EQ(image.Row(static_cast<int32_t>(i / 16))[3 * (i % 16) + 1],
                      static_cast<int>(static_cast<double>(offset) / range * 255))
                << offset << " of " << range;
        }
    });
}

TEST(LocalNormalize, WorkedValues) {
    // Every window spans at most 100 ... 120, too little for contrast 30: thresholded at 110.
    GrayBitmap flat = *CreateGrayBitmap(3, 1);
    flat.At(0, 0) = 100;
    flat.At(1, 0) = 110;
    flat.At(2, 0) = 120;
    ASSERT_TRUE(LocalNormalize(flat, 3, 1, 30, 110));
    EXPECT_EQ(flat.At(0, 0), 0);
    EXPECT_EQ(flat.At(1, 0), 255);  // 110 is not below 110
    EXPECT_EQ(flat.At(2, 0), 255);
    // Values spanning 100 ... 200: 150 becomes 127 (127.5 truncated).
    GrayBitmap wide = *CreateGrayBitmap(3, 1);
    wide.At(0, 0) = 100;
    wide.At(1, 0) = 150;
    wide.At(2, 0) = 200;
    ASSERT_TRUE(LocalNormalize(wide, 3, 1, 30, 20));
    EXPECT_EQ(wide.At(1, 0), 127);
}

TEST(LocalNormalize, WindowOfOnePixelOrEqualValuesThresholds) {
    const GrayBitmap original = MakeNoiseImage(9, 7, 4);
    for (const int32_t minContrast : {0, 1, 30}) {  // equal values lack contrast even for 0
        GrayBitmap image = original;
        ASSERT_TRUE(LocalNormalize(image, 1, 1, minContrast, 128));
        for (int32_t y = 0; y < 7; ++y) {
            for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(image.At(x, y), original.At(x, y) < 128 ? 0 : 255);
        }
    }
}

TEST(LocalNormalize, RefusesBadWindowsUnchanged) {
    const GrayBitmap original = MakeNoiseImage(6, 5, 1);
    struct Case {
        int32_t w, h;
    };
    for (const Case c : {Case{2, 3}, Case{3, 2}, Case{0, 3}, Case{-1, 3}, Case{7, 3}, Case{3, 7}}) {
        GrayBitmap image = original;
        EXPECT_FALSE(LocalNormalize(image, c.w, c.h, 30, 20)) << c.w << "x" << c.h;
        EXPECT_TRUE(SamePixels(image, original));
    }
}

// ---- Rank filter ----

// Both methods (selection networks for 3 x 3 and 5 x 5, sliding histogram for all windows) against
// the literal definition.
TEST(RankFilter, MatchesTheDefinitionOnRandomImagesWindowsAndRanks) {
    ForEachInstructionSet([] {
        Random random(77);
        for (int trial = 0; trial < 160; ++trial) {
            const int32_t width = random.Between(1, 45);
            const int32_t height = random.Between(1, 45);
            int32_t w = 2 * random.Between(0, (width - 1) / 2) + 1;
            int32_t h = 2 * random.Between(0, (height - 1) / 2) + 1;
            if (trial % 3 == 0 && width >= 5 && height >= 5) w = h = (trial % 2 ? 3 : 5);
            if (w * h == 1) continue;
            const int32_t n = w * h;
            const int32_t picks[] = {1, n, n / 2 + 1, random.Between(1, n)};
            const int32_t rank = picks[trial % 4];
            const GrayBitmap original =
                trial % 2 ? Patchy(width, height, trial) : MakeNoiseImage(width, height, trial);
            const GrayBitmap expected = ReferenceRank(original, w, h, rank);
            GrayBitmap image = original;
            ASSERT_TRUE(RankFilter(image, w, h, rank)) << Describe(original, w, h, rank);
            EXPECT_TRUE(SamePixels(image, expected)) << Describe(original, w, h, rank);
            GrayBitmap byHistogram = original;
            ASSERT_TRUE(rank_kernels::RankFilterByHistogram(byHistogram, w, h, rank));
            EXPECT_TRUE(SamePixels(byHistogram, expected)) << "histogram " << Describe(original, w, h, rank);
        }
    });
}

TEST(RankFilter, NetworksGiveEveryRankOfTheirWindows) {
    ForEachInstructionSet([] {
        for (const int32_t side : {3, 5}) {
            for (int32_t rank = 1; rank <= side * side; ++rank) {
                // Widths around whole SIMD registers of 16 and 32 pixels.
                for (const int32_t width : {side, 31, 33, 70}) {
                    const GrayBitmap original =
                        Patchy(width, side + 3, static_cast<uint64_t>(rank * 100 + width));
                    GrayBitmap image = original;
                    ASSERT_TRUE(rank_kernels::RankFilterByNetwork(image, side, side, rank));
                    EXPECT_TRUE(SamePixels(image, ReferenceRank(original, side, side, rank)))
                        << Describe(original, side, side, rank);
                }
            }
        }
    });
}

// Windows of more than 65535 values count in 32 bits; checked at sample pixels against the definition.
TEST(RankFilter, HugeWindowsCountInThirtyTwoBits) {
    const GrayBitmap original = MakeNoiseImage(5, 14000, 3);
    const int32_t w = 5, h = 13999, n = w * h;
    for (const int32_t rank : {1, n / 3, n / 2 + 1, n}) {
        GrayBitmap image = original;
        ASSERT_TRUE(RankFilter(image, w, h, rank));
        for (const int32_t y : {0, 1, 6999, 13998, 13999}) {
            for (const int32_t x : {0, 2, 4}) {
                EXPECT_EQ(image.At(x, y), ReferenceRankAt(original, x, y, w, h, rank)) << x << "," << y;
            }
        }
    }
}

TEST(RankFilter, WorkedExamples) {
    // An isolated white pixel on black disappears under the 3 x 3 median.
    GrayBitmap dot = *CreateGrayBitmap(7, 7);
    dot.At(3, 3) = 255;
    ASSERT_TRUE(RankFilter(dot, 3, 3, 5));
    EXPECT_TRUE(std::all_of(dot.pixels.begin(), dot.pixels.end(), [](uint8_t p) { return p == 0; }));
    // At a corner the window holds the corner once, its edge neighbours twice and the diagonal four
    // times: a bright corner and diagonal make the median bright although the edge neighbours are dark.
    GrayBitmap corner = *CreateGrayBitmap(4, 4);
    corner.At(0, 0) = 200;
    corner.At(1, 1) = 200;
    ASSERT_TRUE(RankFilter(corner, 3, 3, 5));
    EXPECT_EQ(corner.At(0, 0), 200);
}

TEST(RankFilter, RefusesBadRequestsUnchanged) {
    const GrayBitmap original = MakeNoiseImage(6, 5, 1);
    struct Case {
        int32_t w, h, rank;
    };
    const Case cases[] = {{1, 1, 1},  {2, 3, 1}, {3, 2, 1}, {0, 3, 1}, {3, 3, 0},
                          {3, 3, 10}, {7, 3, 1}, {3, 7, 1}, {-3, 3, 1}};
    for (const Case c : cases) {
        GrayBitmap image = original;
        EXPECT_FALSE(RankFilter(image, c.w, c.h, c.rank)) << c.w << "x" << c.h << " rank " << c.rank;
        EXPECT_TRUE(SamePixels(image, original));
    }
}

TEST(LocalOperations, ResultsDoNotDependOnTheNumberOfThreads) {
    testimages::ParticleImageSpec spec;
    spec.width = 700;
    spec.height = 90;
    spec.spotCount = 40;
    const GrayBitmap original = testimages::MakeParticleImage(spec);
    const std::vector<std::pair<std::string, std::function<bool(GrayBitmap&)>>> operations = {
        {"median 3x3", [](GrayBitmap& b) { return RankFilter(b, 3, 3, 5); }},
        {"rank 15x15", [](GrayBitmap& b) { return RankFilter(b, 15, 15, 40); }},
        {"local normalize", [](GrayBitmap& b) { return LocalNormalize(b, 15, 9, 30, 20); }},
        {"gradient", [](GrayBitmap& b) { return GradientFilter(b); }},
    };
    const int threads = omp_get_max_threads();
    for (const auto& [name, operation] : operations) {
        omp_set_num_threads(1);
        GrayBitmap single = original;
        ASSERT_TRUE(operation(single));
        omp_set_num_threads(3);
        GrayBitmap several = original;
        ASSERT_TRUE(operation(several));
        EXPECT_TRUE(SamePixels(single, several)) << name;
    }
    omp_set_num_threads(threads);
}

// ---- Gradient ----

TEST(GradientFilter, MatchesTheDefinitionOnRandomImages) {
    Random random(5);
    for (int trial = 0; trial < 60; ++trial) {
        const int32_t width = random.Between(3, 50);
        const int32_t height = random.Between(3, 50);
        const GrayBitmap original =
            trial % 2 ? Patchy(width, height, trial) : MakeNoiseImage(width, height, trial);
        GrayBitmap image = original;
        ASSERT_TRUE(GradientFilter(image));
        EXPECT_TRUE(SamePixels(image, ReferenceGradient(original))) << Describe(original, 3, 3);
    }
}

TEST(GradientFilter, EdgeCases) {
    GrayBitmap low = MakeNoiseImage(10, 2, 1);
    const GrayBitmap lowOriginal = low;
    EXPECT_FALSE(GradientFilter(low));
    EXPECT_TRUE(SamePixels(low, lowOriginal));
    GrayBitmap narrow = MakeNoiseImage(2, 10, 1);
    EXPECT_FALSE(GradientFilter(narrow));

    GrayBitmap uniform = *CreateGrayBitmap(5, 4);
    std::fill(uniform.pixels.begin(), uniform.pixels.end(), 90);
    ASSERT_TRUE(GradientFilter(uniform));
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(uniform.At(x, y), 0);
    }
    // A horizontal ramp 0, 10, 20, ... has the same slope everywhere, one-sided at the edges included.
    GrayBitmap ramp = *CreateGrayBitmap(8, 3);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 8; ++x) ramp.At(x, y) = static_cast<uint8_t>(10 * x);
    }
    ASSERT_TRUE(GradientFilter(ramp));
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(ramp.At(x, y), 255);
    }
}

}  // namespace
}  // namespace tarkemo
