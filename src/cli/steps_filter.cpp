#include "cli/steps.h"

namespace tarkemo::cli {

void AddFilterSteps(std::vector<StepDef>& /*steps*/) {}

}  // namespace tarkemo::cli
