#include "document/view_geometry.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "document/readout_text.h"
#include "image/gray_bitmap.h"

namespace tarkemo {
namespace {

ViewState View(int32_t clientW, int32_t clientH, int32_t step, int32_t dispW, int32_t dispH, int32_t ox,
               int32_t oy) {
    ViewState view;
    view.clientWidth = clientW;
    view.clientHeight = clientH;
    view.zoomStep = step;
    view.displayedWidth = dispW;
    view.displayedHeight = dispH;
    view.originX = ox;
    view.originY = oy;
    return view;
}

TEST(ViewGeometry, DisplayedSizeFollowsTheZoomStep) {
    struct Case {
        int32_t step, width, height;
    };
    const std::vector<Case> cases = {{0, 100, 80}, {1, 200, 160},    {-1, 50, 40},
                                     {-2, 33, 26}, {20, 2100, 1680}, {-10, 9, 7}};
    for (const Case& c : cases) {
        ViewState view;
        view.zoomStep = c.step;
        UpdateDisplayedSize(view, 100, 80);
        EXPECT_EQ(view.displayedWidth, c.width) << "step " << c.step;
        EXPECT_EQ(view.displayedHeight, c.height) << "step " << c.step;
    }
}

TEST(ViewGeometry, OpeningCentresTheImageTruncatingTowardZero) {
    ViewState view = View(401, 300, 7, 0, 0, 0, 0);
    ResetViewForImage(view, 100, 1001);
    EXPECT_EQ(view.zoomStep, 0);
    EXPECT_EQ(view.displayedWidth, 100);
    EXPECT_EQ(view.displayedHeight, 1001);
    EXPECT_EQ(view.originX, 150);   // 301 / 2
    EXPECT_EQ(view.originY, -350);  // -701 / 2, not -351
    ClearView(view);
    EXPECT_EQ(view.displayedWidth, 0);
    EXPECT_EQ(view.displayedHeight, 0);
}

TEST(ViewGeometry, WheelStopsAtTheEndsOfTheZoomRange) {
    ViewState view = View(400, 300, 0, 0, 0, 0, 0);
    ResetViewForImage(view, 100, 80);
    int zoomsIn = 0;
    while (ZoomAt(view, 100, 80, +1, 200, 150)) ++zoomsIn;
    EXPECT_EQ(zoomsIn, 20);
    EXPECT_EQ(view.zoomStep, kMaxZoomStep);
    EXPECT_EQ(view.displayedWidth, 2100);
    const ViewState atTop = view;
    EXPECT_FALSE(ZoomAt(view, 100, 80, +1, 200, 150));
    EXPECT_EQ(view.originX, atTop.originX);
    EXPECT_EQ(view.displayedWidth, atTop.displayedWidth);

    int zoomsOut = 0;
    while (ZoomAt(view, 100, 80, -1, 200, 150)) ++zoomsOut;
    EXPECT_EQ(zoomsOut, 30);
    EXPECT_EQ(view.zoomStep, kMinZoomStep);
    EXPECT_EQ(view.displayedWidth, 9);
    EXPECT_EQ(view.displayedHeight, 7);
}

TEST(ViewGeometry, ZoomNeverLetsTheImageVanishOrOverflow) {
    // A 5-pixel side is 1 pixel at step -4 and would be 0 at step -5.
    ViewState view = View(400, 300, 0, 0, 0, 0, 0);
    ResetViewForImage(view, 5, 50);
    while (ZoomAt(view, 5, 50, -1, 200, 150)) {
    }
    EXPECT_EQ(view.zoomStep, -4);
    EXPECT_EQ(view.displayedWidth, 1);
    EXPECT_FALSE(ZoomStepUsable(200000000, 1, 10));  // 2.2e9 window pixels do not fit
    EXPECT_TRUE(ZoomStepUsable(200000000, 1, 9));
    EXPECT_FALSE(ZoomAt(view, 0, 0, +1, 0, 0));  // no image
    EXPECT_FALSE(ZoomAt(view, 5, 50, 2, 0, 0));  // not a direction
}

TEST(ViewGeometry, ResizedImageKeepsAStepAtWhichItIsVisible) {
    ViewState view = View(400, 300, -5, 166, 0, 0, 0);
    UpdateDisplayedSize(view, 1000, 3);  // 3 / 6 would be 0
    EXPECT_EQ(view.zoomStep, -2);
    EXPECT_EQ(view.displayedWidth, 333);
    EXPECT_EQ(view.displayedHeight, 1);
}

TEST(ViewGeometry, ZoomMovesTheAnchorToTheCentre) {
    struct Case {
        int32_t anchorX, anchorY, direction, originX, originY;
    };
    // 100 x 80 image centred at (150, 110) in a 400 x 300 window.
    const std::vector<Case> cases = {
        {200, 150, +1, 100, 70},   // window centre stays: fx = fy = 0.5
        {160, 120, +1, 180, 130},  // fx = 0.1, fy = 0.125 of the new 200 x 160
        {150, 110, -1, 200, 150},  // top-left corner to the centre; 50 x 40 still fits there
        {150, 110, +1, 200, 140},  // as above at 200 x 160: y clamped to 300 - 160
        {249, 189, +1, 2, 0},      // bottom-right pixel: y = 150 - 158 clamped to 0
    };
    for (const Case& c : cases) {
        ViewState view = View(400, 300, 0, 0, 0, 0, 0);
        ResetViewForImage(view, 100, 80);
        ASSERT_TRUE(ZoomAt(view, 100, 80, c.direction, c.anchorX, c.anchorY));
        EXPECT_EQ(view.originX, c.originX) << c.anchorX << "," << c.anchorY;
        EXPECT_EQ(view.originY, c.originY) << c.anchorX << "," << c.anchorY;
    }
}

TEST(ViewGeometry, ZoomingALargeImageLeavesNoMargin) {
    // 1000 x 1000 at step 0 in 400 x 300, scrolled to the top-left corner; zooming out about the
    // corner would pull the image into the window, which clamping prevents.
    ViewState view = View(400, 300, 0, 1000, 1000, 0, 0);
    ASSERT_TRUE(ZoomAt(view, 1000, 1000, -1, 0, 0));
    EXPECT_EQ(view.displayedWidth, 500);
    EXPECT_EQ(view.originX, 0);  // 200 - 0 -> clamped into -100 ... 0
    EXPECT_EQ(view.originY, 0);
}

TEST(ViewGeometry, ClampOriginKeepsFittingImagesInsideAndLargeOnesCovering) {
    struct Case {
        int32_t client, displayed, origin, expected;
    };
    const std::vector<Case> cases = {
        {100, 300, 10, 0}, {100, 300, -250, -200}, {100, 300, -50, -50},  // larger than the window
        {300, 100, -5, 0}, {300, 100, 250, 200},   {300, 100, 50, 50},    // fits
        {100, 100, 3, 0},  {100, 100, -3, 0},                             // exactly the window size
    };
    for (const Case& c : cases) {
        for (const bool alongX : {true, false}) {
            ViewState view = alongX ? View(c.client, 500, 0, c.displayed, 10, c.origin, 0)
                                    : View(500, c.client, 0, 10, c.displayed, 0, c.origin);
            const bool changed = ClampOrigin(view);
            EXPECT_EQ(alongX ? view.originX : view.originY, c.expected) << c.client << " " << c.origin;
            EXPECT_EQ(changed, c.origin != c.expected) << c.client << " " << c.origin;
        }
    }
}

TEST(ViewGeometry, ResizeRepaintsWhenGrowingOrWhenTheOriginMoves) {
    struct Case {
        int32_t newW, newH;
        bool hasImage, repaint;
        int32_t originX;
    };
    // 200 x 100 image at origin (100, 100) in a 400 x 300 window.
    const std::vector<Case> cases = {
        {401, 300, true, true, 100},    // wider
        {400, 301, false, true, 100},   // taller, even without an image
        {350, 250, true, false, 100},   // smaller, image still inside
        {250, 300, true, true, 50},     // smaller, origin clamped to 250 - 200
        {250, 300, false, false, 100},  // no image: nothing to clamp
        {400, 300, true, false, 100},   // unchanged
    };
    for (const Case& c : cases) {
        ViewState view = View(400, 300, 0, 200, 100, 100, 100);
        EXPECT_EQ(ResizeClient(view, c.newW, c.newH, c.hasImage), c.repaint) << c.newW << "x" << c.newH;
        EXPECT_EQ(view.clientWidth, c.newW);
        EXPECT_EQ(view.originX, c.originX);
    }
}

TEST(ViewGeometry, WindowPointsMapToImagePixelsCountedFromTheBottom) {
    struct Case {
        int32_t step, dispW, dispH, ox, oy, x, y;
        ImagePoint expected;
    };
    // A 100 x 100 image.
    const std::vector<Case> cases = {
        {0, 100, 100, 0, 0, 0, 0, {0, 99}},       {0, 100, 100, 0, 0, 0, 99, {0, 0}},
        {0, 100, 100, 10, 20, 10, 20, {0, 99}},   {0, 100, 100, 10, 20, 109, 119, {99, 0}},
        {1, 200, 200, 0, 0, 3, 3, {1, 98}},       {1, 200, 200, -50, 0, 0, 199, {25, 0}},
        {-1, 50, 50, 0, 0, 1, 49, {2, 0}},        {-1, 50, 50, 0, 0, 49, 0, {98, 98}},
        {0, 100, 100, 0, 0, 100, 100, {100, -1}},  // just past the bottom-right corner
    };
    for (const Case& c : cases) {
        const ViewState view = View(400, 300, c.step, c.dispW, c.dispH, c.ox, c.oy);
        EXPECT_EQ(WindowToImage(view, 100, 100, c.x, c.y), c.expected) << c.x << "," << c.y;
    }
    EXPECT_TRUE(IsOnImage({99, 0}, 100, 100));
    EXPECT_FALSE(IsOnImage({100, 0}, 100, 100));
    EXPECT_FALSE(IsOnImage({0, -1}, 100, 100));
    EXPECT_EQ(WindowToImage(View(400, 300, 0, 0, 0, 0, 0), 100, 100, 5, 5), (ImagePoint{-1, -1}));
}

TEST(ViewGeometry, ImagePixelsMapBackToWindowEdges) {
    const ViewState view = View(400, 300, 1, 200, 160, 10, -20);  // 100 x 80 at step 1
    EXPECT_EQ(WindowXOfColumn(view, 100, 80, 0), 10);
    EXPECT_EQ(WindowXOfColumn(view, 100, 80, 7), 24);
    EXPECT_EQ(WindowYOfRowTop(view, 100, 80, 79), -20);
    EXPECT_EQ(WindowYOfRowTop(view, 100, 80, 0), 138);
}

TEST(ViewGeometry, PaintRectanglesCutAtWholeImagePixels) {
    struct Case {
        const char* name;
        ViewState view;
        PaintRects expected;
    };
    // A 100 x 80 image.
    const std::vector<Case> cases = {
        {"fits", View(400, 300, 0, 100, 80, 150, 110), {0, 0, 100, 80, 150, 110, 100, 80}},
        {"scrolled past left and top at step 1",
         View(50, 40, 1, 200, 160, -31, -21),
         {15, 10, 26, 21, -1, -1, 52, 42}},
        {"beyond right and bottom", View(50, 40, 0, 100, 80, 0, 0), {0, 0, 51, 41, 0, 0, 51, 41}},
        {"scrolled at step -1", View(20, 20, -1, 50, 40, -5, -7), {10, 14, 42, 42, 0, 0, 21, 21}},
        {"nothing displayed", View(20, 20, 0, 0, 0, 0, 0), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComputePaintRects(c.view, 100, 80), c.expected) << c.name;
    }
}

TEST(ViewGeometry, MarkingFrameLiesJustOutsideTheMarkedPixels) {
    // A 10 x 10 image at step 1, origin (0, 0): a single pixel gets a frame 4 window pixels wide.
    const ViewState view = View(400, 300, 1, 20, 20, 0, 0);
    const std::optional<FrameCorners> single = MarkingFrame(view, 10, 10, Marking{5, 5, 5, 5});
    ASSERT_TRUE(single.has_value());
    EXPECT_EQ(*single, (FrameCorners{9, 7, 12, 10}));
    EXPECT_EQ(single->x2 - single->x1 + 1, 4);
    EXPECT_EQ(single->y2 - single->y1 + 1, 4);
    // Edges given the wrong way round (during a drag) frame the same pixels.
    EXPECT_EQ(MarkingFrame(view, 10, 10, Marking{2, 1, 0, 3}),
              MarkingFrame(view, 10, 10, Marking{0, 3, 2, 1}));
    EXPECT_EQ(MarkingFrame(view, 10, 10, Marking{0, 3, 2, 1}), (FrameCorners{-1, 11, 6, 18}));
    EXPECT_FALSE(MarkingFrame(view, 10, 10, WholeImageMarking(10, 10)).has_value());
    EXPECT_TRUE(IsWholeImage(Marking{0, 9, 9, 0}, 10, 10));
    EXPECT_FALSE(IsWholeImage(Marking{0, 9, 8, 0}, 10, 10));
}

TEST(ReadoutText, LinesForEverySituation) {
    struct Case {
        ReadoutSituation situation;
        ReadoutValues values;
        ReadoutLines expected;
    };
    const std::vector<Case> cases = {
        {ReadoutSituation::NoImage, {}, {"X: (Kein Bild)", "Y: (Kein Bild)", "Grauwert: ---"}},
        {ReadoutSituation::CreatingMarking,
         {3, 0, 4, 0, 0},
         {"Breite:  3", "H\xC3\xB6he:  4", "  (der Markierung)"}},
        {ReadoutSituation::Outside,
         {},
         {"X: (au\xC3\x9F"
          "erhalb)",
          "Y: (au\xC3\x9F"
          "erhalb)",
          "Grauwert: ---"}},
        {ReadoutSituation::MovingMarking, {5, 3, 6, 4, 0}, {"X:  5 (3)", "Y:  6 (4)", "  (Markierung)"}},
        {ReadoutSituation::OnImage,
         {12, 100, 7, 80, 255},
         {"X:  12  (100)", "Y:  7  (80)", "Grauwert:  255"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadoutText(c.situation, c.values), c.expected) << c.expected.xLine;
    }
}

TEST(ReadoutText, PointerAndMarkingReadouts) {
    std::optional<GrayBitmap> bitmap = CreateGrayBitmap(4, 3);
    ASSERT_TRUE(bitmap.has_value());
    bitmap->At(1, 2) = 77;  // top row, second column
    const ViewState view = View(100, 100, 1, 8, 6, 10, 20);
    EXPECT_EQ(PointerReadout(view, nullptr, 12, 20).xLine, "X: (Kein Bild)");
    EXPECT_EQ(PointerReadout(view, &*bitmap, 12, 21),
              (ReadoutLines{"X:  1  (4)", "Y:  2  (3)", "Grauwert:  77"}));
    EXPECT_EQ(PointerReadout(view, &*bitmap, 17, 25).yLine, "Y:  0  (3)");
    EXPECT_EQ(PointerReadout(view, &*bitmap, 18, 25).xLine,
              "X: (au\xC3\x9F"
              "erhalb)");  // right of it
    EXPECT_EQ(PointerReadout(view, &*bitmap, 9, 25).grayLine, "Grauwert: ---");
    EXPECT_EQ(PointerReadout(view, &*bitmap, 12, 26).xLine,
              "X: (au\xC3\x9F"
              "erhalb)");  // below it

    // A marking dragged from right to left still reports positive sizes.
    EXPECT_EQ(MarkingCreationReadout(Marking{7, 2, 5, 9}).xLine, "Breite:  3");
    EXPECT_EQ(MarkingCreationReadout(Marking{7, 2, 5, 9}).yLine, "H\xC3\xB6he:  8");
    EXPECT_EQ(MarkingMoveReadout(Marking{2, 9, 4, 6}),
              (ReadoutLines{"X:  2 (3)", "Y:  6 (4)", "  (Markierung)"}));
}

TEST(ViewGeometry, QuarterTurnKeepsCentresThatFitAndTurnsPositionsThatDoNot) {
    struct Case {
        const char* name;
        ViewState before;
        int32_t leftX, leftY, rightX, rightY;
    };
    const std::vector<Case> cases = {
        {"fits both ways", View(400, 300, 0, 100, 60, 150, 120), 170, 100, 170, 100},
        {"odd difference truncates toward zero", View(401, 300, 0, 101, 50, 150, 125), 175, 100, 175, 100},
        {"taller than the window afterwards", View(400, 300, 0, 350, 100, 25, 100), 150, -25, 150, -25},
        {"wider than the window afterwards", View(400, 300, 0, 200, 500, 100, -120), -70, 30, -30, 30},
        {"clamped into the window", View(300, 200, 0, 600, 100, -300, 50), 0, -50, 0, -350},
    };
    for (const Case& c : cases) {
        for (const bool left : {true, false}) {
            ViewState view = c.before;
            AdjustViewAfterQuarterTurn(view, left);
            EXPECT_EQ(view.displayedWidth, c.before.displayedHeight) << c.name;
            EXPECT_EQ(view.displayedHeight, c.before.displayedWidth) << c.name;
            EXPECT_EQ(view.zoomStep, c.before.zoomStep) << c.name;
            EXPECT_EQ(view.originX, left ? c.leftX : c.rightX) << c.name << (left ? " left" : " right");
            EXPECT_EQ(view.originY, left ? c.leftY : c.rightY) << c.name << (left ? " left" : " right");
        }
    }
}

}  // namespace
}  // namespace tarkemo
