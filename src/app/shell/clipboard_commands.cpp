#include "app/shell/clipboard_commands.h"

#include <utility>

#include "app/shell/clipboard_adapter.h"
#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"
#include "app/view/image_view.h"

namespace tarkemo::app {

void CopyCommand(MainWindow& window, const CommandCall&) {
    const GrayBitmap* bitmap = window.Document().Bitmap();
    if (bitmap == nullptr) return;
    // A copy that finds no memory puts nothing on the clipboard and says nothing.
    CopyToClipboard(*bitmap, window.View().CurrentMarking());
}

void PasteCommand(MainWindow& window, const CommandCall&) {
    DocumentState& document = window.Document();
    if (document.HasDocument() && document.modified &&
        !AskYesNo(window.Prompt(), kPasteOverModifiedText, "Tarkemo - Aus der Zwischenablage einfügen")) {
        return;
    }
    // The clipboard is decoded before the document is touched: a refused image must not cost the
    // current one, which may exist nowhere else.
    std::optional<LoadedBitmap> pasted;
    {
        WaitCursor wait;
        pasted = PasteFromClipboard();
    }
    if (!pasted) {
        ShowError(window.Prompt(), kPasteFailedText, "Tarkemo - Fehler beim Kopieren aus der Zwischenablage");
        return;
    }
    window.View().SetBitmap(nullptr);
    AdoptLoadedBitmap(document, std::move(*pasted));
    document.path.clear();
    document.importedPath = false;
    window.ShowNewDocument();
}

}  // namespace tarkemo::app
