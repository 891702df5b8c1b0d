// The mouse tools at full size: one pan step of a 1920 x 1080 view onto an 8192 x 8192 image at
// zoom step 0 (the widget scrolls its picture and paints only the uncovered strips; a full repaint
// for comparison), and a freehand stroke of 1000 segments with pen 9, both as bare pixel work and
// through the tool controller with the repaint of the touched rectangle.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <cmath>
#include <vector>

#include "app/view/image_view.h"
#include "app/view/tool_controller.h"
#include "document/drawing.h"
#include "generator/particle_image.h"

namespace {

using tarkemo::GrayBitmap;
using tarkemo::ImagePoint;
using tarkemo::app::ImageView;

constexpr int32_t kSide = 8192;
constexpr int kClientWidth = 1920;
constexpr int kClientHeight = 1080;

GrayBitmap& Image() {
    static GrayBitmap image = tarkemo::testimages::MakeNoiseImage(kSide, kSide, 11);
    return image;
}

// Counts the window pixels that paint events asked for.
class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) {
                pixels += static_cast<int64_t>(r.width()) * r.height();
            }
        }
        return false;
    }
    int64_t pixels = 0;
};

void SendMove(ImageView& view, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), view.mapToGlobal(QPointF(p)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
}

// Sets up a shown view on the big image at step 0 and lets its first full paint happen.
void ShowView(ImageView& view) {
    view.resize(kClientWidth, kClientHeight);
    view.SetBitmap(&Image());
    view.show();
    view.ResetForNewImage();
    QApplication::processEvents();
}

void BM_PanStep(benchmark::State& state) {
    const int step = static_cast<int>(state.range(0));
    ImageView view;
    ShowView(view);
    PaintCounter counter;
    view.installEventFilter(&counter);
    QPoint pointer(960, 540);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pointer), view.mapToGlobal(QPointF(pointer)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    int direction = 1;
    int64_t steps = 0;
    for (auto _ : state) {
        // Back and forth, so the image never reaches a border and every step scrolls.
        pointer += QPoint(direction * step, direction * step / 2);
        if (++steps % 50 == 0) direction = -direction;
        SendMove(view, pointer);
        QApplication::processEvents();
    }
    state.counters["painted_px_per_step"] = benchmark::Counter(
        static_cast<double>(counter.pixels) / static_cast<double>(std::max<int64_t>(steps, 1)));
}
BENCHMARK(BM_PanStep)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

// For comparison: repainting the whole view after each move.
void BM_FullRepaint(benchmark::State& state) {
    ImageView view;
    ShowView(view);
    for (auto _ : state) {
        view.update();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

// A freehand path of 1000 segments of about 6 pixels in the middle of the image.
std::vector<ImagePoint> StrokePath() {
    std::vector<ImagePoint> points;
    for (int i = 0; i <= 1000; ++i) {
        const double t = i * 0.02;
        points.push_back(ImagePoint{static_cast<int64_t>(4096 + 1500 * std::sin(t) + 3 * i),
                                    static_cast<int64_t>(4096 + 1200 * std::cos(1.3 * t))});
    }
    return points;
}

void BM_Stroke1000SegmentsPen9(benchmark::State& state) {
    GrayBitmap& image = Image();
    const std::vector<ImagePoint> path = StrokePath();
    const tarkemo::Marking whole = tarkemo::WholeImageMarking(kSide, kSide);
    int64_t pixels = 0;
    for (auto _ : state) {
        tarkemo::TouchedArea touched;
        for (size_t i = 1; i < path.size(); ++i) {
            const tarkemo::TouchedArea part =
                tarkemo::DrawSegment(image, whole, path[i - 1], path[i], 9, tarkemo::PenInk{255});
            touched.Add(part);
            pixels += int64_t{part.right - part.left + 1} * (part.top - part.bottom + 1);
        }
        benchmark::DoNotOptimize(touched);
    }
    state.counters["touched_px_per_stroke"] =
        benchmark::Counter(static_cast<double>(pixels) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_Stroke1000SegmentsPen9)->Unit(benchmark::kMillisecond);

// The same stroke as mouse moves through the tool controller, with a host that only collects the
// repaint rectangles.
class CollectingHost : public tarkemo::app::ToolHost {
  public:
    void RepaintView(bool) override {}
    void RepaintPixels(const tarkemo::TouchedArea& area) override { repaints += area.Empty() ? 0 : 1; }
    void ScrollView(int32_t, int32_t) override {}
    void SetToolCursor(tarkemo::app::ToolCursor) override {}
    void ShowReadout(const tarkemo::ReadoutLines&) override {}
    int64_t repaints = 0;
};

class DrawingClient : public tarkemo::app::ToolClient {
  public:
    tarkemo::app::Tool CurrentTool() const override { return tarkemo::app::Tool::kDrawing; }
    tarkemo::app::PenSettings Pen() const override { return {9, 255, 0}; }
    GrayBitmap* Canvas() override { return &Image(); }
};

void BM_StrokeThroughController(benchmark::State& state) {
    tarkemo::ViewState view;
    view.clientWidth = kClientWidth;
    view.clientHeight = kClientHeight;
    tarkemo::ResetViewForImage(view, kSide, kSide);
    tarkemo::Marking marking = tarkemo::WholeImageMarking(kSide, kSide);
    CollectingHost host;
    DrawingClient client;
    tarkemo::app::ToolController tools(view, marking, host);
    tools.SetClient(&client);
    tools.SetBitmap(&Image());
    // Window points of the path at step 0 (rows count upwards in the image).
    std::vector<QPoint> points;
    for (const ImagePoint& p : StrokePath()) {
        points.emplace_back(static_cast<int>(view.originX + p.column),
                            static_cast<int>(view.originY + kSide - 1 - p.row));
    }
    for (auto _ : state) {
        tools.MouseDown(tarkemo::app::ToolButton::kLeft, points[0].x(), points[0].y(), false);
        for (size_t i = 1; i < points.size(); ++i) tools.MouseMove(points[i].x(), points[i].y(), false);
        tools.MouseUp(tarkemo::app::ToolButton::kLeft, points.back().x(), points.back().y(), false);
    }
    state.counters["repaints_per_stroke"] =
        benchmark::Counter(static_cast<double>(host.repaints) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_StrokeThroughController)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
