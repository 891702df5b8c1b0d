#include "app/shell/command_flow.h"

#include <new>

#include "app/shell/long_operation.h"
#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"
#include "app/view/image_view.h"
#include "image/memory_limits.h"

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

void ShowNoMemory(MainWindow& window) {
    ShowError(window.Prompt(), kNoMemoryText, kNoMemoryCaption);
}

// A copy of the pixels for the undo snapshot of a long change; none without memory.
std::optional<PixelBuffer> CopyOfPixels(const GrayBitmap& bitmap) {
    if (!AllocationFits(bitmap.ByteCount())) return std::nullopt;
    try {
        return bitmap.pixels;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

// After a change of size or orientation: no undo, geometry read back, the view shows the bitmap.
void FinishGeometryChange(MainWindow& window) {
    DocumentState& document = window.Document();
    DiscardUndo(document.undo);
    RefreshGeometry(document);
    window.View().SetBitmap(document.Bitmap());
    if (MarkModified(document)) window.UpdateTitle();
    window.RecomputeCommandStates();
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
    if (!TakeUndoSnapshot(document.undo, *document.Bitmap(), undoName)) {
        ShowNoMemory(window);
        return false;
    }
    GrayBitmap& bitmap = *document.Bitmap();
    const LongEnd end = RunLongOperation(
        window, [&](Progress*) { return change(bitmap); }, false);
    RefreshGeometry(document);
    if (end == LongEnd::kDone) {
        FinishPixelChange(window);
    } else {
        window.View().BitmapChanged();
    }
    return end == LongEnd::kDone;
}

CommandEnd RunLongChangingCommand(MainWindow& window, std::string_view undoName,
                                  const ProgressChange& change) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return CommandEnd::kNoDocument;
    GrayBitmap& bitmap = *document.Bitmap();
    std::optional<PixelBuffer> before = CopyOfPixels(bitmap);
    if (!before) {
        ShowNoMemory(window);
        return CommandEnd::kFailed;
    }
    const LongEnd end =
        RunLongOperation(window, [&](Progress* progress) { return change(bitmap, progress); });
    window.View().BitmapChanged();
    if (end == LongEnd::kCancelled) return CommandEnd::kCancelled;
    if (end == LongEnd::kFailed) {
        ShowNoMemory(window);
        return CommandEnd::kFailed;
    }
    // Without memory for the snapshot the change stays; it just cannot be undone.
    TakeUndoSnapshot(document.undo, bitmap, before->data(), undoName);
    FinishPixelChange(window);
    return CommandEnd::kDone;
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

CommandEnd RunGeometryCommand(MainWindow& window, const InPlaceChange& change) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return CommandEnd::kNoDocument;
    GrayBitmap& bitmap = *document.Bitmap();
    RunLongOperation(
        window,
        [&](Progress*) {
            change(bitmap);
            return true;
        },
        false);
    FinishGeometryChange(window);
    return CommandEnd::kDone;
}

CommandEnd RunReplacingCommand(MainWindow& window, const BitmapProducer& produce) {
    DocumentState& document = window.Document();
    if (!document.HasDocument()) return CommandEnd::kNoDocument;
    const GrayBitmap& source = *document.Bitmap();
    std::optional<GrayBitmap> made;
    const LongEnd end = RunLongOperation(window, [&](Progress* progress) {
        made = produce(source, progress);
        return made.has_value();
    });
    if (end == LongEnd::kCancelled) return CommandEnd::kCancelled;
    if (end == LongEnd::kFailed) {
        ShowNoMemory(window);
        return CommandEnd::kFailed;
    }
    // The view must not paint the old bitmap while it is replaced.
    window.View().SetBitmap(nullptr);
    document.bitmap = std::move(made);
    FinishGeometryChange(window);
    return CommandEnd::kDone;
}

}  // namespace tarkemo::app
