// tarkemo-cli spectrum: the spectrum editor without a window. The image is embedded in the
// spectrum grid and transformed, the steps build the filter, and the filtered spectrum is
// transformed back and turned into pixels as the inverse dialog does. Every output is staged
// first and committed only when the whole run succeeded.
#include <memory>
#include <new>
#include <vector>

#include "cli/commands.h"
#include "cli/spectrum_options.h"
#include "cli/spectrum_steps.h"
#include "image/atomic_file.h"
#include "spectrum/frequency_file.h"
#include "spectrum/spectrum_context.h"
#include "spectrum/spectrum_size.h"

namespace tarkemo::cli {
namespace {

Status NoMemory() {
    return {kStepFailed, kSpectrumNoMemoryText};
}

// The grid of the run: automatic, or manual with its two refusals.
std::optional<SpectrumLayout> Layout(const SpectrumOptions& options, const GrayBitmap& image,
                                     Status& status) {
    if (!options.manualSize) return AutomaticSpectrumLayout(image.width, image.height);
    SpectrumSizeError error = SpectrumSizeError::kNone;
    auto layout = ManualSpectrumLayout(options.size, image.width, image.height, error);
    if (!layout) {
        status = {kStepFailed,
                  error == SpectrumSizeError::kTooSmall ? kSpectrumSizeErrorText : kSpectrumOffsetErrorText};
    }
    return layout;
}

// Files written but not yet renamed over their targets.
class Outputs {
  public:
    Status StageField(const std::string& path, ConstComplexField field) {
        if (path.empty()) return Status::Ok();
        StagedFile& file = Add(path);
        if (StageFrequencyFile(file, field.re, field.im, field.width, field.height)) return Status::Ok();
        return {kOutputFailed, std::string(kFrequencySaveErrorText) + " (" + path + ")"};
    }
    Status StageBitmap(const std::string& path, const GrayBitmap& bitmap) {
        const auto bytes = EncodeBmp(bitmap);
        if (bytes && Add(path).Write(*bytes)) return Status::Ok();
        return {kOutputFailed, "Fehler beim Speichern der Datei \"" + path + "\"!"};
    }
    Status CommitAll() {
        for (auto& file : files_) {
            if (!file.second->Commit())
                return {kOutputFailed, "Fehler beim Speichern der Datei \"" + file.first + "\"!"};
        }
        return Status::Ok();
    }

  private:
    StagedFile& Add(const std::string& path) {
        files_.emplace_back(path, std::make_unique<StagedFile>(path));
        return *files_.back().second;
    }
    std::vector<std::pair<std::string, std::unique_ptr<StagedFile>>> files_;
};

// The editor's final state: the .fft files and the view.
Status StageEditorOutputs(const SpectrumOptions& options, SpectrumContext& context, Outputs& outputs) {
    for (const auto& [path, field] : {std::pair{options.saveSpectrum, context.Spectrum()},
                                      std::pair{options.saveFilter, context.Filter()},
                                      std::pair{options.saveFiltered, context.Filtered()}}) {
        const Status status = outputs.StageField(path, field);
        if (!status.ok()) return status;
    }
    if (options.view.empty()) return Status::Ok();
    RenderSpectrumView(context, options.display, false);
    return outputs.StageBitmap(options.view, context.working);
}

Status RunPipeline(const SpectrumOptions& options, GrayBitmap& image) {
    Status status;
    const auto layout = Layout(options, image, status);
    if (!layout) return status;
    auto context = CreateSpectrumContext(image, *layout);
    if (!context || !TransformSpectrumForward(*context)) return NoMemory();
    BeginSpectrumEditing(*context);
    SpectrumEditState state{*context, WholeImageMarking(context->width, context->height)};
    status = RunSpectrumSteps(options.steps, state);
    if (!status.ok()) return status;
    MultiplySpectrumByFilter(*context);
    Outputs outputs;
    status = StageEditorOutputs(options, *context, outputs);
    if (!status.ok()) return status;
    if (!FinishSpectrumEditing(*context)) return NoMemory();
    ApplyInverseResult(*context, options.inverse);
    status = outputs.StageBitmap(options.output, image);
    if (!status.ok()) return status;
    return outputs.CommitAll();
}

}  // namespace

int RunSpectrum(Arguments args) {
    Status status;
    const auto options = ParseSpectrumOptions(args, status);
    if (!options) return Report(status);
    status = CheckSpectrumSteps(options->steps);
    if (!status.ok()) return Report(status);
    auto loaded = LoadInputImage(options->input, status);
    if (!loaded) return Report(status);
    try {
        return Report(RunPipeline(*options, loaded->bitmap));
    } catch (const std::bad_alloc&) {
        return Report(NoMemory());
    }
}

}  // namespace tarkemo::cli
