// The displayed result: the 254 rule, the plus-shaped markers and their colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "particle_test_images.h"
#include "particles/count_run.h"
#include "particles/markers.h"
#include "particles/particle_params.h"

namespace tarkemo {
namespace {

// The positions of the pixels of value 255, as (column, row).
std::vector<std::pair<int, int>> Lit(const GrayBitmap& b) {
    std::vector<std::pair<int, int>> lit;
    for (int32_t r = 0; r < b.height; ++r)
        for (int32_t c = 0; c < b.width; ++c)
            if (b.At(c, r) == 255) lit.emplace_back(c, r);
    return lit;
}

Particle At(double x, double y) {
    return Particle{.centroidX = x, .centroidY = y};
}

TEST(MarkParticles, PlusSignsCutAtTheBorder) {
    using Pixels = std::vector<std::pair<int, int>>;
    struct Case {
        const char* name;
        Particle particle;
        Pixels lit;
    };
    const Case cases[] = {
        {"inside", At(2, 2), {{2, 1}, {1, 2}, {2, 2}, {3, 2}, {2, 3}}},
        {"corner", At(0, 0), {{0, 0}, {1, 0}, {0, 1}}},
        {"top-right corner", At(4, 3), {{4, 2}, {3, 3}, {4, 3}}},
        {"left edge", At(0, 2), {{0, 1}, {0, 2}, {1, 2}, {0, 3}}},
        {"rounded half up", At(1.5, 0.49), {{2, 0}, {1, 0}, {3, 0}, {2, 1}}},
        {"outside the picture", At(-0.51, 1), {}},
        {"not a number", At(std::nan(""), 1), {}},
    };
    for (const Case& test : cases) {
        GrayBitmap b = testing::Uniform(5, 4, 0);
        MarkParticles(b, std::span(&test.particle, 1));
        Pixels expected = test.lit;
        std::sort(expected.begin(), expected.end(),
                  [](auto a, auto b) { return std::pair(a.second, a.first) < std::pair(b.second, b.first); });
        EXPECT_EQ(Lit(b), expected) << test.name;
    }
}

TEST(MarkParticles, FormerWhitePixelsAndPaddingBecome254) {
    GrayBitmap b = testing::Uniform(3, 2, 255);
    for (uint8_t& p : b.pixels) p = 255;
    MarkParticles(b, {});
    for (uint8_t p : b.pixels) EXPECT_EQ(p, 254);
}

TEST(MarkerColour, CyanOnlyWhenEntry255IsAlreadyRed) {
    struct Case {
        ColourEntry top;  // blue, green, red
        bool cyan;
    };
    const Case cases[] = {{{0, 0, 255, 0}, true},   {{19, 19, 201, 0}, true}, {{0, 0, 200, 0}, false},
                          {{20, 0, 255, 0}, false}, {{0, 20, 255, 0}, false}, {{255, 255, 255, 0}, false}};
    const ColourEntry cyan{255, 255, 0, 0}, red{0, 0, 255, 0};
    for (const Case& test : cases) {
        ColourTable table = GrayRampTable();
        table[255] = test.top;
        EXPECT_EQ(MarkerColour(table), test.cyan ? cyan : red) << int(test.top.red);
    }
}

TEST(ThresholdPreviewTable, DarkensExactlyTheValuesBelowTheThreshold) {
    ColourTable saved = GrayRampTable();
    saved[200] = ColourEntry{1, 2, 3, 0};
    const ColourEntry darkBlue{50, 0, 0, 0};
    for (uint32_t t : {0u, 1u, 50u, 201u, 255u}) {
        const ColourTable preview = ThresholdPreviewTable(saved, t);
        for (uint32_t i = 0; i < 256; ++i)
            EXPECT_EQ(preview[i], i < t ? darkBlue : saved[i]) << t << " " << i;
    }
}

TEST(CountAndMarkParticles, MarksACopyAndLeavesTheImageAlone) {
    GrayBitmap image = testing::Picture({{255, 10, 10, 10},  //
                                         {10, 10, 10, 10},
                                         {10, 10, 200, 10},
                                         {10, 10, 10, 10}});
    image.colours[255] = ColourEntry{0, 0, 255, 0};
    const GrayBitmap before = image;
    const auto result = CountAndMarkParticles(image, CountMethod::Maxima, ParticleParams{});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->particles.size(), 2u);
    EXPECT_EQ(image.pixels.size(), before.pixels.size());
    EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.end(), before.pixels.begin()));
    EXPECT_EQ(image.colours, before.colours);
    const GrayBitmap& shown = result->marked;
    EXPECT_EQ(shown.colours[255], (ColourEntry{255, 255, 0, 0}));
    EXPECT_EQ(Lit(shown).size(), 3u + 5u);  // the corner marker and the inner one
    EXPECT_EQ(shown.At(0, 3), 255);
    EXPECT_EQ(shown.At(2, 1), 255);
}

}  // namespace
}  // namespace tarkemo
