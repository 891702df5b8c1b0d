#include "app/shell/document_commands.h"

#include <utility>

#include "app/dialogs/about_box.h"
#include "app/shell/file_checks.h"
#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"
#include "app/view/image_view.h"
#include "image/bmp_file.h"

namespace tarkemo::app {
namespace {

QString PathText(const std::string& path) {
    return QString::fromStdString(path);
}

// The load steps shared by open and open-at-start: `path` names the file; the old bitmap, if
// any, has been released. On failure there is no document and no path.
void LoadDocument(MainWindow& window) {
    DocumentState& document = window.Document();
    std::optional<LoadedBitmap> loaded;
    BmpReadError error = BmpReadError::kNone;
    {
        WaitCursor wait;
        loaded = ReadBmpFile(document.path, error);
    }
    document.modified = false;
    document.importedPath = false;
    DiscardUndo(document.undo);
    if (!loaded) {
        window.ShowNoDocument();
        ShowError(window.Prompt(), error == BmpReadError::kNoMemory ? kNoMemoryText : kBmpReadErrorText,
                  "Tarkemo - Fehler beim Öffnen");
        document.path.clear();
        window.UpdateTitle();
        return;
    }
    AdoptLoadedBitmap(document, std::move(*loaded));
    window.ShowNewDocument();
}

void ReleaseDocumentBitmap(MainWindow& window) {
    window.View().SetBitmap(nullptr);
    ReleaseBitmap(window.Document());
}

// Writes the document to `path`. On success the document is clean and named by `path`; on failure
// the message is shown and path and modified flag stay as they were.
bool WriteDocument(MainWindow& window, const std::string& path) {
    DocumentState& document = window.Document();
    bool written = false;
    {
        WaitCursor wait;
        written = WriteBmpFile(*document.Bitmap(), path);
    }
    if (!written) {
        ShowError(window.Prompt(), kSaveFailedText, "Tarkemo - Fehler beim Speichern");
        return false;
    }
    document.path = path;
    document.importedPath = false;
    MarkSaved(document);
    window.UpdateTitle();
    return true;
}

}  // namespace

std::optional<std::string> ChooseFileToReplaceDocument(MainWindow& window, std::vector<FileFilter> filters) {
    const DocumentState& document = window.Document();
    if (document.HasDocument() && document.modified &&
        !AskYesNo(window.Prompt(), kOpenOverModifiedText, "Tarkemo - Datei öffnen")) {
        return std::nullopt;
    }
    FileRequest request;
    request.mode = FileRequest::Mode::kOpen;
    request.filters = std::move(filters);
    request.proposedName = PathText(document.path);
    const std::optional<QString> chosen = window.Prompt().ChooseFile(request);
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
}

void OpenCommand(MainWindow& window, const CommandCall&) {
    std::optional<std::string> chosen = ChooseFileToReplaceDocument(window, BitmapFileFilters());
    // A name that names nothing leaves the document as it is.
    if (!chosen || RefuseMissingFile(window.Prompt(), *chosen)) return;
    window.Document().path = std::move(*chosen);
    ReleaseDocumentBitmap(window);
    LoadDocument(window);
}

void OpenAtStartCommand(MainWindow& window, const CommandCall& call) {
    if (!IsBitmapFileName(call.argument)) {
        RefuseUnreadableType(window.Prompt(), call.argument);
        return;
    }
    if (RefuseMissingFile(window.Prompt(), call.argument.toStdString())) return;
    DocumentState& document = window.Document();
    document.path = call.argument.toStdString();
    ReleaseDocumentBitmap(window);
    LoadDocument(window);
}

void SaveCommand(MainWindow& window, const CommandCall& call) {
    DocumentState& document = window.Document();
    if (!document.HasDocument() || document.path.empty()) return;
    // An imported file is never overwritten with BMP data unless the person picks that name.
    if (document.importedPath) {
        SaveAsCommand(window, call);
        return;
    }
    WriteDocument(window, document.path);
}

void SaveAsCommand(MainWindow& window, const CommandCall&) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return;
    FileRequest request;
    request.mode = FileRequest::Mode::kSave;
    request.filters = BitmapFileFilters();
    request.proposedName = PathText(ProposedSaveName(document));
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = window.Prompt().ChooseFile(request);
    if (!chosen) return;
    WriteDocument(window, chosen->toStdString());
}

void ExitCommand(MainWindow& window, const CommandCall&) {
    window.close();
}

void UndoCommand(MainWindow& window, const CommandCall&) {
    DocumentState& document = window.Document();
    if (!document.HasDocument() || !SwapUndo(document.undo, *document.Bitmap())) return;
    document.grayRamp = IsIdentityGrayRamp(document.Bitmap()->colours);
    RefreshGeometry(document);
    // An exchange after a save brings back a content the file does not hold.
    if (MarkModifiedUnlessSaved(document)) window.UpdateTitle();
    window.View().BitmapChanged();
}

void AboutCommand(MainWindow& window, const CommandCall&) {
    AboutBox box(&window);
    window.Prompt().RunDialog(box);
}

}  // namespace tarkemo::app
