// Copy (40006) and paste (40007) of the current image through the system clipboard.
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

void CopyCommand(MainWindow& window, const CommandCall& call);
void PasteCommand(MainWindow& window, const CommandCall& call);

inline constexpr const char* kPasteOverModifiedText =
    "Die Datei wurde bearbeitet und noch nicht gespeichert! Wollen Sie wirklich eine andere Datei aus der "
    "Zwischenablage einfügen?";
inline constexpr const char* kPasteFailedText =
    "Fehler beim Lesen der DIB-Datei aus der Zwischenablage. Möglicherweise falsches Format? Dieses Programm "
    "verarbeitet nur unkomprimierte Windows-Bitmaps mit 256 Graustufen!";

}  // namespace tarkemo::app
