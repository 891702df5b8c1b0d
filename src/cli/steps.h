// The steps of `tarkemo-cli apply`: a table of named steps, each parsing its argument and
// calling one engine function on the image. Every family of operations adds its own rows.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "cli/cli_common.h"

namespace tarkemo::cli {

struct StepContext {
    GrayBitmap& bitmap;
    bool yes = false;  // answer Yes to questions such as a filter file's coefficient-sum warning
};

struct StepDef {
    std::string_view name;   // the text before "=" (or the whole step when it takes no argument)
    bool takesArgument;      // true: written as name=ARG
    std::string_view usage;  // shown in the usage text
    Status (*run)(StepContext& context, std::string_view argument);
};

void AddResizeSteps(std::vector<StepDef>& steps);
void AddOpsSteps(std::vector<StepDef>& steps);
void AddFilterSteps(std::vector<StepDef>& steps);
void AddPaletteSteps(std::vector<StepDef>& steps);

const std::vector<StepDef>& AllSteps();

// FILL of resize and the spectrum size: a gray value 0..255, mean, flip-inc, flip-exc, periodic or
// local-mean, as the border extension's fill rule.
std::optional<int32_t> ParseFill(std::string_view text);

// Status for a step argument that does not parse.
Status BadStepArgument(std::string_view step, std::string_view argument);

// Status for a step the engine could not apply.
Status StepFailed(std::string_view step, std::string_view reason);

}  // namespace tarkemo::cli
