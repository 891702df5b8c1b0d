// "&Palette / Histogramm..." (40014, F5): runs the palette editor on the current image. The editor
// previews through the image's colour table and applies its mapping with an undo snapshot; when it
// was applied the document is marked modified.
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

void PaletteEditorCommand(MainWindow& window, const CommandCall& call);  // 40014

// The undo name of an applied mapping.
inline constexpr const char* kPaletteEditorUndoName = "Palette";

}  // namespace tarkemo::app
