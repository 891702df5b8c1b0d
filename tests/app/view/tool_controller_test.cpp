// The mouse tools driven through real mouse and key events on a headless ImageView, with a
// recording client in place of the document: marking drags, moves, Escape, panning and zoom
// clicks, drawing strokes with straight-line mode, the origin shift and the client seams.
#include "app/view/tool_controller.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <set>
#include <utility>
#include <vector>

#include "app/support/app_fixture.h"
#include "app/view/image_view.h"
#include "document/marking_edit.h"

namespace tarkemo::app {
namespace {

using Pixel = std::pair<int32_t, int32_t>;

class RecordingClient : public ToolClient {
  public:
    Tool CurrentTool() const override { return tool; }
    PenSettings Pen() const override { return pen; }
    GrayBitmap* Canvas() override { return canvas; }
    void StrokeStarting() override { ++strokesStarted; }
    void StrokeFinished() override { ++strokesFinished; }
    bool ObservesPixels() const override { return observe; }
    void PixelPainted(int32_t x, int32_t y, ToolButton button) override {
        painted.insert({x, y});
        lastButton = button;
    }
    void PixelRestored(int32_t x, int32_t y) override { restored.insert({x, y}); }
    void OriginShiftRequested(int64_t a, int64_t b) override { shifts.push_back({a, b}); }
    Marking CreatingMarking(const Marking& marking, bool ctrl) const override {
        return ctrl && squareWithCtrl ? SquaredMarking(marking) : marking;
    }
    std::optional<Marking> MovedMarkingOverride(const Marking& saved, bool ctrl) const override {
        if (!ctrl || !centreWithCtrl) return std::nullopt;
        return CentredMarking(saved, canvas->width, canvas->height);
    }

    Tool tool = Tool::kMarking;
    PenSettings pen;
    GrayBitmap* canvas = nullptr;
    bool observe = false;
    bool squareWithCtrl = false;
    bool centreWithCtrl = false;
    int strokesStarted = 0;
    int strokesFinished = 0;
    std::set<Pixel> painted;
    std::set<Pixel> restored;
    ToolButton lastButton = ToolButton::kLeft;
    std::vector<std::pair<int64_t, int64_t>> shifts;
};

// A 20 x 10 image in a 200 x 150 view at step 0, centred at origin (90, 70).
// Creates the application before the fixture's widgets.
struct WithApplication {
    WithApplication() { testing::TestApplication(); }
};

class ToolControllerTest : public ::testing::Test, private WithApplication {
  protected:
    void SetUp() override {
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(200, 150);
        view.show();
        QObject::connect(&view, &ImageView::ReadoutChanged,
                         [this](const QString& x, const QString& y, const QString& g) {
                             lines = {x, y, g};
                         });
        view.SetToolClient(&client);
        Show(20, 10);
    }

    void Show(int32_t width, int32_t height) {
        image = *CreateGrayBitmap(width, height);
        client.canvas = &image;
        view.SetBitmap(&image);
        view.ResetForNewImage();
    }

    // The window point of pixel (c, r) at step 0.
    QPoint At(int c, int r) const {
        return QPoint(view.State().originX + c, view.State().originY + image.height - 1 - r);
    }

    void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        QTest::mousePress(&view, button, mods, p);
        held = button;
    }
    void Move(QPoint p, Qt::KeyboardModifiers mods = {}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), view.mapToGlobal(QPointF(p)), Qt::NoButton, held,
                         mods);
        QApplication::sendEvent(&view, &move);
    }
    void Release(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseRelease(&view, button, mods, p);
        held = Qt::NoButton;
    }
    void Drag(QPoint from, QPoint to) {
        Press(from);
        Move(to);
        Release(to);
    }

    std::set<Pixel> PixelsOf(uint8_t value) const {
        std::set<Pixel> pixels;
        for (int32_t y = 0; y < image.height; ++y)
            for (int32_t x = 0; x < image.width; ++x)
                if (image.At(x, y) == value) pixels.insert({x, y});
        return pixels;
    }

    ImageView view;
    RecordingClient client;
    GrayBitmap image;
    Qt::MouseButtons held = Qt::NoButton;
    QStringList lines;
};

