// The filter steps of `tarkemo-cli spectrum`: each is one command of the spectrum editor, run
// left to right on the filter, starting from 1 + 0i everywhere and the whole-grid marking.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_common.h"
#include "document/marking.h"
#include "spectrum/spectrum_context.h"

namespace tarkemo::cli {

// The editor state the steps change: the context's fields and the marking.
struct SpectrumEditState {
    SpectrumContext& context;
    Marking marking;
};

// Checks the syntax of every step (name and argument) without running any: kBadUsage for an
// unknown step or a malformed argument.
Status CheckSpectrumSteps(const std::vector<std::string>& steps);

// Runs the steps in order; stops at the first that fails (kInputRefused for a refused file,
// kStepFailed for a marking outside the grid or a reciprocal of zero).
Status RunSpectrumSteps(const std::vector<std::string>& steps, SpectrumEditState& state);

}  // namespace tarkemo::cli
