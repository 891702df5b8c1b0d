#include "app/shell/progress_dialog.h"

namespace tarkemo::app {

// The bar's range; the work's own units may exceed what an int holds.
constexpr int kBarSteps = 1000;

ProgressDialogDisplay::ProgressDialogDisplay(QWidget* owner, bool cancellable)
    : owner_(owner), cancellable_(cancellable) {}

ProgressDialogDisplay::~ProgressDialogDisplay() = default;

void ProgressDialogDisplay::Open() {
    dialog_ = std::make_unique<QProgressDialog>(owner_);
    dialog_->setWindowTitle("Tarkemo");
    dialog_->setLabelText("Bitte warten ...");
    dialog_->setRange(0, kBarSteps);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setWindowModality(Qt::WindowModal);
    if (cancellable_) {
        dialog_->setCancelButtonText("Abbrechen");
        QObject::connect(dialog_.get(), &QProgressDialog::canceled, [this] { cancelled_ = true; });
    } else {
        dialog_->setCancelButton(nullptr);
    }
    dialog_->setCursor(Qt::ArrowCursor);
    dialog_->show();
}

bool ProgressDialogDisplay::Update(int64_t done, int64_t total, int64_t elapsedMs) {
    if (!dialog_ && elapsedMs >= kProgressDialogDelayMs) Open();
    if (dialog_ && total > 0) {
        dialog_->setValue(static_cast<int>(std::min<int64_t>(done, total) * kBarSteps / total));
    }
    return cancelled_;
}

}  // namespace tarkemo::app
