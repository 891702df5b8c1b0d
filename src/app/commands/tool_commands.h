// The commands of the mouse tools and the pen: choosing a tool (one of four, exactly one checked),
// typing in and measuring the marking, the pen colours and sizes; and the main window's side of
// the tool controller (the document a stroke or an origin shift changes).
#pragma once

#include <memory>

#include "app/shell/commands.h"
#include "app/view/tool_client.h"

namespace tarkemo::app {

inline constexpr int kMarkingToolId = 40034;
inline constexpr int kDrawingToolId = 40028;
inline constexpr int kOriginShiftToolId = 40101;

void ChooseToolCommand(MainWindow& window, const CommandCall& call);      // 40027, 40034, 40028, 40101
void ManualMarkingCommand(MainWindow& window, const CommandCall& call);   // 40039
void MeasureMarkingCommand(MainWindow& window, const CommandCall& call);  // 40129
void PenColourCommand(MainWindow& window, const CommandCall& call);       // 40042
void PenSizeCommand(MainWindow& window, const CommandCall& call);         // 40040 ... 40117

// The tool controller's view of the main window's document: the tool from the check marks, the
// pen from the settings, an undo snapshot "Zeichnen" per stroke and "Ursprung verschieben" per
// origin shift, both marking the document modified.
std::unique_ptr<ToolClient> MakeMainToolClient(MainWindow& window);

}  // namespace tarkemo::app
