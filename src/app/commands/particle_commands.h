// The commands of "&Partikel zählen": counting by maxima, by binarisation or as stripes, each
// asking for the parameters with a live threshold preview, showing the marked particle centres
// and the count, exporting the result on request and then showing the image exactly as before.
// A count never changes the document: no undo snapshot, no modified mark. The last entry switches
// the decimal comma of the exported table.
#pragma once

#include "app/shell/commands.h"

namespace tarkemo::app {

inline constexpr int kGermanNumbersId = 40111;

// 40100 "&Maxima suchen...", 40103 "&Binarisation...", 40130 "Streifen erkennen (mit Binarisation)...".
void CountParticlesCommand(MainWindow& window, const CommandCall& call);
// 40111 "Beim Exportieren &deutsches Zahlenformat": toggles its check mark.
void GermanNumbersCommand(MainWindow& window, const CommandCall& call);

}  // namespace tarkemo::app
