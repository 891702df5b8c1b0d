// Speed of the linear filter engine on a 4096 x 4096 generated particle image: the built-in
// Gauss 5 x 5 on one thread and on all threads, the same with sums in double precision, a 3 x 3
// kernel, the coefficient-sum path and the global stretch. Compare with bench/compare_filter.sh.
#include <benchmark/benchmark.h>
#include <omp.h>

#include "generator/particle_image.h"
#include "ops/builtin_kernels.h"
#include "ops/linear_filter.h"

namespace {

using tarkemo::BuiltinKernel;

const tarkemo::GrayBitmap& Source() {
    static const tarkemo::GrayBitmap image = [] {
        tarkemo::testimages::ParticleImageSpec spec;
        spec.width = 4096;
        spec.height = 4096;
        spec.spotCount = 20000;
        return tarkemo::testimages::MakeParticleImage(spec);
    }();
    return image;
}

void RunFilter(benchmark::State& state, const tarkemo::LinearFilter& filter, int threads) {
    omp_set_num_threads(threads > 0 ? threads : omp_get_num_procs());
    tarkemo::GrayBitmap image = Source();
    for (auto _ : state) {
        state.PauseTiming();
        image.pixels = Source().pixels;
        state.ResumeTiming();
        if (!tarkemo::ApplyLinearFilter(image, filter)) state.SkipWithError("filter failed");
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t{image.width} * image.height);
}

tarkemo::LinearFilter Builtin(BuiltinKernel kernel) {
    tarkemo::LinearFilter filter;
    tarkemo::FillBuiltinKernel(kernel, filter);
    return filter;
}

void BM_Gauss5(benchmark::State& state) {
    RunFilter(state, Builtin(BuiltinKernel::kGauss5), static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Gauss5)->Arg(1)->Arg(0)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

// The same filter with the coefficients divided by 256 instead of the result: no longer whole
// numbers, so the engine takes the sums in double precision (the results are the same).
void BM_Gauss5DoubleSums(benchmark::State& state) {
    tarkemo::LinearFilter filter = Builtin(BuiltinKernel::kGauss5);
    for (float& c : filter.kernel) c /= 256.0f;
    filter.divBy = 1.0f;
    RunFilter(state, filter, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Gauss5DoubleSums)->Arg(1)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Gauss3(benchmark::State& state) {
    RunFilter(state, Builtin(BuiltinKernel::kGauss3), 1);
}
BENCHMARK(BM_Gauss3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Unsharp5Global(benchmark::State& state) {
    RunFilter(state, Builtin(BuiltinKernel::kUnsharp5), 1);
}
BENCHMARK(BM_Unsharp5Global)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Box5CoefficientSum(benchmark::State& state) {
    tarkemo::LinearFilter filter = Builtin(BuiltinKernel::kBox5);
    filter.divBy = 0.0f;
    RunFilter(state, filter, 1);
}
BENCHMARK(BM_Box5CoefficientSum)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
