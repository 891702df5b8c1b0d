// The palette editor's two hot paths: the histogram of an 8192 x 8192 image, recomputed when the
// editor opens and after every "Anwenden", and one preview step of a curve drag: the colour table
// through the mapping written into the bitmap and a 1920 x 1080 view of the main window repainted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include "app/view/image_view.h"
#include "document/palette_mapping.h"
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

// The kernel for processors without AVX-512: pairs of pixels counted in a table of 65536.
void BM_HistogramPortable(benchmark::State& state) {
    const tarkemo::GrayBitmap& image = Image();
    for (auto _ : state) {
        tarkemo::GrayCounts counts = tarkemo::CountGrayValuesPortable(image);
        benchmark::DoNotOptimize(counts.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kSide} * kSide);
}
BENCHMARK(BM_HistogramPortable)->Unit(benchmark::kMillisecond);

// A flat image: every pixel has the same value, the worst case for a single counting table.
void BM_HistogramUniform(benchmark::State& state) {
    static const tarkemo::GrayBitmap flat = *tarkemo::CreateGrayBitmap(kSide, kSide);
    for (auto _ : state) {
        tarkemo::GrayHistogram histogram = tarkemo::ComputeGrayHistogram(flat);
        benchmark::DoNotOptimize(histogram.data());
    }
}
BENCHMARK(BM_HistogramUniform)->Unit(benchmark::kMillisecond);

// One event of a curve drag: the mapping gets a new point, the image's colour table becomes the gray
// table through it, and the main window's 1920 x 1080 view repaints (here into an offscreen picture)
// at zoom steps -10, 0 and 20.
void BM_PreviewDuringCurveDrag(benchmark::State& state) {
    tarkemo::GrayBitmap& image = Image();
    tarkemo::app::ImageView view;
    view.resize(1920, 1080);
    view.SetBitmap(&image);
    view.ResetForNewImage();
    tarkemo::ViewState& geometry = view.MutableState();
    geometry.zoomStep = static_cast<int32_t>(state.range(0));
    tarkemo::UpdateDisplayedSize(geometry, kSide, kSide);
    tarkemo::CentreImage(geometry);
    tarkemo::ClampOrigin(geometry);
    QImage target(1920, 1080, QImage::Format_RGB32);
    tarkemo::GrayLevels mapping = tarkemo::IdentityMapping();
    int step = 0;
    for (auto _ : state) {
        mapping[static_cast<size_t>(step & 0xFF)] = static_cast<uint8_t>(step * 7);
        ++step;
        tarkemo::WriteColourTable(image, tarkemo::MappedGrayTable(mapping));
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    tarkemo::SetGrayRamp(image);
}
BENCHMARK(BM_PreviewDuringCurveDrag)->Arg(-10)->Arg(0)->Arg(20)->Unit(benchmark::kMillisecond);

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
