// Speed of the image operations on generator images: geometry, bit and point operations, two-image
// operations and the local operations, each beside one plain copy of the same image.
// Run with OMP_NUM_THREADS=1 for single-thread numbers; bench/compare_ops.sh times the references.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <utility>

#include "generator/particle_image.h"
#include "ops/bit_ops.h"
#include "ops/combine.h"
#include "ops/geometry.h"
#include "ops/local_ops.h"
#include "ops/normalize.h"
#include "ops/shift_origin.h"

namespace {

using tarkemo::GrayBitmap;

// The image of tarkemo-gen OUT.bmp SIDE SIDE SPOTS: the reference script reads the same pixels.
const GrayBitmap& Image(int32_t side) {
    static std::map<int32_t, GrayBitmap> images;
    auto found = images.find(side);
    if (found == images.end()) {
        tarkemo::testimages::ParticleImageSpec spec;
        spec.width = side;
        spec.height = side;
        spec.spotCount = side * side / 800;
        found = images.emplace(side, tarkemo::testimages::MakeParticleImage(spec)).first;
    }
    return found->second;
}

void SetBytes(benchmark::State& state, const GrayBitmap& image) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(image.ByteCount()));
}

// One copy of the image: a new bitmap holding the same pixels.
void BM_CopyImage(benchmark::State& state) {
    const GrayBitmap& image = Image(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        GrayBitmap copy = image;
        benchmark::DoNotOptimize(copy.pixels.data());
    }
    SetBytes(state, image);
}
BENCHMARK(BM_CopyImage)->Arg(4096)->Arg(8192)->Unit(benchmark::kMillisecond);

// The copy of the pixel bytes alone, into a buffer that already exists.
void BM_CopyPixels(benchmark::State& state) {
    const GrayBitmap& image = Image(static_cast<int32_t>(state.range(0)));
    GrayBitmap target = image;
    for (auto _ : state) {
        std::memcpy(target.pixels.data(), image.pixels.data(), image.ByteCount());
        benchmark::ClobberMemory();
    }
    SetBytes(state, image);
}
BENCHMARK(BM_CopyPixels)->Arg(4096)->Arg(8192)->Unit(benchmark::kMillisecond);

template <void (*Mirror)(GrayBitmap&)>
void BM_InPlaceGeometry(benchmark::State& state) {
    GrayBitmap image = Image(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        Mirror(image);
        benchmark::ClobberMemory();
    }
    SetBytes(state, image);
}
BENCHMARK(BM_InPlaceGeometry<tarkemo::MirrorLeftRight>)
    ->Name("BM_MirrorLeftRight")
    ->Arg(8192)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InPlaceGeometry<tarkemo::MirrorTopBottom>)
    ->Name("BM_MirrorTopBottom")
    ->Arg(8192)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InPlaceGeometry<tarkemo::Rotate180>)
    ->Name("BM_Rotate180")
    ->Arg(8192)
    ->Unit(benchmark::kMillisecond);

template <std::optional<GrayBitmap> (*Turn)(const GrayBitmap&)>
void BM_QuarterTurn(benchmark::State& state) {
    const GrayBitmap& image = Image(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        auto turned = Turn(image);
        benchmark::DoNotOptimize(turned->pixels.data());
    }
    SetBytes(state, image);
}
BENCHMARK(BM_QuarterTurn<tarkemo::RotatedLeft>)
    ->Name("BM_RotateLeft")
    ->Arg(8192)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuarterTurn<tarkemo::RotatedRight>)
    ->Name("BM_RotateRight")
    ->Arg(8192)
    ->Unit(benchmark::kMillisecond);

void BM_ShiftOrigin(benchmark::State& state) {
    GrayBitmap image = Image(4096);
    for (auto _ : state) {
        tarkemo::ShiftOrigin(image, 1234, 567);
        benchmark::ClobberMemory();
    }
    SetBytes(state, image);
}
BENCHMARK(BM_ShiftOrigin)->Unit(benchmark::kMillisecond);

