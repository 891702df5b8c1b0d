// The spectrum display and the inverse result on a 2048 x 2048 grid (the spectrum of a 1365 x 1365
// particle image), and the whole command-line run for that image without reading and writing.
// The argument is the number of threads; the targets are for one.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstring>
#include <optional>

#include "document/marking.h"
#include "generator/particle_image.h"
#include "spectrum/centred_marking.h"
#include "spectrum/fft.h"
#include "spectrum/filter_constructions.h"
#include "spectrum/inverse_result.h"
#include "spectrum/spectrum_context.h"
#include "spectrum/spectrum_view.h"

namespace {

using namespace tarkemo;

constexpr int32_t kImageSide = 1365;  // the largest side whose automatic spectrum is 2048

GrayBitmap& Image() {
    static GrayBitmap image = testimages::MakeParticleImage(
        {.width = kImageSide, .height = kImageSide, .spotCount = 3000, .seed = 12});
    return image;
}

// A context after the editor opened, and its filtered field transformed back, made once.
SpectrumContext& Context() {
    static SpectrumContext context = [] {
        auto made = CreateSpectrumContext(Image(), AutomaticSpectrumLayout(kImageSide, kImageSide));
        TransformSpectrumForward(*made);
        BeginSpectrumEditing(*made);
        return std::move(*made);
    }();
    return context;
}

void Render(benchmark::State& state, SpectrumQuantity quantity, SpectrumScale scale) {
    omp_set_num_threads(static_cast<int>(state.range(0)));
    SpectrumContext& context = Context();
    const SpectrumViewSettings settings{SpectrumViewField::kSpectrum, quantity, scale, 0.1f};
    for (auto _ : state) {
        RenderSpectrumView(context, settings, false);
        benchmark::DoNotOptimize(context.working.pixels.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * context.Count()));
}

void BM_RenderPowerLaw(benchmark::State& state) {
    Render(state, SpectrumQuantity::kMagnitude, SpectrumScale::kPowerLaw);
}
void BM_RenderDecibel(benchmark::State& state) {
    Render(state, SpectrumQuantity::kMagnitude, SpectrumScale::kDecibel);
}
void BM_RenderPhasePowerLaw(benchmark::State& state) {
    Render(state, SpectrumQuantity::kPhase, SpectrumScale::kPowerLaw);
}
BENCHMARK(BM_RenderPowerLaw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderDecibel)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPhasePowerLaw)->Arg(1)->Unit(benchmark::kMillisecond);

// The inverse result over a whole 2048 x 2048 region (the grid's own size as the image).
void Inverse(benchmark::State& state, InverseSettings settings) {
    omp_set_num_threads(static_cast<int>(state.range(0)));
    SpectrumContext& context = Context();
    static GrayBitmap target = CreateGrayBitmap(context.width, context.height).value();
    for (auto _ : state) {
        ApplyInverseResult(context.Filtered(), 0, 0, settings, context.work.get(), target);
        benchmark::DoNotOptimize(target.pixels.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * context.Count()));
}

void BM_ApplyInverseResultReal(benchmark::State& state) {
    Inverse(state, InverseSettings{});
}
void BM_ApplyInverseResultNormalised(benchmark::State& state) {
    InverseSettings settings;
    settings.add = 3.0f;
    settings.absolute = true;
    settings.normalise = true;
    Inverse(state, settings);
}
void BM_ApplyInverseResultPhase(benchmark::State& state) {
    InverseSettings settings;
    settings.source = InverseSource::kPhase;
    Inverse(state, settings);
}
BENCHMARK(BM_ApplyInverseResultReal)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyInverseResultNormalised)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyInverseResultPhase)->Arg(1)->Unit(benchmark::kMillisecond);

// What `tarkemo-cli spectrum IN OUT mark-centred=0,0,100,100 lowpass-ellipse` does between
// reading IN and writing OUT: context, forward transform, filter, product, inverse, result.
void BM_PipelineLowPass1365(benchmark::State& state) {
    omp_set_num_threads(static_cast<int>(state.range(0)));
    GrayBitmap image = Image();
    for (auto _ : state) {
        auto context = CreateSpectrumContext(image, AutomaticSpectrumLayout(kImageSide, kImageSide));
        TransformSpectrumForward(*context);
        BeginSpectrumEditing(*context);
        const Marking marking = *CentredMarking(0, 0, 100, 100, context->width, context->height);
        ApplyFilterShape(context->Filter(), marking, FilterShape::kLowPassEllipse);
        MultiplySpectrumByFilter(*context);
        FinishSpectrumEditing(*context);
        ApplyInverseResult(*context, InverseSettings{});
        benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(BM_PipelineLowPass1365)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same run without the two transforms (the shift stays): what the run costs beyond Fft2D.
void BM_PipelineWithoutTransforms1365(benchmark::State& state) {
    omp_set_num_threads(static_cast<int>(state.range(0)));
    GrayBitmap image = Image();
    for (auto _ : state) {
        auto context = CreateSpectrumContext(image, AutomaticSpectrumLayout(kImageSide, kImageSide));
        BeginSpectrumEditing(*context);
        const Marking marking = *CentredMarking(0, 0, 100, 100, context->width, context->height);
        ApplyFilterShape(context->Filter(), marking, FilterShape::kLowPassEllipse);
        MultiplySpectrumByFilter(*context);
        ShiftSpectrum(context->filteredRe.get(), context->filteredIm.get(), context->work.get(),
                      context->width, context->height, -1);
        ApplyInverseResult(*context, InverseSettings{});
        benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(BM_PipelineWithoutTransforms1365)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
