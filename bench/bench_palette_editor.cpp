// The palette editor's two hot paths: the histogram of an 8192 x 8192 image, recomputed when the
// editor opens and after every "Anwenden", and one preview step of a curve drag: the colour table
// through the mapping written into the bitmap and a 1920 x 1080 view repainted.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app/view/view_painter.h"
#include "document/view_geometry.h"
#include "generator/particle_image.h"
#include "image/gray_histogram.h"

namespace {

constexpr int32_t kSide = 8192;

tarkemo::GrayBitmap& Image() {
    static tarkemo::GrayBitmap image = tarkemo::testimages::MakeNoiseImage(kSide, kSide, 5);
    return image;
}

void BM_Histogram(benchmark::State& state) {
    const tarkemo::GrayBitmap& image = Image();
    for (auto _ : state) {
        tarkemo::GrayHistogram histogram = tarkemo::ComputeGrayHistogram(image);
        benchmark::DoNotOptimize(histogram.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kSide} * kSide);
}
BENCHMARK(BM_Histogram)->Unit(benchmark::kMillisecond);

// A flat image: every pixel has the same value, the worst case for a single counting table.
void BM_HistogramUniform(benchmark::State& state) {
    static const tarkemo::GrayBitmap flat = *tarkemo::CreateGrayBitmap(kSide, kSide);
    for (auto _ : state) {
        tarkemo::GrayHistogram histogram = tarkemo::ComputeGrayHistogram(flat);
        benchmark::DoNotOptimize(histogram.data());
    }
}
BENCHMARK(BM_HistogramUniform)->Unit(benchmark::kMillisecond);

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
