#include "app/commands/import_commands.h"

#include <new>
#include <optional>
#include <string>
#include <utility>

#include "app/shell/document_commands.h"
#include "app/shell/file_checks.h"
#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"
#include "app/view/image_view.h"
#include "image/davis_convert.h"
#include "image/davis_import.h"

namespace tarkemo::app {
namespace {

void ShowImportError(Prompter& prompter, DavisError error) {
    const DavisMessage message = DavisErrorMessage(error);
    // A file that cannot be read is reported without an icon; lack of memory with the exclamation.
    const MessageIcon icon = message.exclamation ? MessageIcon::kExclamation : MessageIcon::kNone;
    prompter.Message(MessageRequest{QString::fromUtf8(message.text), QString::fromUtf8(message.caption), icon,
                                    MessageButtons::kOk, Answer::kOk});
}

// Reads the file and, once it has been read, releases the current image and converts the samples
// into the new one. The samples are released and the wait cursor ends before this returns, so no
// message is shown while either is still held. `replaced` tells whether the old image is gone.
std::optional<GrayBitmap> ReadAndConvert(MainWindow& window, const std::string& path, DavisError& error,
                                         bool& replaced) {
    WaitCursor wait;
    replaced = false;
    std::optional<DavisImage> image = ReadDavisFile(path, error);
    if (!image) return std::nullopt;
    window.View().SetBitmap(nullptr);
    ReleaseBitmap(window.Document());
    replaced = true;
    std::optional<GrayBitmap> bitmap;
    try {
        bitmap = ConvertDavisToBitmap(*image);
    } catch (const std::bad_alloc&) {
        // Lack of memory for the conversion's own buffers is the same failure as for the bitmap.
    }
    if (!bitmap) error = DavisError::kBitmapFailed;
    return bitmap;
}

// The new image could not be created after the old one was released: no document, no path.
void EndWithoutDocument(MainWindow& window) {
    DocumentState& document = window.Document();
    document.path.clear();
    document.importedPath = false;
    document.modified = false;
    DiscardUndo(document.undo);
    window.ShowNoDocument();
}

// Imports `path`. A file that cannot be read leaves the current document as it was, path
// included, so a later save never writes to the file that failed to import.
void ImportFile(MainWindow& window, const std::string& path) {
    if (RefuseMissingFile(window.Prompt(), path)) return;
    DavisError error = DavisError::kNone;
    bool replaced = false;
    std::optional<GrayBitmap> bitmap = ReadAndConvert(window, path, error, replaced);
    if (!bitmap) {
        if (replaced) EndWithoutDocument(window);
        ShowImportError(window.Prompt(), error);
        return;
    }
    DocumentState& document = window.Document();
    AdoptLoadedBitmap(document, LoadedBitmap{std::move(*bitmap), true});
    document.path = path;
    document.importedPath = true;
    window.ShowNewDocument();
}

}  // namespace

std::vector<FileFilter> DavisFileFilters() {
    return FiltersWithAllFiles("DaVis-Dateien (*.IMX; *.IMG)", "*.imx; *.img");
}

void ImportCommand(MainWindow& window, const CommandCall&) {
    const std::optional<std::string> chosen = ChooseFileToReplaceDocument(window, DavisFileFilters());
    if (chosen) ImportFile(window, *chosen);
}

void ImportAtStartCommand(MainWindow& window, const CommandCall& call) {
    ImportFile(window, call.argument.toStdString());
}

}  // namespace tarkemo::app
