// The DaVis import: "&Importieren..." asks for an IMX or IMG file, the start-up command imports the
// file named on the command line. Both turn the file's first frame into a new gray image that is
// clean, cannot be undone, and is saved under a new .bmp name rather than over the source file.
#pragma once

#include <vector>

#include "app/shell/commands.h"
#include "app/shell/prompter.h"

namespace tarkemo::app {

void ImportCommand(MainWindow& window, const CommandCall& call);         // 40146
void ImportAtStartCommand(MainWindow& window, const CommandCall& call);  // 40170, argument = file name

// The file type list of the import dialog: "DaVis-Dateien (*.IMX; *.IMG)" and "Alle Dateien (*.*)".
std::vector<FileFilter> DavisFileFilters();

}  // namespace tarkemo::app
