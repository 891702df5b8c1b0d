#include "cli/steps.h"

namespace tarkemo::cli {

void AddOpsSteps(std::vector<StepDef>& /*steps*/) {}

}  // namespace tarkemo::cli
