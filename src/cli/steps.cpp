#include "cli/steps.h"

#include <string>

namespace tarkemo::cli {

const std::vector<StepDef>& AllSteps() {
    static const std::vector<StepDef> steps = [] {
        std::vector<StepDef> all;
        AddOpsSteps(all);
        AddResizeSteps(all);
        AddFilterSteps(all);
        AddPaletteSteps(all);
        return all;
    }();
    return steps;
}

Status BadStepArgument(std::string_view step, std::string_view argument) {
    return {kBadUsage, "Fehlerhafter Schritt \"" + std::string(step) + "\": ungültige Angabe \"" +
                           std::string(argument) + "\""};
}

Status StepFailed(std::string_view step, std::string_view reason) {
    return {kStepFailed, "Schritt \"" + std::string(step) + "\" nicht ausführbar: " + std::string(reason)};
}

}  // namespace tarkemo::cli
