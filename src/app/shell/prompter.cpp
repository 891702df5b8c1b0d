#include "app/shell/prompter.h"

namespace tarkemo::app {

void ShowError(Prompter& prompter, const QString& text, const QString& caption) {
    prompter.Message(
        MessageRequest{text, caption, MessageIcon::kExclamation, MessageButtons::kOk, Answer::kOk});
}

bool AskYesNo(Prompter& prompter, const QString& text, const QString& caption) {
    const MessageRequest request{text, caption, MessageIcon::kQuestion, MessageButtons::kYesNo, Answer::kNo};
    return prompter.Message(request) == Answer::kYes;
}

std::vector<FileFilter> FiltersWithAllFiles(const QString& text, const QString& patterns) {
    return {FileFilter{text, patterns}, FileFilter{"Alle Dateien (*.*)", "*.*"}};
}

std::vector<FileFilter> BitmapFileFilters() {
    return FiltersWithAllFiles("Bitmap-Dateien (*.BMP)", "*.bmp");
}

}  // namespace tarkemo::app