TEST_F(ToolControllerTest, MarkingDraggedEitherWayGivesTheSameRectangle) {
    const struct {
        QPoint from, to;
        Marking expected;
    } cases[] = {
        {At(3, 2), At(8, 6), {3, 6, 8, 2}},
        {At(8, 6), At(3, 2), {3, 6, 8, 2}},
        {At(8, 2), At(3, 6), {3, 6, 8, 2}},
        {At(3, 6), At(8, 2), {3, 6, 8, 2}},
        {At(5, 5), QPoint(-300, 500), {0, 5, 5, 0}},    // the pointer outside the window clamps
        {QPoint(500, -40), At(12, 4), {12, 9, 19, 4}},  // so does a press beside the image
    };
    for (const auto& c : cases) {
        view.SetMarking(WholeImageMarking(20, 10));
        Drag(c.from, c.to);
        EXPECT_EQ(view.CurrentMarking(), c.expected) << c.from.x() << "," << c.from.y();
        EXPECT_FALSE(view.Tools().DragInProgress());
    }
}

TEST_F(ToolControllerTest, ClickInsideMovesAndStopsAtTheBorderKeepingTheSize) {
    const Marking start{4, 6, 7, 3};  // 4 x 4
    const struct {
        QPoint to;
        Marking expected;
    } cases[] = {
        {At(7, 5), {6, 7, 9, 4}},      // right 2, up 1
        {At(60, 5), {16, 7, 19, 4}},   // stops at the right border
        {At(-30, -30), {0, 3, 3, 0}},  // stops at the left and bottom borders
        {At(5, 40), {4, 9, 7, 6}},     // top border
    };
    for (const auto& c : cases) {
        view.SetMarking(start);
        Press(At(5, 4));
        EXPECT_EQ(lines, (QStringList{"X:  4 (4)", "Y:  3 (4)", "  (Markierung)"}));
        Move(c.to);
        EXPECT_EQ(view.CurrentMarking(), c.expected) << c.to.x() << "," << c.to.y();
        Release(c.to);
        EXPECT_EQ(view.CurrentMarking(), c.expected);
    }
    // A press outside the marking starts a new one there.
    view.SetMarking(start);
    Press(At(12, 8));
    EXPECT_EQ(view.CurrentMarking(), (Marking{12, 8, 12, 8}));
    Move(At(14, 9));
    EXPECT_EQ(lines, (QStringList{"Breite:  3", "Höhe:  2", "  (der Markierung)"}));
    Release(At(14, 9));
}

TEST_F(ToolControllerTest, EscapeRestoresTheMarkingOfBeforeTheDrag) {
    for (const QPoint press : {At(5, 4), At(15, 1)}) {  // a move and a new marking
        view.SetMarking(Marking{4, 6, 7, 3});
        Press(press);
        Move(At(9, 9));
        EXPECT_NE(view.CurrentMarking(), (Marking{4, 6, 7, 3}));
        EXPECT_TRUE(view.ToolKeyDown(Qt::Key_Escape));
        EXPECT_EQ(view.CurrentMarking(), (Marking{4, 6, 7, 3}));
        EXPECT_FALSE(view.Tools().DragInProgress());
        Move(At(1, 1));
        Release(At(1, 1));  // the release after Escape changes nothing
        EXPECT_EQ(view.CurrentMarking(), (Marking{4, 6, 7, 3}));
    }
    EXPECT_FALSE(view.ToolKeyDown(Qt::Key_Escape));  // no drag: not used
}

