// Reading and writing a 4096 x 4096 BMP file, measured against one plain copy of the same number
// of bytes: a single read() into a new buffer and a single write() of a buffer. The codec should
// stay within 1.5x of the plain read and 2x of the plain write.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "generator/particle_image.h"
#include "image/bmp_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kSide = 4096;

// The image, its file and a folder for the writes, made once for all benchmarks.
struct BenchFiles {
    fs::path folder;
    std::string source;
    tarkemo::GrayBitmap bitmap;
    size_t fileSize = 0;

    BenchFiles() {
        std::string pattern = (fs::temp_directory_path() / "tarkemo-bench-bmp-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        source = (folder / "source.bmp").string();
        tarkemo::testimages::ParticleImageSpec spec;
        spec.width = kSide;
        spec.height = kSide;
        spec.spotCount = 10000;
        bitmap = tarkemo::testimages::MakeParticleImage(spec);
        if (!tarkemo::WriteBmpFile(bitmap, source)) {
            std::fprintf(stderr, "cannot write %s\n", source.c_str());
            std::exit(1);
        }
        fileSize = fs::file_size(source);
    }
    ~BenchFiles() { fs::remove_all(folder); }
};

BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

void BM_ReadBmpFile(benchmark::State& state) {
    BenchFiles& files = Files();
    for (auto _ : state) {
        auto loaded = tarkemo::ReadBmpFile(files.source);
        if (!loaded) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(loaded);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.fileSize));
}

// The baseline a reader cannot beat: open, one read() of the whole file into a new buffer, close.
void BM_PlainRead(benchmark::State& state) {
    BenchFiles& files = Files();
    for (auto _ : state) {
        auto buffer = std::make_unique_for_overwrite<uint8_t[]>(files.fileSize);
        const int fd = open(files.source.c_str(), O_RDONLY);
        const ssize_t got = read(fd, buffer.get(), files.fileSize);
        close(fd);
        if (got != static_cast<ssize_t>(files.fileSize)) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.fileSize));
}

void BM_WriteBmpFile(benchmark::State& state) {
    BenchFiles& files = Files();
    const std::string target = (files.folder / "written.bmp").string();
    for (auto _ : state) {
        if (!tarkemo::WriteBmpFile(files.bitmap, target)) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.fileSize));
}

// The baseline a writer cannot beat: replace the file's content with one write() of a ready buffer.
void BM_PlainWrite(benchmark::State& state) {
    BenchFiles& files = Files();
    const std::string target = (files.folder / "plain.bmp").string();
    const auto buffer = std::make_unique<uint8_t[]>(files.fileSize);
    for (auto _ : state) {
        const int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const ssize_t put = write(fd, buffer.get(), files.fileSize);
        close(fd);
        if (put != static_cast<ssize_t>(files.fileSize)) state.SkipWithError("short write");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * files.fileSize));
}

// The machine is shared; with --benchmark_repetitions the fastest run is the fairest comparison.
double Fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ReadBmpFile)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);
BENCHMARK(BM_WriteBmpFile)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", Fastest);

}  // namespace

BENCHMARK_MAIN();
