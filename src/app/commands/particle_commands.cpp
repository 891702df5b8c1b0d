#include "app/commands/particle_commands.h"

#include <QDialog>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialogs/particle_params_dlg.h"
#include "app/shell/long_operation.h"
#include "app/shell/main_window.h"
#include "app/shell/prompter.h"
#include "app/view/image_view.h"
#include "particles/count_run.h"
#include "particles/export.h"
#include "particles/export_targets.h"

namespace tarkemo::app {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<CountMethod> MethodOf(int id) {
    switch (id) {
        case static_cast<int>(CountMethod::Maxima):
            return CountMethod::Maxima;
        case static_cast<int>(CountMethod::Binarise):
            return CountMethod::Binarise;
        case static_cast<int>(CountMethod::Stripes):
            return CountMethod::Stripes;
        default:
            return std::nullopt;
    }
}

// The parameter dialog's preview on the document's image. It writes the preview table or the
// image's own table into the bitmap and repaints at once, so the person sees every keystroke.
class DocumentPreview final : public ThresholdPreview {
  public:
    DocumentPreview(MainWindow& window, const ColourTable& own) : window_(window), own_(own) {}

    void ShowThreshold(uint32_t minGray) override { Show(ThresholdPreviewTable(own_, minGray)); }
    void ShowOwnColours() override { Show(own_); }

  private:
    void Show(const ColourTable& table) {
        WriteColourTable(*window_.Document().Bitmap(), table);
        window_.View().repaint();
    }

    MainWindow& window_;
    const ColourTable& own_;
};

// Asks for the counting parameters and stores them. False when the dialog was cancelled. However
// it ends, the image shows its own colour table again, exactly as before.
bool AskParameters(MainWindow& window) {
    const ColourTable own = window.Document().Bitmap()->colours;
    DocumentPreview preview(window, own);
    std::optional<ParticleParams> chosen;
    {
        ParticleParamsDlg dialog(window.Settings().particles, preview, &window);
        if (window.Prompt().RunDialog(dialog) == QDialog::Accepted) chosen = dialog.Params();
    }
    preview.ShowOwnColours();
    if (!chosen) return false;
    window.Settings().particles = *chosen;
    return true;
}

// While it lives the view shows the marked copy of the image instead of the document's own
// bitmap; afterwards the document's image is shown again, which the count never touched.
class MarkedDisplay {
  public:
    MarkedDisplay(MainWindow& window, const GrayBitmap& marked) : window_(window) { Show(&marked); }
    ~MarkedDisplay() { Show(window_.Document().Bitmap()); }
    MarkedDisplay(const MarkedDisplay&) = delete;
    MarkedDisplay& operator=(const MarkedDisplay&) = delete;

  private:
    void Show(const GrayBitmap* bitmap) {
        window_.View().SetBitmap(bitmap);
        window_.View().repaint();
    }