TEST_F(ToolControllerTest, RightClicksClearOrSetTheCornerAndCtrlSquaresThroughTheClient) {
    view.SetMarking(Marking{4, 6, 7, 3});
    Press(At(10, 1), Qt::RightButton, Qt::ControlModifier);
    Release(At(10, 1), Qt::RightButton);
    EXPECT_EQ(view.CurrentMarking(), (Marking{4, 6, 10, 1}));
    Press(At(10, 1), Qt::RightButton);
    Release(At(10, 1), Qt::RightButton);
    EXPECT_EQ(view.CurrentMarking(), WholeImageMarking(20, 10));

    client.squareWithCtrl = true;
    Press(At(2, 8));
    Move(At(9, 6), Qt::ControlModifier);
    EXPECT_EQ(view.CurrentMarking(), (Marking{2, 8, 4, 6}));
    Release(At(9, 6), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(view.CurrentMarking(), (Marking{2, 8, 4, 6}));
}

TEST_F(ToolControllerTest, AMoveWithCtrlCanBeCentredByTheClientAndReadsOutsideOffTheImage) {
    client.centreWithCtrl = true;
    view.SetMarking(Marking{1, 3, 3, 1});  // 3 x 3
    Press(At(2, 2));
    Move(At(5, 2), Qt::ControlModifier);
    EXPECT_EQ(view.CurrentMarking(), (Marking{9, 6, 11, 4}));  // centred on (10, 5)
    Move(At(5, 2));
    EXPECT_EQ(view.CurrentMarking(), (Marking{4, 3, 6, 1}));  // follows the pointer again
    Move(QPoint(3, 3));
    EXPECT_EQ(lines, (QStringList{"X: (außerhalb)", "Y: (außerhalb)", "Grauwert: ---"}));
    Release(QPoint(3, 3));
}

// Records the window area every paint event asks for.
class PaintRecorder : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

TEST_F(ToolControllerTest, APanStepRepaintsOnlyTheUncoveredStrips) {
    client.tool = Tool::kPanZoom;
    Show(400, 300);
    QApplication::processEvents();
    PaintRecorder recorder;
    view.installEventFilter(&recorder);
    Press(QPoint(100, 100));
    Move(QPoint(105, 103));
    QApplication::processEvents();
    EXPECT_EQ(recorder.painted, QRegion(0, 0, 5, 150) + QRegion(0, 0, 200, 3));
    recorder.painted = QRegion();
    Move(QPoint(98, 96));
    QApplication::processEvents();
    EXPECT_EQ(recorder.painted, QRegion(193, 0, 7, 150) + QRegion(0, 143, 200, 7));
    Release(QPoint(98, 96));
}

TEST_F(ToolControllerTest, LosingTheMouseOrTheImageEndsTheDrag) {
    Press(At(2, 2));
    Move(At(6, 7));
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&view, &deactivate);  // as a release at the last position
    EXPECT_FALSE(view.Tools().DragInProgress());
    EXPECT_EQ(view.CurrentMarking(), (Marking{2, 7, 6, 2}));

    Press(At(10, 2));
    GrayBitmap other = *CreateGrayBitmap(5, 5);
    view.SetBitmap(&other);  // replaced mid-drag
    EXPECT_FALSE(view.Tools().DragInProgress());
    Move(At(0, 0));
    Release(At(0, 0));
    // A stroke whose canvas the client replaced underneath ends without writing anywhere.
    Show(20, 10);
    client.tool = Tool::kDrawing;
    Press(At(3, 3));
    GrayBitmap smaller = *CreateGrayBitmap(4, 4);
    client.canvas = &smaller;
    Move(At(3, 3));
    EXPECT_FALSE(view.Tools().Stroking());
    EXPECT_EQ(client.strokesFinished, 1);
    EXPECT_TRUE(std::all_of(smaller.pixels.begin(), smaller.pixels.end(), [](uint8_t v) { return v == 0; }));
    Release(At(3, 3));
    view.SetBitmap(nullptr);
    view.Clear();
    Press(At(1, 1));  // nothing without an image
    EXPECT_FALSE(view.Tools().DragInProgress());
    Release(At(1, 1));
}

