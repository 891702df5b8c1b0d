// The steps every command that changes the image follows, written once: do nothing without a
// document, show the wait cursor, take or discard the undo snapshot, change, mark the document
// modified and update the caption, repaint. Commands hand over only their name and their change.
#pragma once

#include <functional>
#include <string_view>

#include "image/gray_bitmap.h"

namespace tarkemo::app {

class MainWindow;

// A change to pixels or colour table. It returns false when it could not be made, in which case
// it must have left the bitmap as it was.
using BitmapChange = std::function<bool(GrayBitmap&)>;

// Pixel commands: snapshot under `undoName`, change, then modified mark, caption and repaint.
// False without a document or when the change failed (the document then stays unmarked).
bool RunChangingCommand(MainWindow& window, std::string_view undoName, const BitmapChange& change);

// Palette commands: snapshot under `undoName`, change, grayRamp set to `grayRampAfter`, repaint;
// neither the modified flag nor the caption is touched.
bool RunPaletteCommand(MainWindow& window, std::string_view undoName, bool grayRampAfter,
                       const BitmapChange& change);

// Commands that change size or orientation: the undo snapshot is discarded, the change may replace
// the bitmap; then geometry, modified mark, caption and view follow the new size.
bool RunGeometryCommand(MainWindow& window, const BitmapChange& change);

// The closing steps for a command that took its own snapshot (or none) and changed the pixels:
// modified mark and caption when not yet modified, repaint.
void FinishPixelChange(MainWindow& window);

}  // namespace tarkemo::app