void BM_BitOperation(benchmark::State& state) {
    GrayBitmap image = Image(4096);
    const auto id = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        tarkemo::ApplyBitOperation(image, id, 0x5A);
        benchmark::ClobberMemory();
    }
    SetBytes(state, image);
}
BENCHMARK(BM_BitOperation)
    ->ArgName("id")
    ->Arg(tarkemo::kBitNot)
    ->Arg(tarkemo::kBitAnd)
    ->Arg(tarkemo::kBitOr)
    ->Arg(tarkemo::kBitXor)
    ->Arg(tarkemo::kBitRotateLeft)
    ->Arg(tarkemo::kBitRotateRight)
    ->Arg(tarkemo::kBitShiftLeft)
    ->Arg(tarkemo::kBitShiftRight)
    ->Arg(tarkemo::kBitReverse)
    ->Unit(benchmark::kMillisecond);

void BM_NormalizeRange(benchmark::State& state) {
    const GrayBitmap& original = Image(4096);
    GrayBitmap image = original;
    for (auto _ : state) {
        // The generator image spans 10 ... 250, so every run stretches the same range anew.
        state.PauseTiming();
        std::memcpy(image.pixels.data(), original.pixels.data(), image.ByteCount());
        state.ResumeTiming();
        tarkemo::NormalizeRange(image);
        benchmark::ClobberMemory();
    }
    SetBytes(state, image);
}
BENCHMARK(BM_NormalizeRange)->Unit(benchmark::kMillisecond);

void BM_Combine(benchmark::State& state) {
    GrayBitmap image = Image(4096);
    GrayBitmap other = image;
    tarkemo::MirrorLeftRight(other);
    const auto op = static_cast<tarkemo::CombineOp>(state.range(0));
    for (auto _ : state) {
        tarkemo::CombineWithOther(image, other, op);
        benchmark::ClobberMemory();
    }
    SetBytes(state, image);
}
BENCHMARK(BM_Combine)->ArgName("op")->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// The local operations change the image, so each run starts again from the generator image.
template <typename Operation>
void RunLocal(benchmark::State& state, Operation operation) {
    const GrayBitmap& original = Image(4096);
    GrayBitmap image = original;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(image.pixels.data(), original.pixels.data(), image.ByteCount());
        state.ResumeTiming();
        if (!operation(image)) state.SkipWithError("operation failed");
        benchmark::ClobberMemory();
    }
    SetBytes(state, image);
}

// Arguments: window side and rank (0 = the median).
void BM_RankFilter(benchmark::State& state) {
    const auto side = static_cast<int32_t>(state.range(0));
    const int32_t rank = state.range(1) == 0 ? side * side / 2 + 1 : static_cast<int32_t>(state.range(1));
    RunLocal(state, [&](GrayBitmap& image) { return tarkemo::RankFilter(image, side, side, rank); });
}
BENCHMARK(BM_RankFilter)
    ->ArgNames({"side", "rank"})
    ->Args({3, 0})
    ->Args({3, 1})
    ->Args({3, 2})
    ->Args({3, 9})
    ->Args({5, 0})
    ->Args({5, 1})
    ->Args({5, 7})
    ->Args({5, 20})
    ->Args({15, 0})
    ->Args({15, 1})
    ->Args({15, 50})
    ->Args({15, 200})
    ->Args({15, 225})
    ->Unit(benchmark::kMillisecond);

void BM_LocalNormalize(benchmark::State& state) {
    const auto side = static_cast<int32_t>(state.range(0));
    RunLocal(state, [&](GrayBitmap& image) { return tarkemo::LocalNormalize(image, side, side, 30, 20); });
}
BENCHMARK(BM_LocalNormalize)->ArgName("side")->Arg(15)->Unit(benchmark::kMillisecond);

void BM_GradientFilter(benchmark::State& state) {
    RunLocal(state, [](GrayBitmap& image) { return tarkemo::GradientFilter(image); });
}
BENCHMARK(BM_GradientFilter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
