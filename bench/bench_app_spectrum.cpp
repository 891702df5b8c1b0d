// The spectrum editor's waits, headless, on a 1365 x 1365 image (a 2048 x 2048 grid): opening
// (forward transform, shift, filter reset and first display), one re-render after a stroke or a
// construction (filtered spectrum recomputed, display redrawn) and one preview update of the
// inverse dialog over the image's region.
#include <benchmark/benchmark.h>

#include <optional>

#include "document/marking.h"
#include "generator/particle_image.h"
#include "spectrum/filter_constructions.h"
#include "spectrum/inverse_result.h"
#include "spectrum/spectrum_context.h"
#include "spectrum/spectrum_size.h"
#include "spectrum/spectrum_view.h"

namespace {

using namespace tarkemo;

GrayBitmap& Image() {
    static GrayBitmap image = testimages::MakeNoiseImage(1365, 1365, 5);
    return image;
}

SpectrumContext NewContext() {
    GrayBitmap& image = Image();
    std::optional<SpectrumContext> context =
        CreateSpectrumContext(image, AutomaticSpectrumLayout(image.width, image.height));
    return std::move(*context);
}

void BM_OpenEditor(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        SpectrumContext context = NewContext();
        state.ResumeTiming();
        TransformSpectrumForward(context);
        BeginSpectrumEditing(context);
        RenderSpectrumView(context, SpectrumViewSettings{}, false);
        benchmark::DoNotOptimize(context.working.pixels.data());
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderAfterConstruction(benchmark::State& state) {
    SpectrumContext context = NewContext();
    TransformSpectrumForward(context);
    BeginSpectrumEditing(context);
    ApplyFilterShape(context.Filter(), Marking{1000, 1060, 1060, 1000}, FilterShape::kLowPassEllipse);
    const SpectrumViewSettings settings{SpectrumViewField::kFiltered, SpectrumQuantity::kMagnitude,
                                        state.range(0) ? SpectrumScale::kDecibel : SpectrumScale::kPowerLaw,
                                        0.1f};
    for (auto _ : state) {
        RenderSpectrumView(context, settings, true);
        benchmark::DoNotOptimize(context.working.pixels.data());
    }
}
BENCHMARK(BM_RenderAfterConstruction)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InversePreview(benchmark::State& state) {
    SpectrumContext context = NewContext();
    TransformSpectrumForward(context);
    BeginSpectrumEditing(context);
    FinishSpectrumEditing(context);
    InverseSettings settings;
    settings.source = InverseSource::kMagnitude;
    settings.normalise = true;
    for (auto _ : state) {
        ApplyInverseResult(context, settings);
        benchmark::DoNotOptimize(context.source->pixels.data());
    }
}
BENCHMARK(BM_InversePreview)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
