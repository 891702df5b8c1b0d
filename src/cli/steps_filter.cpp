#include <array>
#include <string>

#include "cli/steps.h"
#include "ops/builtin_kernels.h"
#include "ops/filter_file.h"
#include "ops/linear_filter.h"

namespace tarkemo::cli {
namespace {

// The step names of the nine built-in kernels, in menu order.
struct KernelName {
    std::string_view name;
    BuiltinKernel kernel;
};

constexpr std::array<KernelName, 9> kKernelNames{{
    {"box3", BuiltinKernel::kBox3},
    {"box5", BuiltinKernel::kBox5},
    {"gauss3", BuiltinKernel::kGauss3},
    {"gauss5", BuiltinKernel::kGauss5},
    {"unsharp3", BuiltinKernel::kUnsharp3},
    {"unsharp5", BuiltinKernel::kUnsharp5},
    {"deriv-h", BuiltinKernel::kDerivativeHorizontal},
    {"deriv-v", BuiltinKernel::kDerivativeVertical},
    {"deriv-d", BuiltinKernel::kDerivativeDiagonal},
}};

Status Apply(std::string_view step, GrayBitmap& bitmap, const LinearFilter& filter) {
    if (ApplyLinearFilter(bitmap, filter)) return Status::Ok();
    if (filter.divBy == 0.0f) {
        return StepFailed(
            step, "die Summe der Koeffizienten im Bild ist an einem Pixel 0 (oder zu wenig Speicher)");
    }
    return StepFailed(step, "Nicht genügend Speicher vorhanden!");
}

// kernel=NAME applies one of the built-in kernels.
Status Kernel(StepContext& context, std::string_view argument) {
    for (const KernelName& entry : kKernelNames) {
        if (entry.name != argument) continue;
        LinearFilter filter;
        if (!FillBuiltinKernel(entry.kernel, filter))
            return StepFailed("kernel", "Nicht genügend Speicher vorhanden!");
        return Apply("kernel", context.bitmap, filter);
    }
    return BadStepArgument("kernel", argument);
}

// filter=FILE reads a linear filter file; a refused file ends the run with its message. The
// question about "DivBy" together with "CoeffSum" is answered Yes only with --yes.
Status FilterFromFile(StepContext& context, std::string_view argument) {
    LinearFilter filter;
    filter.path = std::string(argument);
    const FilterFileResult result = ParseLinearFilterFile(filter);
    if (result.outcome == FilterFileOutcome::kRejected) {
        if (result.message) return {kInputRefused, result.message->text};
        return {kInputRefused, "Die Filterdatei \"" + filter.path +
                                   "\" lässt sich nicht lesen oder ihre erste Zeile endet nicht!"};
    }
    if (result.outcome == FilterFileOutcome::kAskFirst && !context.yes) {
        return {kInputRefused, result.message->text + "\n-> Nein (mit --yes: Ja)"};
    }
    return Apply("filter", context.bitmap, filter);
}

}  // namespace

void AddFilterSteps(std::vector<StepDef>& steps) {
    steps.push_back({"kernel", true,
                     "kernel=NAME (box3 box5 gauss3 gauss5 unsharp3 unsharp5 deriv-h deriv-v deriv-d)",
                     Kernel});
    steps.push_back({"filter", true, "filter=FILE.lft", FilterFromFile});
}

}  // namespace tarkemo::cli
