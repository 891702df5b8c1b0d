// The commands of "Graustufen / &Falschfarben": the six built-in palettes, loading an RGB palette
// file into the image and exporting the image's colour table. Each change of the table can be
// undone; none of them marks the document modified.
#pragma once

#include <vector>

#include "app/shell/commands.h"
#include "app/shell/prompter.h"

namespace tarkemo::app {

// 40105, 40110, 40104, 40151, 40108 and 40149: the built-in palette of the command's id.
void BuiltInPaletteCommand(MainWindow& window, const CommandCall& call);
void LoadRgbPaletteCommand(MainWindow& window, const CommandCall& call);    // 40109
void ExportRgbPaletteCommand(MainWindow& window, const CommandCall& call);  // 40158

// The undo name of a loaded RGB palette.
inline constexpr const char* kLoadRgbPaletteUndoName = "Falschfarb-Palette einladen";

// The file type list of the RGB palette dialogs: "RGB-Palette (*.RGB)" and "Alle Dateien (*.*)".
std::vector<FileFilter> RgbPaletteFileFilters();

}  // namespace tarkemo::app
