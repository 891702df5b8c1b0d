// Opening a menu of the main window while a 64 MB image of another program is on the clipboard.
// BM_OpenMenu is what every menu opening costs: the state update of "Punkt-Operationen", which
// answers from the clipboard answer kept since the last change. BM_AskClipboard is one fresh
// answer with the image's size, the cost paid once per clipboard change.
// Offscreen the image is this process's own (a 24-bit BMP of 64 MB offered as "image/bmp"). Under X
// (QT_QPA_PLATFORM=xcb) another program can hold it, so that each answer crosses the X server:
//   xclip -selection clipboard -t image/bmp -i big.bmp
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <cstdlib>
#include <memory>

#include "app/shell/clipboard_adapter.h"
#include "app/shell/clipboard_watch.h"
#include "app/shell/main_window.h"
#include "app/shell/qt_prompter.h"

namespace {

// A 24-bit BMP file of 4736 x 4736 pixels (about 64 MB), offered as another program would.
void PutLargeForeignImage() {
    constexpr int kSide = 4736;
    const int stride = kSide * 3;
    QByteArray file(54 + stride * kSide, '\x55');
    auto put32 = [&file](int at, uint32_t value) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(6, 0);
    put32(10, 54);
    put32(14, 40);
    put32(18, kSide);
    put32(22, kSide);
    put32(26, 1 | (24 << 16));
    for (int at = 30; at < 54; at += 4) put32(at, 0);
    auto* data = new QMimeData;
    data->setData(tarkemo::app::kBmpMimeType, file);
    QGuiApplication::clipboard()->setMimeData(data);
}

QMenu* PointOperationsMenu(tarkemo::app::MainWindow& window) {
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
        if (menu->title() == "&Punkt-Operationen") return menu;
    }
    return nullptr;
}

// A window with an image, since only then the clipboard's size is asked for.
std::unique_ptr<tarkemo::app::MainWindow> WindowWithImage() {
    auto window = std::make_unique<tarkemo::app::MainWindow>(std::make_unique<tarkemo::app::QtPrompter>());
    tarkemo::app::ClipboardInfo info = tarkemo::app::ClipboardImageInfo(false);
    if (!info.hasImage) PutLargeForeignImage();
    window->Document().bitmap = tarkemo::CreateGrayBitmap(64, 64);
    window->RecomputeCommandStates();
    return window;
}

void BM_OpenMenu(benchmark::State& state) {
    const auto window = WindowWithImage();
    QMenu* menu = PointOperationsMenu(*window);
    if (menu == nullptr) {
        state.SkipWithError("no menu Punkt-Operationen");
        return;
    }
    const int reads = window->Clipboard().Reads();
    for (auto _ : state) emit menu->aboutToShow();
    if (window->Clipboard().Reads() != reads) state.SkipWithError("the clipboard was asked again");
    window->Document().bitmap.reset();
}
BENCHMARK(BM_OpenMenu)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AskClipboard(benchmark::State& state) {
    const auto window = WindowWithImage();
    for (auto _ : state) benchmark::DoNotOptimize(tarkemo::app::ClipboardImageInfo(true));
    window->Document().bitmap.reset();
}
BENCHMARK(BM_AskClipboard)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
