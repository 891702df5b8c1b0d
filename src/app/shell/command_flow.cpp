#include "app/shell/command_flow.h"

#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"
#include "app/view/image_view.h"

namespace tarkemo::app {
namespace {

// Runs the change under the wait cursor, turning a failed allocation into a failed change.
bool ApplyChange(GrayBitmap& bitmap, const BitmapChange& change) {
    WaitCursor wait;
    try {
        return change(bitmap);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

void FinishPixelChange(MainWindow& window) {
    if (MarkModified(window.Document())) window.UpdateTitle();
    window.View().BitmapChanged();
    window.RecomputeCommandStates();
}

bool RunChangingCommand(MainWindow& window, std::string_view undoName, const BitmapChange& change) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return false;
    // Without memory for the copy the command still runs; it just cannot be undone.
    TakeUndoSnapshot(document.undo, *document.Bitmap(), undoName);
    const bool changed = ApplyChange(*document.Bitmap(), change);
    // The change may have replaced the bitmap by a new one of the same size.
    RefreshGeometry(document);
    if (changed) {
        FinishPixelChange(window);
    } else {
        window.View().BitmapChanged();
    }
    return changed;
}

bool RunPaletteCommand(MainWindow& window, std::string_view undoName, bool grayRampAfter,
                       const BitmapChange& change) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return false;
    TakeUndoSnapshot(document.undo, *document.Bitmap(), undoName);
    const bool changed = ApplyChange(*document.Bitmap(), change);
    if (changed) document.grayRamp = grayRampAfter;
    window.View().BitmapChanged();
    window.RecomputeCommandStates();
    return changed;
}

bool RunGeometryCommand(MainWindow& window, const BitmapChange& change) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return false;
    DiscardUndo(document.undo);
    const bool changed = ApplyChange(*document.Bitmap(), change);
    RefreshGeometry(document);
    window.View().SetBitmap(document.Bitmap());
    window.View().BitmapResized();
    if (changed && MarkModified(document)) window.UpdateTitle();
    window.RecomputeCommandStates();
    return changed;
}

}  // namespace tarkemo::app
