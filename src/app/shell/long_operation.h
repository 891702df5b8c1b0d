// Runs the pixel work of a command on a worker thread while the main window stays modal: no other
// command can start and the document cannot change underneath, yet the window keeps repainting
// (showing the picture as it was) and, after about half a second, a progress dialog offers
// "Abbrechen". The main window alone shows the wait cursor. Closing the window meanwhile cancels
// the operation first; the window closes as usual once it has stopped.
#pragma once

#include <functional>

#include "image/progress.h"

namespace tarkemo::app {

class MainWindow;

// The work: it runs on the worker thread, touches nothing of the window, reports through the
// Progress and stops when told to. True when it did its job.
using LongWork = std::function<bool(Progress* progress)>;

enum class LongEnd {
    kDone,       // the work returned true
    kFailed,     // the work returned false without being asked to stop
    kCancelled,  // the person cancelled (or closed the window) and the work stopped
};

// Runs `work` and waits for it, keeping the window responsive. `cancellable` false shows no
// "Abbrechen" (for work that cannot stop).
LongEnd RunLongOperation(MainWindow& window, const LongWork& work, bool cancellable = true);

// True while a long operation runs.
bool LongOperationRunning();

}  // namespace tarkemo::app
