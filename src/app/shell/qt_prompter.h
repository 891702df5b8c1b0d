// The program's Prompter: QMessageBox and QFileDialog owned by the main window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/shell/prompter.h"

namespace tarkemo::app {

class QtPrompter : public Prompter {
  public:
    // `owner` is the parent of every box and dialog; it may be set later with SetOwner.
    explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    Answer Message(const MessageRequest& request) override;
    std::optional<QString> ChooseFile(const FileRequest& request) override;
    int RunDialog(QDialog& dialog) override;
    std::unique_ptr<ProgressDisplay> OpenProgress(bool cancellable) override;

  private:
    QPointer<QWidget> owner_;
};

// The name filter QFileDialog understands for one entry: the shown text followed by the patterns
// in parentheses, which the dialog hides (e.g. "Bitmap-Dateien (*.BMP) (*.bmp)").
QString QtNameFilter(const FileFilter& filter);

}  // namespace tarkemo::app
