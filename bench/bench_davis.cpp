// DaVis import speed: a 4096 x 4096 packed IMX file made by encoding a generator image, read,
// decoded and converted to 8 bits. Three kinds of content: a quiet camera background (mostly nibble
// runs, like real files), the generator's usual noise (mostly byte differences) and, as a stress
// case, that image times 16 so that more than half of the samples are absolute words.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "generator/davis_encoder.h"
#include "generator/particle_image.h"
#include "image/davis_convert.h"
#include "image/davis_import.h"

namespace {

using namespace tarkemo;

constexpr int32_t kSide = 4096;

struct Content {
    int32_t backgroundMax;
    int32_t scale;
};

const Content kContents[] = {{13, 1}, {40, 1}, {40, 16}};
const char* const kNames[] = {"quiet", "noisy", "word-heavy"};

const std::vector<uint8_t>& PackedFile(int kind) {
    static std::map<int, std::vector<uint8_t>> files;
    auto& file = files[kind];
    if (file.empty()) {
        testimages::ParticleImageSpec spec;
        spec.width = kSide;
        spec.height = kSide;
        spec.spotCount = 12800;
        spec.backgroundMax = kContents[kind].backgroundMax;
        const GrayBitmap image = testimages::MakeParticleImage(spec);
        const auto samples = testimages::DavisSamplesFromBitmap(image, kContents[kind].scale);
        file = testimages::MakeDavisPackedFile(samples, kSide, kSide);
    }
    return file;
}

std::string WriteTemporary(const std::vector<uint8_t>& bytes, int kind) {
    const std::string path =
        "/tmp/bench_davis_" + std::to_string(getpid()) + "_" + std::to_string(kind) + ".imx";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The whole import as the program runs it: read the file, decode, convert, release the samples.
void BM_ImportPackedFile(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto& file = PackedFile(kind);
    const std::string path = WriteTemporary(file, kind);
    for (auto _ : state) {
        DavisError error = DavisError::kNone;
        auto bitmap = ImportDavisFile(path, error);
        if (!bitmap) state.SkipWithError("import failed");
        benchmark::DoNotOptimize(bitmap);
    }
    std::remove(path.c_str());
    state.SetLabel(std::string(kNames[kind]) + ", " + std::to_string(file.size() >> 10) + " KiB");
    state.SetItemsProcessed(state.iterations() * int64_t{kSide} * kSide);
}
BENCHMARK(BM_ImportPackedFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_DecodePacked(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto& file = PackedFile(kind);
    for (auto _ : state) {
        DavisError error = DavisError::kNone;
        auto image = DecodeDavis(file, error);
        if (!image) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image);
    }
    state.SetLabel(kNames[kind]);
    state.SetItemsProcessed(state.iterations() * int64_t{kSide} * kSide);
}
BENCHMARK(BM_DecodePacked)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_ConvertWords(benchmark::State& state) {
    DavisError error = DavisError::kNone;
    const auto image = DecodeDavis(PackedFile(0), error);
    for (auto _ : state) {
        auto bitmap = ConvertDavisToBitmap(*image);
        benchmark::DoNotOptimize(bitmap);
    }
    state.SetItemsProcessed(state.iterations() * int64_t{kSide} * kSide);
}
BENCHMARK(BM_ConvertWords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
