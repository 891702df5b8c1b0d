// Which pixels the maxima and threshold markings mark, and what the whole count makes of them.
#include <gtest/gtest.h>

#include "particle_test_images.h"
#include "particles/binarise.h"
#include "particles/count_run.h"
#include "particles/maxima.h"

namespace tarkemo {
namespace {

using testing::Picture;

std::vector<Particle> Count(const GrayBitmap& b, CountMethod method, uint32_t minGray = 50,
                            uint32_t maxArea = 1000000) {
    return *CountParticles(b, method, ParticleParams{minGray, 1, maxArea});
}

// The marks of the picture, written like it: top row first, 1 for marked.
std::vector<std::vector<int>> Marks(const GrayBitmap& b, const LabelMap& map) {
    std::vector<std::vector<int>> rows;
    for (int32_t r = b.height - 1; r >= 0; --r) {
        rows.emplace_back();
        for (int32_t c = 0; c < b.width; ++c) rows.back().push_back(-map[r * b.stride + c]);
    }
    return rows;
}

struct MarkCase {
    const char* name;
    GrayBitmap picture;
    uint8_t threshold;
    std::vector<std::vector<int>> expected;
};

TEST(FindMaxima, MarksWholePlateausWithoutBrighterNeighbours) {
    const MarkCase cases[] = {
        {"single peak",
         Picture({{10, 10, 10}, {10, 90, 10}, {10, 10, 10}}),
         50,
         {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}}},
        {"two-pixel plateau",
         Picture({{10, 10, 10, 10}, {10, 90, 90, 10}}),
         50,
         {{0, 0, 0, 0}, {0, 1, 1, 0}}},
        {"plateau touching a brighter pixel far away",
         Picture({{90, 90, 90, 90, 91}, {90, 10, 10, 10, 10}, {90, 90, 90, 90, 10}}),
         50,
         {{0, 0, 0, 0, 1}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}},
        {"plateau reaching back to an earlier brighter pixel",
         Picture({{10, 90, 90, 90}, {10, 10, 10, 90}, {95, 90, 90, 90}}),
         50,
         {{0, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0}}},
        {"value equal to the threshold", Picture({{49, 0, 50}}), 50, {{0, 0, 1}}},
        {"value one below the threshold", Picture({{49, 0, 0}}), 50, {{0, 0, 0}}},
        {"corners and edges",
         Picture({{80, 0, 0, 70}, {0, 0, 0, 0}, {60, 0, 0, 0}}),
         50,
         {{1, 0, 0, 1}, {0, 0, 0, 0}, {1, 0, 0, 0}}},
        {"constant picture", Picture({{60, 60}, {60, 60}}), 50, {{1, 1}, {1, 1}}},
        {"threshold 0: a dark plateau beside brighter pixels",
         Picture({{0, 0, 5}, {0, 9, 0}}),
         0,
         {{0, 0, 0}, {0, 1, 0}}},
        {"diagonal plateau",
         Picture({{90, 10, 10}, {10, 90, 10}, {10, 10, 90}}),
         50,
         {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
        {"one column", Picture({{70}, {80}, {80}, {20}}), 50, {{0}, {1}, {1}, {0}}},
    };
    for (const MarkCase& test : cases) {
        LabelMap map(test.picture.ByteCount(), 7);
        ASSERT_TRUE(FindMaxima(test.picture, test.threshold, map)) << test.name;
        EXPECT_EQ(Marks(test.picture, map), test.expected) << test.name;
        for (size_t i = 0; i < map.size(); ++i) {
            const bool padding = static_cast<int32_t>(i % test.picture.stride) >= test.picture.width;
            if (padding) {
                EXPECT_EQ(map[i], 0) << test.name;
            }
        }
    }
}

TEST(Binarise, MarksEveryPixelAtOrAboveTheThresholdAndClearsPadding) {
    const GrayBitmap b = Picture({{49, 50, 255}, {0, 51, 12}});
    LabelMap map(b.ByteCount(), 5);
    ASSERT_TRUE(Binarise(b, 50, map));
    EXPECT_EQ(Marks(b, map), (std::vector<std::vector<int>>{{0, 1, 1}, {0, 1, 0}}));
    EXPECT_EQ(map[3], 0);
    LabelMap tooSmall(2);
    EXPECT_FALSE(Binarise(b, 50, tooSmall));
}

TEST(CountMaxima, SinglePixelAndTwoPixelPlateau) {
    const GrayBitmap single = Picture({{10, 10, 10}, {10, 200, 10}, {10, 10, 10}});
    const auto one = Count(single, CountMethod::Maxima);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (Particle{1.0, 1.0, 1, 1, 1, 1, 200, 200.0, 1}));

    const GrayBitmap pair = Picture({{10, 10, 10, 10}, {10, 90, 90, 10}, {10, 10, 10, 10}});
    const auto two = Count(pair, CountMethod::Maxima);
    ASSERT_EQ(two.size(), 1u);
    EXPECT_EQ(two[0].area, 2);
    EXPECT_DOUBLE_EQ(two[0].centroidX, 1.5);
    EXPECT_DOUBLE_EQ(two[0].centroidY, 1.0);
}

TEST(CountMaxima, ConstantPictureIsOneParticleThatTheDefaultAreaRemoves) {
    const GrayBitmap flat = testing::Uniform(5, 3, 60);
    const auto all = Count(flat, CountMethod::Maxima);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].area, 15);
    EXPECT_EQ(Count(flat, CountMethod::Maxima, 50, 10).size(), 0u);
}

