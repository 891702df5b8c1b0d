// The forward Fft2D on square grids next to FFTW's single-precision library on the same sizes, in
// place, with plans made by FFTW_MEASURE outside the timing: the interleaved 2-D plan and the
// split-array guru plan, which takes the same two arrays Fft2D does. FFTW is linked into this
// program only. Every timed run starts from the same random input. CPU time is that of the whole
// process (all threads), which on a machine shared with other work shows the cost of a run better
// than the wall time does.
#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <omp.h>

#include <cstring>
#include <random>

#include "spectrum/fft.h"

namespace {

// Memory from fftwf_malloc, so that both sides get the same alignment.
struct FloatBuffer {
    explicit FloatBuffer(size_t count) : data(static_cast<float*>(fftwf_malloc(count * sizeof(float)))) {}
    ~FloatBuffer() { fftwf_free(data); }
    FloatBuffer(const FloatBuffer&) = delete;
    FloatBuffer& operator=(const FloatBuffer&) = delete;
    float* data;
};

void FillRandom(float* data, size_t count) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> uniform(0.0f, 255.0f);
    for (size_t i = 0; i < count; ++i) data[i] = uniform(random);
}

// Restores `buffer` from `input` between timed runs, as the transforms change their scale.
void Restore(benchmark::State& state, float* buffer, const float* input, size_t count) {
    state.PauseTiming();
    std::memcpy(buffer, input, count * sizeof(float));
    state.ResumeTiming();
}

void BM_Fft2D(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    omp_set_num_threads(static_cast<int>(state.range(1)));
    const size_t n = size_t(side) * side;
    FloatBuffer input(2 * n), data(2 * n);
    FillRandom(input.data, 2 * n);
    float* re = data.data;
    float* im = data.data + n;
    for (auto _ : state) {
        Restore(state, data.data, input.data, 2 * n);
        if (!tarkemo::Fft2D(re, im, side, side, +1)) state.SkipWithError("Fft2D failed");
        benchmark::ClobberMemory();
    }
    state.counters["threads"] = static_cast<double>(state.range(1));
}
BENCHMARK(BM_Fft2D)
    ->Args({1024, 1})
    ->Args({2048, 1})
    ->Args({4096, 1})
    ->Args({4096, 2})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Interleaved complex array, fftwf_plan_dft_2d.
void BM_FftwInterleaved(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    fftwf_plan_with_nthreads(static_cast<int>(state.range(1)));
    const size_t n = size_t(side) * side;
    FloatBuffer input(2 * n), data(2 * n);
    auto* c = reinterpret_cast<fftwf_complex*>(data.data);
    fftwf_plan plan = fftwf_plan_dft_2d(side, side, c, c, FFTW_FORWARD, FFTW_MEASURE);
    FillRandom(input.data, 2 * n);
    for (auto _ : state) {
        Restore(state, data.data, input.data, 2 * n);
        fftwf_execute(plan);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    state.counters["threads"] = static_cast<double>(state.range(1));
}
BENCHMARK(BM_FftwInterleaved)
    ->Args({1024, 1})
    ->Args({2048, 1})
    ->Args({4096, 1})
    ->Args({4096, 2})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Split real and imaginary arrays, fftwf_plan_guru_split_dft (always forward).
void BM_FftwSplit(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    fftwf_plan_with_nthreads(static_cast<int>(state.range(1)));
    const size_t n = size_t(side) * side;
    FloatBuffer input(2 * n), data(2 * n);
    float* re = data.data;
    float* im = data.data + n;
    const fftwf_iodim dims[2] = {{side, side, side}, {side, 1, 1}};
    fftwf_plan plan = fftwf_plan_guru_split_dft(2, dims, 0, nullptr, re, im, re, im, FFTW_MEASURE);
    FillRandom(input.data, 2 * n);
    for (auto _ : state) {
        Restore(state, data.data, input.data, 2 * n);
        fftwf_execute(plan);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    state.counters["threads"] = static_cast<double>(state.range(1));
}
BENCHMARK(BM_FftwSplit)
    ->Args({1024, 1})
    ->Args({2048, 1})
    ->Args({4096, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The centring permutation on a 2048 × 2048 spectrum, one thread.
void BM_ShiftSpectrum(benchmark::State& state) {
    const int side = 2048;
    omp_set_num_threads(1);
    const size_t n = size_t(side) * side;
    FloatBuffer data(3 * n);
    FillRandom(data.data, 3 * n);
    for (auto _ : state) {
        tarkemo::ShiftSpectrum(data.data, data.data + n, data.data + 2 * n, side, side, +1);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ShiftSpectrum)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    fftwf_init_threads();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fftwf_cleanup_threads();
    return 0;
}
