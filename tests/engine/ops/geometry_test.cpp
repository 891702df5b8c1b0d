#include "ops/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "generator/particle_image.h"

namespace tarkemo {
namespace {

using testimages::MakeNoiseImage;

// Pixels only: rotations write fresh rows whose filler bytes are zero.
bool SamePixels(const GrayBitmap& a, const GrayBitmap& b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (int32_t y = 0; y < a.height; ++y) {
        if (!std::equal(a.Row(y), a.Row(y) + a.width, b.Row(y))) return false;
    }
    return true;
}

struct Size {
    int32_t width;
    int32_t height;
};

// Odd sizes, block multiples and sizes just past them, so whole blocks and the leftover strips are both
// exercised.
const std::vector<Size> kSizes = {{1, 1},   {1, 7},   {7, 1},   {3, 2},    {16, 16},   {17, 33},
                                  {32, 15}, {64, 64}, {65, 80}, {100, 37}, {130, 129}, {257, 19}};

// Where the pixel that lands on new (nx, ny) came from, for an old image of width w and height h.
struct Mapping {
    std::string name;
    std::function<void(GrayBitmap&)> apply;
    bool swapsSides;
    std::function<std::pair<int32_t, int32_t>(int32_t nx, int32_t ny, int32_t w, int32_t h)> source;
    std::function<Marking(const Marking&, int32_t, int32_t)> moveMarking;
};

std::vector<Mapping> Mappings() {
    return {
        {"MirrorLeftRight", MirrorLeftRight, false,
         [](int32_t nx, int32_t ny, int32_t w, int32_t) { return std::make_pair(w - 1 - nx, ny); },
         MirrorMarkingLeftRight},
        {"MirrorTopBottom", MirrorTopBottom, false,
         [](int32_t nx, int32_t ny, int32_t, int32_t h) { return std::make_pair(nx, h - 1 - ny); },
         MirrorMarkingTopBottom},
        {"Rotate180", Rotate180, false,
         [](int32_t nx, int32_t ny, int32_t w, int32_t h) { return std::make_pair(w - 1 - nx, h - 1 - ny); },
         RotateMarking180},
        // Old (x, y) goes to (H - 1 - y, x).
        {"RotateLeft", [](GrayBitmap& b) { ASSERT_TRUE(RotateLeft(b)); }, true,
         [](int32_t nx, int32_t ny, int32_t, int32_t h) { return std::make_pair(ny, h - 1 - nx); },
         RotateMarkingLeft},
        // Old (x, y) goes to (y, W - 1 - x).
        {"RotateRight", [](GrayBitmap& b) { ASSERT_TRUE(RotateRight(b)); }, true,
         [](int32_t nx, int32_t ny, int32_t w, int32_t) { return std::make_pair(w - 1 - ny, nx); },
         RotateMarkingRight},
    };
}

TEST(Geometry, EveryTransformMovesEveryPixelByItsMapping) {
    for (const Mapping& mapping : Mappings()) {
        for (const Size size : kSizes) {
            SCOPED_TRACE(mapping.name + " " + std::to_string(size.width) + "x" + std::to_string(size.height));
            const GrayBitmap original = MakeNoiseImage(size.width, size.height, 7);
            GrayBitmap image = original;
            mapping.apply(image);
            ASSERT_EQ(image.width, mapping.swapsSides ? size.height : size.width);
            ASSERT_EQ(image.height, mapping.swapsSides ? size.width : size.height);
            int mismatches = 0;
            for (int32_t ny = 0; ny < image.height; ++ny) {
                for (int32_t nx = 0; nx < image.width; ++nx) {
                    const auto [sx, sy] = mapping.source(nx, ny, size.width, size.height);
                    mismatches += image.At(nx, ny) != original.At(sx, sy) ? 1 : 0;
                }
            }
            EXPECT_EQ(mismatches, 0);
        }
    }
}

TEST(Geometry, QuarterTurnsOfThreeByTwoPutTheRightCornerTopLeft) {
    // Rows bottom-up: bottom row 1 2 3, top row 4 5 6.
    GrayBitmap image = *CreateGrayBitmap(3, 2);
    const uint8_t values[2][3] = {{1, 2, 3}, {4, 5, 6}};
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) image.At(x, y) = values[y][x];
    }
    GrayBitmap left = image;
    ASSERT_TRUE(RotateLeft(left));
    EXPECT_EQ(left.width, 2);
    EXPECT_EQ(left.height, 3);
    EXPECT_EQ(left.At(0, 2), 6);  // top-left is the old top-right
    GrayBitmap right = image;
    ASSERT_TRUE(RotateRight(right));
    EXPECT_EQ(right.At(0, 2), 1);  // top-left is the old bottom-left
}

