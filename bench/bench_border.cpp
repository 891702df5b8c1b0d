// Border extension of a 4096 x 4096 image by a 64-pixel margin on every side, for each fill rule,
// next to the cost of one plain copy of the output as the yardstick.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "generator/particle_image.h"
#include "ops/border_extension.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr int32_t kMargin = 64;
constexpr int32_t kOutSide = kSide + 2 * kMargin;

const tarkemo::GrayBitmap& Input() {
    static const tarkemo::GrayBitmap image = tarkemo::testimages::MakeNoiseImage(kSide, kSide, 7);
    return image;
}

void BM_CopyOfOutput(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(kOutSide) * kOutSide;
    std::vector<uint8_t> source(bytes, 17);
    for (auto _ : state) {
        // A fresh destination each time, like ExtendBorder's new bitmap.
        std::vector<uint8_t> destination(bytes);
        std::memcpy(destination.data(), source.data(), bytes);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_CopyOfOutput)->Unit(benchmark::kMillisecond);

void BM_ExtendBorder(benchmark::State& state) {
    const auto rule = static_cast<int32_t>(state.range(0));
    const tarkemo::GrayBitmap& input = Input();
    for (auto _ : state) {
        auto output = tarkemo::ExtendBorder(input, kOutSide, kOutSide, kMargin, kMargin, rule);
        benchmark::DoNotOptimize(output->pixels.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kOutSide * kOutSide);
}
BENCHMARK(BM_ExtendBorder)
    ->ArgName("fillRule")
    ->Arg(tarkemo::kFlipInc)
    ->Arg(tarkemo::kFlipExc)
    ->Arg(tarkemo::kPeriodic)
    ->Arg(tarkemo::kLocalMean)
    ->Arg(0)
    ->Arg(tarkemo::kMeanGray)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
