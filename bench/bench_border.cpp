// Border extension of a 4096 x 4096 image by a 64-pixel margin on every side, for each fill rule,
// next to the cost of one plain copy of the output as the yardstick.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
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

constexpr size_t kOutBytes = static_cast<size_t>(kOutSide) * kOutSide;

// The yardstick: one memcpy of the output's size into a buffer that is already mapped.
void BM_CopyOfOutput(benchmark::State& state) {
    std::vector<uint8_t> source(kOutBytes, 17);
    std::vector<uint8_t> destination(kOutBytes, 0);
    for (auto _ : state) {
        std::memcpy(destination.data(), source.data(), kOutBytes);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutBytes));
}
BENCHMARK(BM_CopyOfOutput)->Unit(benchmark::kMillisecond);

// The same copy into a freshly allocated buffer, as ExtendBorder writes into a new bitmap.
void BM_CopyIntoNewBuffer(benchmark::State& state) {
    std::vector<uint8_t> source(kOutBytes, 17);
    for (auto _ : state) {
        auto destination = std::make_unique_for_overwrite<uint8_t[]>(kOutBytes);
        std::memcpy(destination.get(), source.data(), kOutBytes);
        benchmark::DoNotOptimize(destination.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kOutBytes));
}
BENCHMARK(BM_CopyIntoNewBuffer)->Unit(benchmark::kMillisecond);

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
