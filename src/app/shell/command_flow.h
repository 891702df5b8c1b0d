// The steps every command that changes the image follows, written once: do nothing without a
// document, take or discard the undo snapshot, change the pixels on a worker thread behind the
// progress dialog, mark the document modified and update the caption, repaint. Commands hand over
// only their name and their change.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "image/gray_bitmap.h"
#include "image/progress.h"

namespace tarkemo::app {

class MainWindow;

// A change to pixels or colour table. It returns false when it could not be made, in which case
// it must have left the bitmap as it was.
using BitmapChange = std::function<bool(GrayBitmap&)>;

// A long change of the pixels in place that reports through the Progress and stops when told to,
// leaving the bitmap as it was (false).
using ProgressChange = std::function<bool(GrayBitmap&, Progress*)>;

// A change of orientation done in place (mirrors, the half turn); it cannot fail.
using InPlaceChange = std::function<void(GrayBitmap&)>;

// A change that makes a new bitmap from the document's (quarter turns, resize); none when memory is
// short or the Progress said stop.
using BitmapProducer = std::function<std::optional<GrayBitmap>(const GrayBitmap&, Progress*)>;

enum class CommandEnd { kNoDocument, kDone, kFailed, kCancelled };

// The message of a command that found no memory for its copies or its new bitmap.
inline constexpr const char* kNoMemoryText = "Nicht genügend Speicher vorhanden!";
inline constexpr const char* kNoMemoryCaption = "Tarkemo - Fehler";

// Quick pixel commands: snapshot under `undoName` (without memory for it: the message, nothing
// changes), the change on the worker thread, then modified mark, caption and repaint. False
// without a document, without memory, or when the change failed (the document then stays unmarked).
bool RunChangingCommand(MainWindow& window, std::string_view undoName, const BitmapChange& change);

// Long pixel commands (local operations, linear filters): the change runs with a Progress that the
// person can cancel. A copy of the pixels kept from before becomes the undo snapshot once the
// change succeeded; a cancelled change leaves image, undo snapshot and modified mark exactly as
// they were, and so does a failed one, which shows the memory message.
CommandEnd RunLongChangingCommand(MainWindow& window, std::string_view undoName,
                                  const ProgressChange& change);

// Palette commands: snapshot under `undoName`, change, grayRamp set to `grayRampAfter`, repaint;
// neither the modified flag nor the caption is touched.
bool RunPaletteCommand(MainWindow& window, std::string_view undoName, bool grayRampAfter,
                       const BitmapChange& change);

// Commands that change orientation in place: the change on the worker, the undo snapshot
// discarded, modified mark and caption. The caller moves marking and view along.
CommandEnd RunGeometryCommand(MainWindow& window, const InPlaceChange& change);

// Commands that replace the bitmap by one of another size or orientation: the new bitmap is made on
// the worker from the unchanged document; then it replaces the image, the undo snapshot is
// discarded, geometry, modified mark and caption follow. Without memory: the message, nothing
// changes; cancelled: nothing changes. The caller moves marking and view along.
CommandEnd RunReplacingCommand(MainWindow& window, const BitmapProducer& produce);

// The closing steps for a command that took its own snapshot (or none) and changed the pixels:
// modified mark and caption when not yet modified, repaint.
void FinishPixelChange(MainWindow& window);

}  // namespace tarkemo::app
