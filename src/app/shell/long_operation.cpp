#include "app/shell/long_operation.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <memory>
#include <new>
#include <thread>

#include "app/shell/main_window.h"
#include "app/view/image_view.h"

namespace tarkemo::app {
namespace {

bool running = false;

// Interval at which the user-interface thread looks at the progress.
constexpr int kPollMs = 40;

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

// Swallows all input except that of the progress dialog, and turns closing the main window into a
// request to stop.
class InputBlocker : public QObject {
  public:
    InputBlocker(QWidget& window, Progress& progress) : window_(window), progress_(progress) {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

    void Allow(QWidget* widget) { allowed_ = widget; }
    bool CloseRequested() const { return closeRequested_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched == &window_) {
            closeRequested_ = true;
            progress_.Cancel();
            event->ignore();
            return true;
        }
        return IsInput(event->type()) && !Allowed(watched);
    }

  private:
    bool Allowed(QObject* watched) const {
        if (allowed_ == nullptr) return false;
        if (auto* widget = qobject_cast<QWidget*>(watched))
            return widget == allowed_ || allowed_->isAncestorOf(widget);
        return watched == allowed_->windowHandle();
    }

    QWidget& window_;
    Progress& progress_;
    QWidget* allowed_ = nullptr;
    bool closeRequested_ = false;
};

// The wait cursor on the main window and its picture only; the view has a cursor of its own.
// The picture keeps what it shows: the worker may be writing the bitmap it would paint from.
class FrozenWindow {
  public:
    explicit FrozenWindow(MainWindow& window)
        : window_(window), windowCursor_(window.cursor()), viewCursor_(window.View().cursor()) {
        window_.setCursor(Qt::WaitCursor);
        window_.View().setCursor(Qt::WaitCursor);
        window_.View().setUpdatesEnabled(false);
    }
    ~FrozenWindow() {
        window_.View().setUpdatesEnabled(true);
        window_.View().setCursor(viewCursor_);
        window_.setCursor(windowCursor_);
    }
    FrozenWindow(const FrozenWindow&) = delete;
    FrozenWindow& operator=(const FrozenWindow&) = delete;

  private:
    MainWindow& window_;
    QCursor windowCursor_;
    QCursor viewCursor_;
};

bool RunGuarded(const LongWork& work, Progress& progress) {
    try {
        return work(&progress);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

bool LongOperationRunning() {
    return running;
}

LongEnd RunLongOperation(MainWindow& window, const LongWork& work, bool cancellable) {
    Progress progress;
    running = true;
    std::unique_ptr<ProgressDisplay> display = window.Prompt().OpenProgress(cancellable);
    InputBlocker blocker(window, progress);
    FrozenWindow frozen(window);
    QElapsedTimer clock;
    clock.start();
    const auto poll = [&] {
        if (display && display->Update(progress.Done(), progress.Total(), clock.elapsed()) && cancellable)
            progress.Cancel();
        if (display) blocker.Allow(display->InputWindow());
    };
    poll();

    QEventLoop loop;
    std::atomic<bool> finished{false};
    bool result = false;
    std::thread worker([&] {
        result = RunGuarded(work, progress);
        finished.store(true);
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    QTimer timer;
    timer.setInterval(kPollMs);
    QObject::connect(&timer, &QTimer::timeout, poll);
    timer.start();
    if (!finished.load()) loop.exec();
    worker.join();
    timer.stop();
    display.reset();
    running = false;

    if (blocker.CloseRequested()) {
        QMetaObject::invokeMethod(
            &window, [&window] { window.close(); }, Qt::QueuedConnection);
    }
    if (result) return LongEnd::kDone;
    return progress.Cancelled() ? LongEnd::kCancelled : LongEnd::kFailed;
}

}  // namespace tarkemo::app