TEST_F(ToolControllerTest, PanningScrollsWithinTheClampsAndClicksZoom) {
    client.tool = Tool::kPanZoom;
    Show(400, 300);  // larger than the view: origin (-100, -75)
    ASSERT_EQ(view.State().originX, -100);
    Press(QPoint(100, 100));
    EXPECT_EQ(view.cursor().shape(), Qt::ClosedHandCursor);
    Move(QPoint(130, 90));
    EXPECT_EQ(view.State().originX, -70);
    EXPECT_EQ(view.State().originY, -85);
    Move(QPoint(400, 400));  // limited: no margin may appear
    EXPECT_EQ(view.State().originX, 0);
    EXPECT_EQ(view.State().originY, 0);
    EXPECT_TRUE(view.Tools().Panning());
    EXPECT_FALSE(view.ToolKeyDown(Qt::Key_Control));  // keys are ignored while panning
    Release(QPoint(400, 400));
    EXPECT_EQ(view.cursor().shape(), Qt::OpenHandCursor);
    Move(QPoint(50, 50));
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);

    // Control sets the flag; a left click with it zooms in at the clicked point.
    EXPECT_TRUE(view.ToolKeyDown(Qt::Key_Control));
    Press(QPoint(10, 20), Qt::LeftButton, Qt::ControlModifier);
    Release(QPoint(10, 20), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(view.State().zoomStep, 1);
    EXPECT_EQ(view.State().originX, 0);  // pixel (10, ...) moves towards the centre, then clamps
    Press(QPoint(100, 75), Qt::RightButton, Qt::ControlModifier);
    Release(QPoint(100, 75), Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(view.State().zoomStep, 0);
    EXPECT_TRUE(view.ToolKeyUp(Qt::Key_Control));
    EXPECT_FALSE(view.Tools().ControlFlag());

    // A left click with Ctrl but without the flag does nothing; a right click without Ctrl centres.
    Press(QPoint(10, 20), Qt::LeftButton, Qt::ControlModifier);
    Release(QPoint(10, 20), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(view.State().zoomStep, 0);
    EXPECT_FALSE(view.Tools().Panning());
    view.MutableState().originX = -3;
    Press(QPoint(10, 20), Qt::RightButton);
    EXPECT_EQ(view.State().originX, -100);
    Release(QPoint(10, 20), Qt::RightButton);
}

TEST_F(ToolControllerTest, StrokeWithPenTwoAndClippingToTheMarking) {
    client.tool = Tool::kDrawing;
    Show(20, 20);
    Press(At(10, 10));
    Release(At(10, 10));
    EXPECT_EQ(PixelsOf(255), (std::set<Pixel>{{10, 9}, {11, 9}, {10, 10}, {11, 10}}));
    EXPECT_EQ(client.strokesStarted, 1);
    EXPECT_EQ(client.strokesFinished, 1);

    Show(20, 10);
    std::fill(image.pixels.begin(), image.pixels.end(), uint8_t{77});
    view.SetMarking(Marking{5, 7, 9, 3});
    client.pen.size = 9;
    Press(At(2, 2), Qt::RightButton);  // outside the marking: the dab is clipped away
    client.pen.size = 1;               // the pen of a stroke stays that of its start
    Move(At(15, 8));
    Move(QPoint(-500, 900));  // the pointer may leave the image
    Release(QPoint(-500, 900), Qt::RightButton);
    EXPECT_EQ(client.strokesStarted, 2);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            if (x < 5 || x > 9 || y < 3 || y > 7) {
                ASSERT_EQ(image.At(x, y), 77) << x << "," << y;
            }
        }
    }
    EXPECT_FALSE(PixelsOf(0).empty());
}

TEST_F(ToolControllerTest, StraightLinePreviewLeavesNoTraceAndStrokesStartOnlyOnTheImage) {
    client.tool = Tool::kDrawing;
    client.pen.size = 1;
    Press(At(1, 1));
    Move(At(2, 1), Qt::ControlModifier);  // straight-line mode from (1, 1)
    Move(At(10, 8), Qt::ControlModifier);
    Move(At(18, 2), Qt::ControlModifier);
    // Only the line to the pointer is on the image, none of the earlier previews.
    std::set<Pixel> expected = {{1, 1}, {2, 1}};
    GrayBitmap oracle = *CreateGrayBitmap(20, 10);
    DrawSegment(oracle, WholeImageMarking(20, 10), {1, 1}, {18, 2}, 1, PenInk{255});
    for (int32_t x = 0; x < 20; ++x)
        for (int32_t y = 0; y < 10; ++y)
            if (oracle.At(x, y) == 255) expected.insert({x, y});
    EXPECT_EQ(PixelsOf(255), expected);
    Move(At(18, 5));  // Ctrl released elsewhere: the line to (18, 2) stays, then freehand on
    Release(At(18, 5));
    DrawSegment(oracle, WholeImageMarking(20, 10), {18, 2}, {18, 5}, 1, PenInk{255});
    for (int32_t y = 2; y <= 5; ++y) expected.insert({18, y});
    EXPECT_EQ(PixelsOf(255), expected);

    const int started = client.strokesStarted;
    Press(QPoint(5, 5));  // beside the image: no stroke
    EXPECT_FALSE(view.Tools().Stroking());
    Release(QPoint(5, 5));
    EXPECT_EQ(client.strokesStarted, started);
}