TEST(Geometry, RotationsKeepTableAndResolutionAndZeroTheRowFiller) {
    GrayBitmap image = MakeNoiseImage(5, 3, 3);
    image.colours[7] = ColourEntry{1, 2, 3, 0};
    image.xPelsPerMeter = 1111;
    image.yPelsPerMeter = 2222;
    for (bool (*turn)(GrayBitmap&) : {RotateLeft, RotateRight}) {
        GrayBitmap turned = image;
        ASSERT_TRUE(turn(turned));
        EXPECT_EQ(turned.colours, image.colours);
        EXPECT_EQ(turned.xPelsPerMeter, 1111);
        EXPECT_EQ(turned.yPelsPerMeter, 2222);
        EXPECT_EQ(turned.stride, 4);
        for (int32_t y = 0; y < turned.height; ++y) EXPECT_EQ(turned.Row(y)[3], 0);
    }
}

TEST(Geometry, CompositionsGiveBackTheImage) {
    const GrayBitmap original = MakeNoiseImage(37, 21, 11);
    struct Case {
        std::string name;
        std::function<void(GrayBitmap&)> run;
    };
    const std::vector<Case> cases = {
        {"mirror twice",
         [](GrayBitmap& b) {
             MirrorLeftRight(b);
             MirrorLeftRight(b);
         }},
        {"flip twice",
         [](GrayBitmap& b) {
             MirrorTopBottom(b);
             MirrorTopBottom(b);
         }},
        {"half turn twice",
         [](GrayBitmap& b) {
             Rotate180(b);
             Rotate180(b);
         }},
        {"left then right",
         [](GrayBitmap& b) {
             RotateLeft(b);
             RotateRight(b);
         }},
        {"four lefts",
         [](GrayBitmap& b) {
             RotateLeft(b);
             RotateLeft(b);
             RotateLeft(b);
             RotateLeft(b);
         }},
        {"half turn is mirror and flip",
         [](GrayBitmap& b) {
             Rotate180(b);
             MirrorLeftRight(b);
             MirrorTopBottom(b);
         }},
        {"two lefts are a half turn",
         [](GrayBitmap& b) {
             RotateLeft(b);
             RotateLeft(b);
             Rotate180(b);
         }},
    };
    for (const Case& c : cases) {
        GrayBitmap image = original;
        c.run(image);
        EXPECT_TRUE(SamePixels(image, original)) << c.name;
    }
}

TEST(Geometry, MirroringOnePixelWideImageChangesNothing) {
    const GrayBitmap original = MakeNoiseImage(1, 9, 5);
    GrayBitmap image = original;
    MirrorLeftRight(image);
    EXPECT_TRUE(SamePixels(image, original));
}

// The marking's transform must enclose exactly the transformed marked pixels.
TEST(Geometry, MarkingMovesWithTheMarkedPixels) {
    testimages::Random random(99);
    for (const Mapping& mapping : Mappings()) {
        for (const Size size : {Size{1, 1}, Size{9, 4}, Size{20, 31}}) {
            for (int trial = 0; trial < 20; ++trial) {
                const int32_t x0 = random.Between(0, size.width - 1);
                const int32_t x1 = random.Between(x0, size.width - 1);
                const int32_t y0 = random.Between(0, size.height - 1);
                const int32_t y1 = random.Between(y0, size.height - 1);
                const Marking marking{x0, y1, x1, y0};
                GrayBitmap image = *CreateGrayBitmap(size.width, size.height);
                for (int32_t y = y0; y <= y1; ++y) {
                    for (int32_t x = x0; x <= x1; ++x) image.At(x, y) = 255;
                }
                mapping.apply(image);
                Marking box{image.width, -1, -1, image.height};
                for (int32_t y = 0; y < image.height; ++y) {
                    for (int32_t x = 0; x < image.width; ++x) {
                        if (image.At(x, y) != 255) continue;
                        box = Marking{std::min(box.left, x), std::max(box.top, y), std::max(box.right, x),
                                      std::min(box.bottom, y)};
                    }
                }
                EXPECT_EQ(mapping.moveMarking(marking, size.width, size.height), box) << mapping.name;
            }
        }
    }
}

TEST(Geometry, MarkingEdgesFollowTheStatedRules) {
    // Image 10 wide, 6 high; marking left 1, top 4, right 3, bottom 2.
    const Marking m{1, 4, 3, 2};
    EXPECT_EQ(MirrorMarkingLeftRight(m, 10, 6), (Marking{6, 4, 8, 2}));
    EXPECT_EQ(MirrorMarkingTopBottom(m, 10, 6), (Marking{1, 3, 3, 1}));
    EXPECT_EQ(RotateMarking180(m, 10, 6), (Marking{6, 3, 8, 1}));
    EXPECT_EQ(RotateMarkingLeft(m, 10, 6), (Marking{1, 3, 3, 1}));
    EXPECT_EQ(RotateMarkingRight(m, 10, 6), (Marking{2, 8, 4, 6}));
    EXPECT_EQ(RotateMarkingLeft(WholeImageMarking(10, 6), 10, 6), WholeImageMarking(6, 10));
}

}  // namespace
}  // namespace tarkemo
