#include "cli/spectrum_steps.h"

#include <limits>
#include <utility>

#include "cli/spectrum_options.h"
#include "cli/steps.h"
#include "image/bmp_file.h"
#include "spectrum/centred_marking.h"
#include "spectrum/filter_constructions.h"
#include "spectrum/frequency_file.h"
#include "spectrum/spectrum_view.h"

namespace tarkemo::cli {
namespace {

using Run = Status (*)(SpectrumEditState& state, std::string_view argument);
using Check = bool (*)(std::string_view argument);

struct SpectrumStepDef {
    std::string_view name;
    bool takesArgument;
    Check check;  // syntax of the argument; null for steps without one
    Run run;
};

bool FitsInt32(int64_t value) {
    return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

// Exactly `count` comma-separated 32-bit integers.
std::optional<std::vector<int64_t>> Integers(std::string_view argument, size_t count) {
    auto values = ParseIntegerList(argument);
    if (!values || values->size() != count) return std::nullopt;
    for (int64_t value : *values) {
        if (!FitsInt32(value)) return std::nullopt;
    }
    return values;
}

Status MarkingOutside(std::string_view step, std::string_view argument) {
    return StepFailed(std::string(step) + "=" + std::string(argument),
                      "die Markierung liegt nicht innerhalb des Spektrums");
}

bool CheckMark(std::string_view argument) {
    return argument == "all" || Integers(argument, 4).has_value();
}

Status Mark(SpectrumEditState& state, std::string_view argument) {
    const SpectrumContext& context = state.context;
    if (argument == "all") {
        state.marking = WholeImageMarking(context.width, context.height);
        return Status::Ok();
    }
    const auto v = *Integers(argument, 4);
    const Marking marking{static_cast<int32_t>(v[0]), static_cast<int32_t>(v[3]), static_cast<int32_t>(v[2]),
                          static_cast<int32_t>(v[1])};
    if (!MarkingInsideGrid(marking, context.width, context.height)) return MarkingOutside("mark", argument);
    state.marking = marking;
    return Status::Ok();
}

bool CheckMarkCentred(std::string_view argument) {
    const auto v = Integers(argument, 4);
    return v && (*v)[2] >= 0 && (*v)[3] >= 0;  // the half-sizes take digits only
}

Status MarkCentred(SpectrumEditState& state, std::string_view argument) {
    const auto v = *Integers(argument, 4);
    const auto marking = CentredMarking(v[0], v[1], v[2], v[3], state.context.width, state.context.height);
    if (!marking) return MarkingOutside("mark-centred", argument);
    state.marking = *marking;
    return Status::Ok();
}

bool CheckPath(std::string_view argument) {
    return !argument.empty();
}

// Loads into the filtered arrays as scratch and exchanges them with the target on success, so a
// refused file leaves the target as it was.
Status LoadField(SpectrumEditState& state, std::string_view path, FloatArray& re, FloatArray& im) {
    SpectrumContext& context = state.context;
    const FrequencyFileResult result = ReadFrequencyFile(
        std::string(path), context.filteredRe.get(), context.filteredIm.get(), context.width, context.height);
    if (result != FrequencyFileResult::kOk) return {kInputRefused, FrequencyLoadMessage(result)};
    std::swap(re, context.filteredRe);
    std::swap(im, context.filteredIm);
    return Status::Ok();
}

Status LoadFilter(SpectrumEditState& state, std::string_view path) {
    return LoadField(state, path, state.context.filterRe, state.context.filterIm);
}

Status LoadSpectrum(SpectrumEditState& state, std::string_view path) {
    return LoadField(state, path, state.context.spectrumRe, state.context.spectrumIm);
}

Status Import(SpectrumEditState& state, std::string_view path, FilterImportPart part) {
    const auto loaded = ReadBmpFile(std::string(path));
    if (!loaded) return {kInputRefused, kFilterImportReadErrorText};
    if (!ImportFilterBitmap(state.context.Filter(), loaded->bitmap, part)) {
        return {kInputRefused, kFilterImportSizeErrorText};
    }
    return Status::Ok();
}

bool CheckComplex(std::string_view argument) {
    const auto parts = SplitCommas(argument);
    return parts.size() == 2 && ParseReal(parts[0]) && ParseReal(parts[1]);
}

Status Multiply(SpectrumEditState& state, std::string_view argument) {
    const auto parts = SplitCommas(argument);
    MultiplyFilter(state.context.Filter(), *ParseReal(parts[0]), *ParseReal(parts[1]));
    return Status::Ok();
}

Status Reciprocal(SpectrumEditState& state, std::string_view) {
    if (ReciprocalFilter(state.context.Filter(), state.context.work.get())) return Status::Ok();
    return {kStepFailed, kReciprocalZeroText};
}

template <FilterShape kShape>
Status Shape(SpectrumEditState& state, std::string_view) {
    ApplyFilterShape(state.context.Filter(), state.marking, kShape);
    return Status::Ok();
}

template <FilterImportPart kPart>
Status ImportPart(SpectrumEditState& state, std::string_view path) {
    return Import(state, path, kPart);
}

Status Done(void (*operation)(ComplexField), SpectrumEditState& state) {
    operation(state.context.Filter());
    return Status::Ok();
}

const std::vector<SpectrumStepDef>& SpectrumSteps() {
    using S = SpectrumEditState;
    using V = std::string_view;
    static const std::vector<SpectrumStepDef> steps = {
        {"mark", true, CheckMark, Mark},
        {"mark-centred", true, CheckMarkCentred, MarkCentred},
        {"load-filter", true, CheckPath, LoadFilter},
        {"load-spectrum", true, CheckPath, LoadSpectrum},
        {"reset", false, nullptr, [](S& s, V) { return Done(ResetFilter, s); }},
        {"copy-spectrum", false, nullptr,
         [](S& s, V) {
             CopyField(s.context.Filter(), s.context.Spectrum());
             return Status::Ok();
         }},
        {"gauss", false, nullptr,
         [](S& s, V) {
             ApplyGaussFilter(s.context.Filter(), s.marking);
             return Status::Ok();
         }},
        {"pass-in-ellipse", false, nullptr, Shape<FilterShape::kPassInsideEllipse>},
        {"pass-in-rect", false, nullptr, Shape<FilterShape::kPassInsideRect>},
        {"pass-out-ellipse", false, nullptr, Shape<FilterShape::kPassOutsideEllipse>},
        {"pass-out-rect", false, nullptr, Shape<FilterShape::kPassOutsideRect>},
        {"highpass-ellipse", false, nullptr, Shape<FilterShape::kHighPassEllipse>},
        {"highpass-rect", false, nullptr, Shape<FilterShape::kHighPassRect>},
        {"lowpass-ellipse", false, nullptr, Shape<FilterShape::kLowPassEllipse>},
        {"lowpass-rect", false, nullptr, Shape<FilterShape::kLowPassRect>},
        {"multiply", true, CheckComplex, Multiply},
        {"reflect", false, nullptr, [](S& s, V) { return Done(ReflectFilter, s); }},
        {"conjugate", false, nullptr, [](S& s, V) { return Done(ConjugateFilter, s); }},
        {"reciprocal", false, nullptr, Reciprocal},
        {"import", true, CheckPath, ImportPart<FilterImportPart::kWhole>},
        {"import-real", true, CheckPath, ImportPart<FilterImportPart::kReal>},
        {"import-imag", true, CheckPath, ImportPart<FilterImportPart::kImaginary>},
    };
    return steps;
}

// The step definition and its argument, or null for an unknown step or a malformed argument.
const SpectrumStepDef* FindStep(std::string_view step, std::string_view& argument) {
    const size_t equals = step.find('=');
    const std::string_view name = step.substr(0, equals);
    argument = equals == std::string_view::npos ? std::string_view() : step.substr(equals + 1);
    for (const SpectrumStepDef& def : SpectrumSteps()) {
        if (def.name != name || def.takesArgument != (equals != std::string_view::npos)) continue;
        return def.check == nullptr || def.check(argument) ? &def : nullptr;
    }
    return nullptr;
}

}  // namespace

Status CheckSpectrumSteps(const std::vector<std::string>& steps) {
    for (const std::string& step : steps) {
        std::string_view argument;
        if (!FindStep(step, argument)) {
            return {kBadUsage, "Unbekannter oder fehlerhafter Schritt: " + step + "\n" + kSpectrumUsage};
        }
    }
    return Status::Ok();
}

Status RunSpectrumSteps(const std::vector<std::string>& steps, SpectrumEditState& state) {
    for (const std::string& step : steps) {
        std::string_view argument;
        const Status status = FindStep(step, argument)->run(state, argument);
        if (!status.ok()) return status;
    }
    return Status::Ok();
}

}  // namespace tarkemo::cli