TEST_F(ToolControllerTest, ReleaseInStraightLineModeRemovesThePreviewFirst) {
    client.tool = Tool::kDrawing;
    client.pen.size = 1;
    Press(At(1, 1));
    Move(At(1, 1), Qt::ControlModifier);
    Move(At(10, 8), Qt::ControlModifier);
    Release(At(19, 1), Qt::LeftButton, Qt::ControlModifier);
    GrayBitmap oracle = *CreateGrayBitmap(20, 10);
    DrawSegment(oracle, WholeImageMarking(20, 10), {1, 1}, {19, 1}, 1, PenInk{255});
    EXPECT_TRUE(std::equal(oracle.pixels.begin(), oracle.pixels.end(), image.pixels.begin()));
}

TEST_F(ToolControllerTest, ObservingClientsHearOfEveryPaintedAndRestoredPixel) {
    client.tool = Tool::kDrawing;
    client.observe = true;
    client.pen = PenSettings{3, 255, 0};
    std::fill(image.pixels.begin(), image.pixels.end(), uint8_t{100});
    view.SetMarking(Marking{2, 8, 15, 2});
    Press(At(4, 4), Qt::RightButton);
    Move(At(6, 4), Qt::ControlModifier);
    Move(At(12, 8), Qt::ControlModifier);
    Move(At(14, 3), Qt::ControlModifier);
    Release(At(14, 3), Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(client.lastButton, ToolButton::kRight);
    EXPECT_FALSE(client.restored.empty());
    const std::set<Pixel> black = PixelsOf(0);
    EXPECT_FALSE(black.empty());
    for (const Pixel& p : black) EXPECT_TRUE(client.painted.contains(p)) << p.first << "," << p.second;
    for (const Pixel& p : client.restored)
        EXPECT_TRUE(client.painted.contains(p)) << p.first << "," << p.second;
    for (const Pixel& p : client.painted) {
        EXPECT_TRUE(p.first >= 2 && p.first <= 15 && p.second >= 2 && p.second <= 8);
    }
}

TEST_F(ToolControllerTest, OriginShiftAsksForTheShiftOfTheClickedPixel) {
    client.tool = Tool::kOriginShift;
    Press(At(3, 2));
    Release(At(3, 2));
    Press(At(3, 2), Qt::RightButton);
    Release(At(3, 2), Qt::RightButton);
    Press(QPoint(2, 2));  // outside the image
    Release(QPoint(2, 2));
    EXPECT_EQ(client.shifts, (std::vector<std::pair<int64_t, int64_t>>{{3, 2}, {17, 8}}));
}

TEST_F(ToolControllerTest, CursorsFollowTheToolAndTheControlFlag) {
    client.tool = Tool::kPanZoom;
    Move(At(1, 1));
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
    EXPECT_TRUE(view.ToolKeyDown(Qt::Key_Control));
    EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor);  // the drawn magnifier
    Move(At(2, 1), Qt::ControlModifier);
    EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor);
    Move(At(3, 1));  // a move without Ctrl clears the flag
    EXPECT_FALSE(view.Tools().ControlFlag());
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
    client.tool = Tool::kDrawing;
    EXPECT_FALSE(view.ToolKeyDown(Qt::Key_Control));
    view.SetBitmap(nullptr);
    view.Clear();
    Move(At(1, 1));
    EXPECT_EQ(view.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(lines[0], "X: (Kein Bild)");
}

}  // namespace
}  // namespace tarkemo::app
