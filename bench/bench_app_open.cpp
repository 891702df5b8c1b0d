// Opening an 8192 x 8192 BMP file and showing it, end to end through the main window: the file
// read, the document set-up and view reset of the open command, and the first paint of a
// 1920 x 1080 window into an offscreen picture.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/shell/main_window.h"
#include "app/shell/qt_prompter.h"
#include "app/view/image_view.h"
#include "generator/particle_image.h"
#include "image/bmp_file.h"

namespace {

constexpr int32_t kSide = 8192;

const std::string& ImageFile() {
    static const std::string path = [] {
        const std::string file = QDir::temp().filePath("tarkemo_bench_open_8192.bmp").toStdString();
        tarkemo::testimages::ParticleImageSpec spec;
        spec.width = kSide;
        spec.height = kSide;
        spec.spotCount = 20000;
        if (!tarkemo::WriteBmpFile(tarkemo::testimages::MakeParticleImage(spec), file)) std::abort();
        return file;
    }();
    return path;
}

void BM_OpenAndShow(benchmark::State& state) {
    const QString path = QString::fromStdString(ImageFile());
    tarkemo::app::MainWindow window(std::make_unique<tarkemo::app::QtPrompter>());
    window.resize(1920, 1080);
    window.show();
    QImage target(window.View().size(), QImage::Format_RGB32);
    for (auto _ : state) {
        window.Dispatch(40167, path);
        if (!window.Document().HasDocument()) {
            state.SkipWithError("the image could not be opened");
            break;
        }
        window.View().render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    window.Document().modified = false;
}
BENCHMARK(BM_OpenAndShow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(ImageFile().c_str());
    return 0;
}
