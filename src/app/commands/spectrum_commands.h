// The spectrum commands of the main window: "Spektrum bearbeiten..." embeds the image in a
// power-of-two grid, transforms it, runs the spectrum editor, transforms the filtered spectrum
// back and lets the person turn the result into new pixel values; the two size commands choose
// how large that grid is.
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

inline constexpr int kSpectrumEditId = 40016;
inline constexpr int kSpectrumAutoSizeId = 40106;
inline constexpr int kSpectrumManualSizeId = 40107;

// 40016 "&Spektrum bearbeiten..." (F9).
void EditSpectrumCommand(MainWindow& window, const CommandCall& call);
// 40107 "&Größe manuell festlegen..." (Ctrl+F9).
void ManualSpectrumSizeCommand(MainWindow& window, const CommandCall& call);
// 40106 "Größe &automatisch festlegen" (Ctrl+Shift+F9).
void AutomaticSpectrumSizeCommand(MainWindow& window, const CommandCall& call);

}  // namespace tarkemo::app
