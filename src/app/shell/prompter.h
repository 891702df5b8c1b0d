// Every interaction with the person during a command goes through this one narrow interface:
// message boxes and questions, the file choosers and modal dialogs. The program uses QtPrompter;
// tests use a scripted implementation that answers from a queue and records what was asked.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace tarkemo::app {

enum class MessageIcon { kNone, kInformation, kQuestion, kExclamation, kError };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class Answer { kOk, kCancel, kYes, kNo };

struct MessageRequest {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::kNone;
    MessageButtons buttons = MessageButtons::kOk;
    Answer defaultButton = Answer::kOk;
};

// One entry of a file dialog's type list, e.g. {"Bitmap-Dateien (*.BMP)", "*.bmp"}; several
// patterns are separated by ";" ("*.imx; *.img"). Patterns match regardless of case.
struct FileFilter {
    QString text;
    QString patterns;
};

struct FileRequest {
    enum class Mode { kOpen, kSave };
    Mode mode = Mode::kOpen;
    QString caption;  // empty: the dialog's standard caption
    std::vector<FileFilter> filters;
    QString proposedName;           // the name the dialog starts with (may be empty)
    QString defaultSuffix = "bmp";  // appended to a typed name without extension
    bool confirmOverwrite = true;   // save dialogs only
};

// What the person sees of a long operation: after a moment a small dialog with its progress and,
// for operations that can stop, "Abbrechen".
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    // Called on the user-interface thread when the work starts and then every few tens of
    // milliseconds until it ends. True once the person asked to cancel.
    virtual bool Update(int64_t done, int64_t total, int64_t elapsedMs) = 0;
    // The window that keeps receiving input while the operation blocks all others; nullptr for none.
    virtual QWidget* InputWindow() { return nullptr; }
};

class Prompter {
  public:
    virtual ~Prompter() = default;
    // Shows a modal message box and returns the button chosen (closing the box counts as the
    // Cancel or No button, whichever it has; as Ok for a box with Ok alone).
    virtual Answer Message(const MessageRequest& request) = 0;
    // Lets the person choose a file; none when the dialog was cancelled.
    virtual std::optional<QString> ChooseFile(const FileRequest& request) = 0;
    // Runs an already set-up modal dialog and returns its result (QDialog::Accepted or Rejected).
    virtual int RunDialog(QDialog& dialog) = 0;
    // The progress display of a long operation; `cancellable` false offers no "Abbrechen". nullptr
    // shows nothing.
    virtual std::unique_ptr<ProgressDisplay> OpenProgress(bool cancellable) {
        (void)cancellable;
        return nullptr;
    }
};

// The error box of every command: exclamation icon and an OK button.
void ShowError(Prompter& prompter, const QString& text, const QString& caption);

// The Yes/No question of every command: question icon, No as default. True only for Yes.
bool AskYesNo(Prompter& prompter, const QString& text, const QString& caption);

// The file type list of the BMP dialogs: "Bitmap-Dateien (*.BMP)" and "Alle Dateien (*.*)".
std::vector<FileFilter> BitmapFileFilters();

// A filter list of one type followed by "Alle Dateien (*.*)".
std::vector<FileFilter> FiltersWithAllFiles(const QString& text, const QString& patterns);

}  // namespace tarkemo::app