TEST(CountBinarise, RegionsTouchingAtACornerAreOneParticle) {
    const GrayBitmap b = Picture({{0, 0, 80}, {0, 60, 0}, {70, 0, 0}});
    for (CountMethod method : {CountMethod::Binarise, CountMethod::Stripes}) {
        const auto ps = Count(b, method);
        ASSERT_EQ(ps.size(), 1u);
        EXPECT_EQ(ps[0].area, 3);
        EXPECT_EQ(ps[0].maxGray, 80);
        EXPECT_DOUBLE_EQ(ps[0].meanGray, 70.0);
        EXPECT_DOUBLE_EQ(ps[0].centroidX, (60.0 + 2 * 80.0) / 210.0);  // brighter pixels pull
        EXPECT_DOUBLE_EQ(ps[0].centroidY, (60.0 + 2 * 80.0) / 210.0);
    }
}

TEST(CountBinarise, ThresholdZeroMarksTheWholePicture) {
    const GrayBitmap b = Picture({{0, 3, 0}, {9, 0, 0}});
    const auto ps = Count(b, CountMethod::Binarise, 0);
    ASSERT_EQ(ps.size(), 1u);
    EXPECT_EQ((std::array{ps[0].area, ps[0].left, ps[0].top, ps[0].right, ps[0].bottom}),
              (std::array{6, 0, 1, 2, 0}));
    EXPECT_EQ(Count(b, CountMethod::Binarise, 0, 5).size(), 0u);
}

TEST(CountBinarise, StripesHaveTheirBoundingBoxAndFallToTheAreaFilter) {
    GrayBitmap b = testing::Uniform(50, 50, 0);
    for (int32_t c = 2; c < 42; ++c) b.At(c, 45) = 200;         // horizontal, 40 long
    for (int32_t k = 0; k < 40; ++k) b.At(5 + k, 2 + k) = 120;  // diagonal, 40 long
    const auto ps = Count(b, CountMethod::Stripes);
    ASSERT_EQ(ps.size(), 2u);
    EXPECT_EQ((std::array{ps[0].top - ps[0].bottom + 1, ps[0].right - ps[0].left + 1}), (std::array{1, 40}));
    EXPECT_EQ((std::array{ps[1].top - ps[1].bottom + 1, ps[1].right - ps[1].left + 1}), (std::array{40, 40}));
    EXPECT_EQ(Count(b, CountMethod::Stripes, 50, 10).size(), 0u);
    EXPECT_EQ(Count(b, CountMethod::Binarise), ps);
}

TEST(CountMaxima, DistinctMaximaAreNeverAdjacentSoEachParticleIsOnePlateau) {
    testimages::Random random(99);
    for (int round = 0; round < 200; ++round) {
        const GrayBitmap b = testing::RandomPicture(random, 20, 4);
        for (const Particle& p : Count(b, CountMethod::Maxima, 0)) {
            EXPECT_EQ(p.meanGray, p.maxGray);
        }
    }
}

}  // namespace
}  // namespace tarkemo
