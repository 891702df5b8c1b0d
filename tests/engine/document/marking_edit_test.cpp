// The marking and panning arithmetic of the mouse tools.
#include "document/marking_edit.h"

#include <gtest/gtest.h>

namespace tarkemo {
namespace {

TEST(MarkingEdit, ClampBringsPointsIntoTheImage) {
    const struct {
        ImagePoint point;
        ClampedPixel clamped;
    } cases[] = {{{5, 5}, {5, 5}},
                 {{-1, -7}, {0, 0}},
                 {{10, 3}, {9, 3}},
                 {{3, 8}, {3, 7}},
                 {{int64_t{1} << 50, -(int64_t{1} << 50)}, {9, 0}}};
    for (const auto& c : cases) EXPECT_EQ(ClampToImage(c.point, 10, 8), c.clamped);
}

TEST(MarkingEdit, ContainsIncludesTheEdgesOfTheOrderedMarking) {
    const Marking m{2, 7, 5, 3};
    const Marking reversed{5, 3, 2, 7};
    const struct {
        int64_t c, r;
        bool inside;
    } cases[] = {{2, 3, true},  {5, 7, true},  {3, 5, true}, {1, 5, false},
                 {6, 5, false}, {3, 2, false}, {3, 8, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(MarkingContains(m, c.c, c.r), c.inside) << c.c << "," << c.r;
        EXPECT_EQ(MarkingContains(reversed, c.c, c.r), c.inside) << c.c << "," << c.r;
    }
}

TEST(MarkingEdit, NormaliseAndClamp) {
    EXPECT_EQ(NormalisedMarking(Marking{7, 1, 2, 5}), (Marking{2, 5, 7, 1}));
    EXPECT_EQ(ClampedMarking(Marking{-3, 40, 12, -2}, 10, 8), (Marking{0, 7, 9, 0}));
    EXPECT_EQ(ClampedMarking(Marking{1, 1, 1, 1}, 0, 0), Marking{});
}

TEST(MarkingEdit, MovesStopAtTheBorderAndKeepTheSize) {
    const Marking saved{2, 5, 4, 3};  // 3 x 3 in a 10 x 8 image
    const struct {
        int64_t dx, dy;
        Marking moved;
    } cases[] = {
        {1, 1, {3, 6, 5, 4}},    {100, 0, {7, 5, 9, 3}},
        {-100, 0, {0, 5, 2, 3}}, {0, 100, {2, 7, 4, 5}},
        {0, -100, {2, 2, 4, 0}}, {-(int64_t{1} << 40), int64_t{1} << 40, {0, 7, 2, 5}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MovedMarking(saved, c.dx, c.dy, 10, 8), c.moved) << c.dx << "," << c.dy;
    // A marking as large as the image cannot move at all.
    EXPECT_EQ(MovedMarking(WholeImageMarking(10, 8), 3, -2, 10, 8), WholeImageMarking(10, 8));
}

TEST(MarkingEdit, ShiftForAPointerDragDividesByTheScale) {
    ViewState view;
    view.displayedWidth = 30;  // 10 x 8 image at step 2
    view.displayedHeight = 24;
    const struct {
        int x, y;
        int64_t dx, dy;
    } cases[] = {{50, 50, 0, 0}, {52, 50, 0, 0}, {53, 47, 1, 1}, {44, 56, -2, -2}, {48, 52, 0, 0}};
    for (const auto& c : cases) {
        const MarkingShift s = MarkingShiftFor(view, 10, 8, 50, 50, c.x, c.y);
        EXPECT_EQ(s.dx, c.dx) << c.x;
        EXPECT_EQ(s.dy, c.dy) << c.y;
    }
}

TEST(MarkingEdit, SquaringKeepsLeftAndTop) {
    const struct {
        Marking in, out;
    } cases[] = {
        {{10, 20, 18, 17}, {10, 20, 13, 17}},  // wider than high: right pulled in
        {{10, 20, 12, 10}, {10, 20, 12, 18}},  // higher than wide: bottom pulled up
        {{10, 20, 2, 17}, {10, 20, 7, 17}},    // dragged to the left
        {{10, 20, 11, 27}, {10, 20, 11, 21}},  // dragged upwards
        {{10, 20, 10, 20}, {10, 20, 10, 20}},  // no extent
        {{10, 20, 14, 16}, {10, 20, 14, 16}},  // already square
    };
    for (const auto& c : cases) EXPECT_EQ(SquaredMarking(c.in), c.out);
}

TEST(MarkingEdit, CentringOnTheZeroFrequency) {
    // An 11 x 11 marking in a 1024 x 1024 grid lands on 507 ... 517.
    EXPECT_EQ(CentredMarking(Marking{0, 10, 10, 0}, 1024, 1024), (Marking{507, 517, 517, 507}));
    EXPECT_EQ(CentredMarking(Marking{3, 4, 4, 1}, 8, 8), (Marking{3, 5, 4, 2}));
    // As wide as the grid: starts at 0, not 1.
    EXPECT_EQ(CentredMarking(Marking{0, 2, 7, 0}, 8, 8), (Marking{0, 5, 7, 3}));
}

TEST(MarkingEdit, PanningIsLimitedByTheClampingRule) {
    const struct {
        int32_t displayed, origin;
        int64_t shift;
        int32_t applied, after;
    } cases[] = {
        {1000, -100, 30, 30, -70}, {1000, -100, 200, 100, 0}, {1000, -100, -5000, -700, -800},
        {1000, 0, 10, 0, 0},       {150, 20, 100, 30, 50},    {150, 20, -100, -20, 0},
        {200, 0, 7, 0, 0},
    };
    for (const auto& c : cases) {
        ViewState view;
        view.clientWidth = 200;
        view.clientHeight = 200;
        view.displayedWidth = c.displayed;
        view.displayedHeight = 200;
        view.originX = c.origin;
        const PanShift shift = PanBy(view, c.shift, 3);
        EXPECT_EQ(shift, (PanShift{c.applied, 0})) << c.displayed << " " << c.origin << " " << c.shift;
        EXPECT_EQ(view.originX, c.after);
        EXPECT_EQ(view.originY, 0);
    }
}

}  // namespace
}  // namespace tarkemo
