// Image operations from the command to the repainted window, through the main window, one thread,
// on an 8192 x 8192 image: a bit operation and a mirror against one plain copy of the image (the
// undo snapshot is such a copy); and what the progress machinery (the per-block questions of the
// engine, the worker thread and the polling of the user-interface thread) adds to a 15 x 15 median.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "app/shell/long_operation.h"
#include "app/shell/main_window.h"
#include "app/shell/qt_prompter.h"
#include "app/view/image_view.h"
#include "generator/particle_image.h"
#include "ops/bit_ops.h"
#include "ops/geometry.h"
#include "ops/local_ops.h"

namespace {

using tarkemo::GrayBitmap;

constexpr int32_t kSide = 8192;

GrayBitmap MakeImage(int32_t side) {
    tarkemo::testimages::ParticleImageSpec spec;
    spec.width = side;
    spec.height = side;
    spec.spotCount = side * 2;
    return tarkemo::testimages::MakeParticleImage(spec);
}

// A shown 1920 x 1080 main window holding the 8192 x 8192 image.
struct Desktop {
    Desktop() : window(std::make_unique<tarkemo::app::QtPrompter>()) {
        window.resize(1920, 1080);
        window.show();
        tarkemo::AdoptLoadedBitmap(window.Document(), tarkemo::LoadedBitmap{MakeImage(kSide), true});
        window.ShowNewDocument();
    }
    ~Desktop() { window.Document().modified = false; }

    // The command, then the window's repaint of the changed picture, as the window system gets it.
    void RunAndRepaint(int id) {
        window.Dispatch(id);
        window.View().repaint();
    }

    tarkemo::app::MainWindow window;
};

Desktop& TheDesktop() {
    static Desktop desktop;
    return desktop;
}

void BM_CopyOfTheImage(benchmark::State& state) {
    const GrayBitmap& image = *TheDesktop().window.Document().Bitmap();
    std::vector<uint8_t> copy(image.ByteCount());
    for (auto _ : state) {
        std::memcpy(copy.data(), image.pixels.data(), image.ByteCount());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyOfTheImage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// The engine's share of the two commands, for comparison.
void BM_NotEngineOnly(benchmark::State& state) {
    GrayBitmap& image = *TheDesktop().window.Document().Bitmap();
    for (auto _ : state) tarkemo::ApplyBitOperation(image, tarkemo::kBitNot, 0);
}
BENCHMARK(BM_NotEngineOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_MirrorEngineOnly(benchmark::State& state) {
    GrayBitmap& image = *TheDesktop().window.Document().Bitmap();
    for (auto _ : state) tarkemo::MirrorLeftRight(image);
}
BENCHMARK(BM_MirrorEngineOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// The runner alone: worker thread, modal event loop and the frozen view, with no work.
void BM_EmptyLongOperation(benchmark::State& state) {
    Desktop& desktop = TheDesktop();
    for (auto _ : state)
        tarkemo::app::RunLongOperation(desktop.window, [](tarkemo::Progress*) { return true; });
}
BENCHMARK(BM_EmptyLongOperation)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_RepaintOnly(benchmark::State& state) {
    Desktop& desktop = TheDesktop();
    for (auto _ : state) desktop.window.View().repaint();
}
BENCHMARK(BM_RepaintOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_NotCommandAndRepaint(benchmark::State& state) {
    Desktop& desktop = TheDesktop();
    desktop.RunAndRepaint(40018);  // the first run allocates the undo snapshot
    for (auto _ : state) desktop.RunAndRepaint(40018);
}
BENCHMARK(BM_NotCommandAndRepaint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_MirrorCommandAndRepaint(benchmark::State& state) {
    Desktop& desktop = TheDesktop();
    for (auto _ : state) desktop.RunAndRepaint(40035);
}
BENCHMARK(BM_MirrorCommandAndRepaint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// The 15 x 15 median of a 1024 x 1024 and an 8192 x 8192 image: without a Progress, with one, and
// with one through the worker thread of the desktop program (which adds a fixed few milliseconds:
// the thread, and the repaint of the window once the picture may change again).
enum class Mode { kNone, kProgress, kWorker };

void BM_Median15(benchmark::State& state) {
    const auto mode = static_cast<Mode>(state.range(0));
    const auto side = static_cast<int32_t>(state.range(1));
    static std::map<int32_t, GrayBitmap> inputs;
    if (!inputs.contains(side)) inputs.emplace(side, MakeImage(side));
    const GrayBitmap& input = inputs.at(side);
    GrayBitmap image = input;
    tarkemo::app::MainWindow& window = TheDesktop().window;  // made before the timing starts
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(image.pixels.data(), input.pixels.data(), input.ByteCount());
        state.ResumeTiming();
        if (mode == Mode::kNone) {
            tarkemo::RankFilter(image, 15, 15, 113);
        } else if (mode == Mode::kProgress) {
            tarkemo::Progress progress;
            tarkemo::RankFilter(image, 15, 15, 113, &progress);
        } else {
            tarkemo::app::RunLongOperation(window, [&](tarkemo::Progress* progress) {
                return tarkemo::RankFilter(image, 15, 15, 113, progress);
            });
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(BM_Median15)
    ->ArgsProduct({{static_cast<int>(Mode::kNone), static_cast<int>(Mode::kProgress),
                    static_cast<int>(Mode::kWorker)},
                   {1024, kSide}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    omp_set_num_threads(1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
