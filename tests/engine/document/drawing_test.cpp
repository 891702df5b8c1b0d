// The drawing pen: footprint of every size, the x-major / y-major line rule with its rounding,
// clipping to marking and image, restore mode, the observer and the touched area.
#include "document/drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace tarkemo {
namespace {

using Pixel = std::pair<int32_t, int32_t>;  // column, row

GrayBitmap Blank(int32_t width, int32_t height) {
    return *CreateGrayBitmap(width, height);
}

std::set<Pixel> Painted(const GrayBitmap& bitmap, uint8_t index) {
    std::set<Pixel> pixels;
    for (int32_t y = 0; y < bitmap.height; ++y) {
        for (int32_t x = 0; x < bitmap.width; ++x) {
            if (bitmap.At(x, y) == index) pixels.insert({x, y});
        }
    }
    return pixels;
}

// A literal transcription of the footprint and line rule, unclipped.
std::set<Pixel> Oracle(ImagePoint a, ImagePoint b, int n) {
    std::vector<Pixel> centres;
    if (a == b) {
        centres.push_back({static_cast<int32_t>(a.column), static_cast<int32_t>(a.row)});
    } else if (std::llabs(b.column - a.column) > std::llabs(b.row - a.row)) {
        if (a.column > b.column) std::swap(a, b);
        // Centres far beyond the small test images cannot reach them.
        for (int64_t x = std::max<int64_t>(a.column, -16); x <= std::min<int64_t>(b.column, 64); ++x) {
            const double y =
                a.row + (x - a.column) * double(b.row - a.row) / double(b.column - a.column) + 0.5;
            centres.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
        }
    } else {
        if (a.row > b.row) std::swap(a, b);
        for (int64_t y = std::max<int64_t>(a.row, -16); y <= std::min<int64_t>(b.row, 64); ++y) {
            const double x =
                a.column + (y - a.row) * double(b.column - a.column) / double(b.row - a.row) + 0.5;
            centres.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
        }
    }
    std::set<Pixel> pixels;
    for (const auto& [x, y] : centres) {
        for (int r = y - n / 2; r <= y + (n - 1) / 2; ++r) {
            for (int c = x - (n - 1) / 2; c <= x + n / 2; ++c) pixels.insert({c, r});
        }
    }
    return pixels;
}

std::set<Pixel> Inside(const std::set<Pixel>& pixels, const Marking& clip) {
    std::set<Pixel> kept;
    for (const Pixel& p : pixels) {
        if (p.first >= clip.left && p.first <= clip.right && p.second >= clip.bottom && p.second <= clip.top)
            kept.insert(p);
    }
    return kept;
}

TEST(DrawSegment, PenTwoAtTenTenCoversColumnsTenElevenRowsNineTen) {
    GrayBitmap bitmap = Blank(20, 20);
    const TouchedArea area =
        DrawSegment(bitmap, WholeImageMarking(20, 20), {10, 10}, {10, 10}, 2, PenInk{255});
    EXPECT_EQ(Painted(bitmap, 255), (std::set<Pixel>{{10, 9}, {11, 9}, {10, 10}, {11, 10}}));
    EXPECT_EQ(area, (TouchedArea{10, 9, 11, 10}));
}

TEST(DrawSegment, FootprintOfEverySizeMatchesTheRule) {
    const struct {
        int size;
        PenReach reach;
    } cases[] = {{1, {0, 0, 0, 0}}, {2, {1, 0, 0, 1}}, {3, {1, 1, 1, 1}},
                 {4, {2, 1, 1, 2}}, {5, {2, 2, 2, 2}}, {8, {4, 3, 3, 4}},
                 {9, {4, 4, 4, 4}}, {0, {0, 0, 0, 0}}, {12, {4, 4, 4, 4}}};
    for (const auto& c : cases) {
        const PenReach r = PenReachOf(c.size);
        EXPECT_EQ(std::vector<int>({r.below, r.above, r.leftOf, r.rightOf}),
                  std::vector<int>({c.reach.below, c.reach.above, c.reach.leftOf, c.reach.rightOf}))
            << c.size;
        if (c.size < 1 || c.size > 9) continue;
        GrayBitmap bitmap = Blank(30, 30);
        DrawSegment(bitmap, WholeImageMarking(30, 30), {15, 15}, {15, 15}, c.size, PenInk{9});
        EXPECT_EQ(Painted(bitmap, 9), Oracle({15, 15}, {15, 15}, c.size)) << c.size;
    }
}

TEST(DrawSegment, LinesFollowTheMajorAxisAndRoundHalfUp) {
    const struct {
        ImagePoint a, b;
        int size;
    } cases[] = {
        {{2, 3}, {25, 9}, 1},  {{25, 9}, {2, 3}, 1},  {{4, 2}, {9, 27}, 1},   {{9, 27}, {4, 2}, 3},
        {{3, 3}, {20, 20}, 2}, {{20, 3}, {3, 20}, 1}, {{5, 10}, {24, 10}, 4}, {{12, 1}, {12, 28}, 9},
        {{0, 0}, {28, 1}, 1},  {{1, 28}, {2, 0}, 2},  {{6, 7}, {8, 8}, 5},    {{29, 29}, {0, 0}, 1},
    };
    for (const auto& c : cases) {
        GrayBitmap bitmap = Blank(30, 30);
        DrawSegment(bitmap, WholeImageMarking(30, 30), c.a, c.b, c.size, PenInk{200});
        EXPECT_EQ(Painted(bitmap, 200), Inside(Oracle(c.a, c.b, c.size), WholeImageMarking(30, 30)))
            << c.a.column << "," << c.a.row << " -> " << c.b.column << "," << c.b.row;
    }
}

TEST(DrawSegment, NothingOutsideTheMarkingOrTheImageChanges) {
    const Marking clip{5, 14, 12, 6};
    const struct {
        Marking clip;
        ImagePoint a, b;
    } cases[] = {
        {clip, {0, 0}, {19, 19}},                       // crosses the marking diagonally
        {clip, {-40, 10}, {60, 10}},                    // far outside on both ends
        {Marking{12, 6, 5, 14}, {8, -5}, {8, 30}},      // reversed edges are ordered first
        {Marking{-5, 40, 40, -5}, {-3, -3}, {25, 22}},  // a clip beyond the image is cut to it
        {clip, {1000000, 10}, {-1000000, 11}},
    };
    for (const auto& c : cases) {
        GrayBitmap bitmap = Blank(20, 20);
        DrawSegment(bitmap, c.clip, c.a, c.b, 9, PenInk{77});
        const Marking ordered = OrderedMarking(c.clip);
        const Marking inImage{std::max(ordered.left, 0), std::min(ordered.top, 19),
                              std::min(ordered.right, 19), std::max(ordered.bottom, 0)};
        EXPECT_EQ(Painted(bitmap, 77), Inside(Oracle(c.a, c.b, 9), inImage));
    }
}

TEST(DrawSegment, AClipAwayFromTheImageWritesNothing) {
    GrayBitmap bitmap = Blank(10, 10);
    const TouchedArea area = DrawSegment(bitmap, Marking{20, 30, 25, 21}, {0, 0}, {9, 9}, 9, PenInk{1});
    EXPECT_TRUE(area.Empty());
    EXPECT_TRUE(Painted(bitmap, 1).empty());
}

class CountingObserver : public SegmentObserver {
  public:
    void PixelWritten(int32_t x, int32_t y) override { seen.insert({x, y}); }
    std::set<Pixel> seen;
};

TEST(DrawSegment, RestoreModeCopiesTheBackupAndReportsEveryPixel) {
    GrayBitmap bitmap = Blank(16, 12);
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 16; ++x) bitmap.At(x, y) = static_cast<uint8_t>(x + 16 * y);
    const PixelBuffer backup = bitmap.pixels;
    CountingObserver painted;
    const Marking clip{2, 10, 13, 1};
    const TouchedArea area = DrawSegment(bitmap, clip, {0, 2}, {15, 9}, 3, PenInk{255}, &painted);
    EXPECT_EQ(painted.seen, Inside(Oracle({0, 2}, {15, 9}, 3), clip));
    EXPECT_EQ(area, (TouchedArea{2, 1, 13, 10}));

    CountingObserver restored;
    DrawSegment(bitmap, clip, {0, 2}, {15, 9}, 3, PenInk{0, backup.data()}, &restored);
    EXPECT_EQ(restored.seen, painted.seen);
    EXPECT_TRUE(std::equal(backup.begin(), backup.end(), bitmap.pixels.begin()));
}

TEST(TouchedArea, GrowsToHoldEveryPart) {
    TouchedArea area;
    EXPECT_TRUE(area.Empty());
    area.Add(TouchedArea{});
    EXPECT_TRUE(area.Empty());
    area.Add(TouchedArea{3, 4, 5, 6});
    area.Add(TouchedArea{1, 5, 2, 9});
    EXPECT_EQ(area, (TouchedArea{1, 4, 5, 9}));
}

}  // namespace
}  // namespace tarkemo
