// The progress dialog of a long operation: nothing for the first half second, so quick operations
// show no flicker, then a small window-modal dialog with a bar and, when the operation can stop,
// "Abbrechen". It keeps the arrow cursor while the main window shows the wait cursor.
#pragma once

#include <QPointer>
#include <QProgressDialog>
#include <memory>

#include "app/shell/prompter.h"

namespace tarkemo::app {

// Time after which the dialog appears.
inline constexpr int64_t kProgressDialogDelayMs = 500;

class ProgressDialogDisplay : public ProgressDisplay {
  public:
    ProgressDialogDisplay(QWidget* owner, bool cancellable);
    ~ProgressDialogDisplay() override;

    bool Update(int64_t done, int64_t total, int64_t elapsedMs) override;
    QWidget* InputWindow() override { return dialog_.get(); }

  private:
    void Open();

    QPointer<QWidget> owner_;
    bool cancellable_;
    bool cancelled_ = false;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace tarkemo::app
