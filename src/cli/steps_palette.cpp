#include "cli/steps.h"

namespace tarkemo::cli {

void AddPaletteSteps(std::vector<StepDef>& /*steps*/) {}

}  // namespace tarkemo::cli
