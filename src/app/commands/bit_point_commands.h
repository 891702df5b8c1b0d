// The commands of "&Bit-Operationen" and "&Normalisieren": every pixel changes by a rule of its own
// value. AND, OR and XOR ask for their constant first, previewing it through the colour table.
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

// 40018, 40020, 40019, 40009, 40022, 40021, 40023, 40024, 40132.
void BitOperationCommand(MainWindow& window, const CommandCall& call);
// 40065 "&Normalisieren".
void NormalizeCommand(MainWindow& window, const CommandCall& call);

}  // namespace tarkemo::app
