// The sixteen commands of "&Punkt-Operationen" that combine the image pixel by pixel with a second
// image of the same size, read from a bitmap file or taken from the clipboard. Only palette indices
// take part, so a second image with false colours is used only after a warning.
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

// 40139, 40140, 40141, 40046, 40048, 40045, 40054, 40047: the second image from a file.
void CombineWithFileCommand(MainWindow& window, const CommandCall& call);
// 40142, 40143, 40144, 40050, 40052, 40049, 40055, 40051: the second image from the clipboard.
void CombineWithClipboardCommand(MainWindow& window, const CommandCall& call);

}  // namespace tarkemo::app
