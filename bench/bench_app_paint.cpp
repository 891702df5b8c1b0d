// Painting the image view: a 1920 x 1080 window onto an 8192 x 8192 image at zoom steps -10, 0
// and 20, the conversion of the visible part plus the draw into an offscreen picture, for both
// conversion formats. For comparison, the same picture drawn by Qt's own (non-smoothing) scaler
// from a conversion of the whole visible source rectangle.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app/view/view_painter.h"
#include "document/view_geometry.h"
#include "generator/particle_image.h"

namespace {

using tarkemo::app::ConversionFormat;
using tarkemo::app::ViewPainter;

constexpr int32_t kSide = 8192;
constexpr int kClientWidth = 1920;
constexpr int kClientHeight = 1080;

const tarkemo::GrayBitmap& Image() {
    static const tarkemo::GrayBitmap image = tarkemo::testimages::MakeNoiseImage(kSide, kSide, 11);
    return image;
}

// The view at `step`, looking at the middle of the image (centred, then clamped).
tarkemo::ViewState ViewAt(int32_t step) {
    tarkemo::ViewState view;
    view.clientWidth = kClientWidth;
    view.clientHeight = kClientHeight;
    view.zoomStep = step;
    tarkemo::UpdateDisplayedSize(view, kSide, kSide);
    tarkemo::CentreImage(view);
    view.originX += 3;  // not aligned to whole enlarged pixels
    tarkemo::ClampOrigin(view);
    return view;
}

QImage Target() {
    QImage target(kClientWidth, kClientHeight, QImage::Format_RGB32);
    target.fill(Qt::black);
    return target;
}

void BM_PaintView(benchmark::State& state) {
    const auto step = static_cast<int32_t>(state.range(0));
    const auto format = static_cast<ConversionFormat>(state.range(1));
    const tarkemo::ViewState view = ViewAt(step);
    QImage target = Target();
    ViewPainter painter;
    painter.SetConversionFormat(format);
    for (auto _ : state) {
        QPainter qp(&target);
        ViewPainter::PaintBackground(qp, view);
        painter.PaintImage(qp, view, Image(), QRect(0, 0, kClientWidth, kClientHeight));
        qp.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(format == ConversionFormat::Rgb32 ? "rgb32" : "indexed8");
}
BENCHMARK(BM_PaintView)
    ->ArgsProduct({{-10, 0, 20},
                   {static_cast<int>(ConversionFormat::Rgb32), static_cast<int>(ConversionFormat::Indexed8)}})
    ->Unit(benchmark::kMillisecond);

// The source rectangle converted as it is, then stretched by QPainter without smoothing.
void BM_QtScaler(benchmark::State& state) {
    const auto step = static_cast<int32_t>(state.range(0));
    const tarkemo::ViewState view = ViewAt(step);
    const tarkemo::PaintRects rects = tarkemo::ComputePaintRects(view, kSide, kSide);
    const tarkemo::GrayBitmap& image = Image();
    QImage target = Target();
    QList<QRgb> table(256);
    for (int i = 0; i < 256; ++i) table[i] = qRgb(i, i, i);
    for (auto _ : state) {
        QImage source(static_cast<int>(rects.sourceWidth), static_cast<int>(rects.sourceHeight),
                      QImage::Format_Indexed8);
        source.setColorTable(table);
        for (int y = 0; y < source.height(); ++y) {
            const uint8_t* row =
                image.Row(static_cast<int32_t>(kSide - 1 - (rects.sourceY + y))) + rects.sourceX;
            std::copy(row, row + source.width(), source.scanLine(y));
        }
        QPainter qp(&target);
        qp.setRenderHint(QPainter::SmoothPixmapTransform, false);
        qp.drawImage(QRect(static_cast<int>(rects.destX), static_cast<int>(rects.destY),
                           static_cast<int>(rects.destWidth), static_cast<int>(rects.destHeight)),
                     source);
        qp.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_QtScaler)->Arg(-10)->Arg(0)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
