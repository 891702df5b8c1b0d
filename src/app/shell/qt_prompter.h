// The program's Prompter: QMessageBox and QFileDialog owned by the main window.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QPointer>
#include <QSize>
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

  private:
    QWidget* Parent() const;

    QPointer<QWidget> owner_;
    // The file dialogs open at the size and with the column widths they had when last closed
    // during this run of the program.
    QSize fileDialogSize_;
    QByteArray fileDialogState_;
};

// The texts of the file dialogs' size and date columns, in German whatever the system's locale.
QString FileSizeText(qint64 bytes);
QString FileDateText(const QDateTime& time);

// The size a file dialog opens at before the person has chosen one: room for the columns of the
// detail view, within the available screen area.
QSize FirstFileDialogSize(const QSize& available);

// The name filter QFileDialog understands for one entry: the shown text followed by the patterns
// in parentheses, which the dialog hides (e.g. "Bitmap-Dateien (*.BMP) (*.bmp)").
QString QtNameFilter(const FileFilter& filter);

}  // namespace tarkemo::app
