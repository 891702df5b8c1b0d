// Labelling, numbering, statistics and the area filter on hand-made label maps.
#include <gtest/gtest.h>

#include <limits>

#include "particle_test_images.h"
#include "particles/area_filter.h"
#include "particles/binarise.h"
#include "particles/count_run.h"
#include "particles/labelling.h"
#include "particles/particle_stats.h"

namespace tarkemo {
namespace {

using testing::Picture;

struct Labelled {
    GrayBitmap picture;
    LabelMap map;
    int32_t n = 0;
};

Labelled Label(GrayBitmap picture) {
    Labelled l{std::move(picture), {}, 0};
    l.map.assign(l.picture.ByteCount(), 0);
    Binarise(l.picture, 1, l.map);
    l.n = *LabelComponents(l.picture, l.map);
    return l;
}

int32_t Entry(const Labelled& l, int32_t c, int32_t r) {
    return l.map[r * l.picture.stride + c];
}

TEST(LabelComponents, EveryPixelCarriesItsRootIndexPlusOne) {
    // An L whose root is the rightmost pixel of its top row, and a single pixel.
    const Labelled l = Label(Picture({{0, 5, 5, 0, 9},  //
                                      {0, 5, 0, 0, 0},
                                      {5, 5, 5, 5, 0}}));
    EXPECT_EQ(l.n, 2);
    const int32_t stride = l.picture.stride;
    const int32_t lRoot = 2 * stride + 2 + 1, dotRoot = 2 * stride + 4 + 1;
    for (auto [c, r] : {std::pair{1, 2}, {2, 2}, {1, 1}, {0, 0}, {3, 0}}) EXPECT_EQ(Entry(l, c, r), lRoot);
    EXPECT_EQ(Entry(l, 4, 2), dotRoot);
    EXPECT_EQ(Entry(l, 0, 2), 0);
}

TEST(NumberComponents, ParticleOneHasTheHighestRootThenRightmostAtATie) {
    Labelled l = Label(Picture({{7, 0, 0, 8},  //
                                {0, 0, 0, 0},
                                {0, 9, 0, 0}}));
    std::vector<Particle> ps(static_cast<size_t>(l.n));
    ASSERT_TRUE(NumberComponents(l.picture, l.map, ps));
    EXPECT_EQ((std::array{Entry(l, 3, 2), Entry(l, 0, 2), Entry(l, 1, 0)}), (std::array{1, 2, 3}));
    EXPECT_EQ((std::array{ps[0].maxGray, ps[1].maxGray, ps[2].maxGray}), (std::array<uint8_t, 3>{8, 7, 9}));
}

TEST(NumberComponents, StatisticsOfARegion) {
    Labelled l = Label(Picture({{0, 0, 0, 0},  //
                                {0, 10, 30, 0},
                                {0, 0, 60, 0}}));
    std::vector<Particle> ps(1);
    ASSERT_TRUE(NumberComponents(l.picture, l.map, ps));
    // Pixels (c, r, v): (1, 1, 10), (2, 1, 30), (2, 0, 60).
    EXPECT_EQ(ps[0], (Particle{(10.0 + 60 + 120) / 100, (10.0 + 30) / 100, 1, 1, 2, 0, 60, 100.0 / 3, 3}));
}

TEST(NumberComponents, RefusesAWrongCountOrAMapThatIsNotLabelled) {
    Labelled l = Label(Picture({{9, 0, 9}}));
    for (size_t wrong : {0u, 1u, 3u}) {
        Labelled copy = l;
        std::vector<Particle> ps(wrong);
        EXPECT_FALSE(NumberComponents(copy.picture, copy.map, ps)) << wrong;
    }
    LabelMap unlabelled(l.picture.ByteCount(), 0);
    Binarise(l.picture, 1, unlabelled);
    std::vector<Particle> two(2);
    EXPECT_FALSE(NumberComponents(l.picture, unlabelled, two));  // -1 entries are no labels
    LabelMap dangling = l.map;
    dangling[0] = 2;  // points to an unmarked pixel
    EXPECT_FALSE(NumberComponents(l.picture, dangling, two));
}

TEST(NumberComponents, AllZeroParticleGetsThePlainMeanOfItsPositions) {
    const GrayBitmap dark = testing::Uniform(3, 2, 0);
    for (CountMethod method : {CountMethod::Maxima, CountMethod::Binarise}) {
        const auto ps = *CountParticles(dark, method, ParticleParams{0, 1, 100});
        ASSERT_EQ(ps.size(), 1u);
        EXPECT_EQ(ps[0], (Particle{1.0, 0.5, 0, 1, 2, 0, 0, 0.0, 6}));
        const auto shown = *CountAndMarkParticles(dark, method, ParticleParams{0, 1, 100});
        EXPECT_EQ(shown.marked.At(1, 1), 255);
    }
}

TEST(FilterByArea, KeepsTheInclusiveRangeInOrder) {
    std::vector<Particle> ps;
    for (int32_t area = 1; area <= 11; ++area) ps.push_back(Particle{.area = area});
    struct Case {
        uint32_t minArea, maxArea;
        std::vector<int32_t> kept;
    };
    const uint32_t huge = uint32_t{1} << 31;
    const Case cases[] = {{1, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                          {3, 3, {3}},
                          {10, 11, {10, 11}},
                          {12, 20, {}},
                          {1, std::numeric_limits<uint32_t>::max(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
                          {huge, huge + 1, {}}};
    for (const Case& test : cases) {
        std::vector<Particle> filtered = ps;
        FilterByArea(filtered, test.minArea, test.maxArea);
        std::vector<int32_t> areas;
        for (const Particle& p : filtered) areas.push_back(p.area);
        EXPECT_EQ(areas, test.kept) << test.minArea << ".." << test.maxArea;
    }
}

}  // namespace
}  // namespace tarkemo