    MainWindow& window_;
};

// Everything one export attempt needs from the count.
struct CountOutcome {
    CountMethod method;
    ParticleParams params;
    const CountResult& result;
};

// The overwrite warning for the export files of `base` that exist already. True when none exists
// or the person agrees to overwrite them.
bool MayOverwrite(Prompter& prompter, const std::string& base) {
    const std::vector<std::string> existing = ExistingExportFiles(base);
    if (existing.empty()) return true;
    const MessageRequest request{Text(OverwriteQuestionText(existing)), kExportTitle,
                                 MessageIcon::kExclamation, MessageButtons::kYesNo, Answer::kNo};
    return prompter.Message(request) == Answer::kYes;
}

// Asks for the export name until the person accepts one or cancels. The chosen name, cut at its
// extension, stays the remembered name, so a repeated dialog proposes the base name.
std::optional<std::string> ChooseExportBase(MainWindow& window) {
    std::string& remembered = window.Settings().secondBitmapFileName;
    for (;;) {
        FileRequest request;
        request.mode = FileRequest::Mode::kSave;
        request.filters = BitmapFileFilters();
        request.proposedName = QString::fromStdString(remembered);
        request.confirmOverwrite = false;  // the export asks about all three files itself
        const std::optional<QString> chosen = window.Prompt().ChooseFile(request);
        if (!chosen) return std::nullopt;
        remembered = CutAtExtension(chosen->toStdString());
        if (MayOverwrite(window.Prompt(), remembered)) return remembered;
    }
}

// The three files are written together or not at all, behind the progress dialog; a cancelled
// export leaves no file and gives kExportCancelled.
unsigned WriteExportFiles(MainWindow& window, const CountOutcome& outcome, const std::string& base) {
    ExportRequest request;
    request.basePath = base;
    request.germanNumbers = window.IsChecked(kGermanNumbersId);
    request.method = outcome.method;
    request.minGray = static_cast<uint8_t>(outcome.params.minGray);
    request.minArea = outcome.params.minArea;
    request.maxArea = outcome.params.maxArea;
    request.bitmap = &outcome.result.marked;
    request.particles = outcome.result.particles;
    unsigned failed = 0;
    const LongEnd end = RunLongOperation(window, [&](Progress* progress) {
        failed = ExportParticlesAllOrNothing(request, progress);
        return failed == 0;
    });
    return end == LongEnd::kCancelled ? unsigned{kExportCancelled} : failed;
}

// One message per file that failed, in the order .bmp, .dat, .txt.
void ReportExportFailures(Prompter& prompter, unsigned failed) {
    for (const unsigned bit : {kExportBmpFailed, kExportDatFailed, kExportTxtFailed}) {
        if ((failed & bit) != 0) ShowError(prompter, Text(ExportFailureText(bit)), kExportTitle);
    }
}

// The export of a count: name, overwrite check, the three files, and after a failure the offer
// to try again under another name.
void ExportCount(MainWindow& window, const CountOutcome& outcome) {
    window.Settings().secondBitmapFileName = ProposedExportBase(window.Document().path);
    for (;;) {
        const std::optional<std::string> base = ChooseExportBase(window);
        if (!base) return;
        const unsigned failed = WriteExportFiles(window, outcome, *base);
        if (failed == 0 || (failed & kExportCancelled) != 0) return;
        ReportExportFailures(window.Prompt(), failed);
        if (!AskYesNo(window.Prompt(), kExportRetryQuestion, kExportTitle)) return;
    }
}

// The count behind the progress dialog. None when it was cancelled or found no memory (`cancelled`
// tells which).
std::optional<CountResult> RunCount(MainWindow& window, CountMethod method, const ParticleParams& params,
                                    bool& cancelled) {
    const GrayBitmap& image = *window.Document().Bitmap();
    std::optional<CountResult> result;
    const LongEnd end = RunLongOperation(window, [&](Progress* progress) {
        result = CountAndMarkParticles(image, method, params, progress);
        return result.has_value();
    });
    cancelled = end == LongEnd::kCancelled;
    return result;
}

}  // namespace

void CountParticlesCommand(MainWindow& window, const CommandCall& call) {
    const std::optional<CountMethod> method = MethodOf(call.id);
    if (!method || !window.Document().HasDocument()) return;
    if (!AskParameters(window)) return;
    const ParticleParams params = window.Settings().particles;
    bool cancelled = false;
    const std::optional<CountResult> result = RunCount(window, *method, params, cancelled);
    if (cancelled) return;
    if (!result) {
        ShowError(window.Prompt(), kCountOutOfMemoryText, kCountTitle);
        return;
    }
    MarkedDisplay display(window, result->marked);
    if (!AskYesNo(window.Prompt(), Text(CountQuestionText(result->particles.size())), kCountTitle)) return;
    ExportCount(window, CountOutcome{*method, params, *result});
}

void GermanNumbersCommand(MainWindow& window, const CommandCall& call) {
    window.SetChecked(call.id, !window.IsChecked(call.id));
}

}  // namespace tarkemo::app
