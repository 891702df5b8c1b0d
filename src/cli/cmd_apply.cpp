#include <string>

#include "cli/commands.h"
#include "cli/steps.h"

namespace tarkemo::cli {
namespace {

const StepDef* FindStep(std::string_view step, std::string_view& argument) {
    const size_t equals = step.find('=');
    const std::string_view name = step.substr(0, equals);
    argument = equals == std::string_view::npos ? std::string_view() : step.substr(equals + 1);
    for (const StepDef& def : AllSteps()) {
        if (def.name == name && def.takesArgument == (equals != std::string_view::npos)) return &def;
    }
    return nullptr;
}

}  // namespace

int RunApply(Arguments args) {
    bool yes = false;
    size_t first = 0;
    for (; first < args.size() && args[first].starts_with("--"); ++first) {
        if (args[first] == "--") {  // the end of the options: IN may start with "--"
            ++first;
            break;
        }
        if (args[first] != "--yes") return Report({kBadUsage, "Unbekannte Option: " + args[first]});
        yes = true;
    }
    if (args.size() - first < 3) return Report({kBadUsage, ""});
    Status status;
    auto loaded = LoadInputImage(args[first], status);
    if (!loaded) return Report(status);
    StepContext context{loaded->bitmap, yes};
    for (size_t i = first + 2; i < args.size(); ++i) {
        std::string_view argument;
        const StepDef* step = FindStep(args[i], argument);
        if (!step) return Report({kBadUsage, "Unbekannter Schritt: " + args[i]});
        status = step->run(context, argument);
        if (!status.ok()) return Report(status);
    }
    return Report(WriteOutputImage(loaded->bitmap, args[first + 1]));
}

}  // namespace tarkemo::cli
