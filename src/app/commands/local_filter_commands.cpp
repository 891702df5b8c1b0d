#include "app/commands/local_filter_commands.h"

#include <QDialog>
#include <optional>

#include "app/dialogs/loc_op_size_dlg.h"
#include "app/shell/command_flow.h"
#include "app/shell/main_window.h"
#include "app/shell/prompter.h"
#include "app/shell/wait_cursor.h"
#include "ops/builtin_kernels.h"
#include "ops/filter_file.h"
#include "ops/linear_filter.h"
#include "ops/local_ops.h"

namespace tarkemo::app {
namespace {

constexpr int kLocalNormalizeId = 40029;

QString Text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Shows the dialog for the image; the adjustments made on opening stay even when it is cancelled.
std::optional<LocalOpSettings> AskWindow(MainWindow& window, LocalOpKind kind) {
    const GrayBitmap& image = *window.Document().Bitmap();
    LocalOpSettings& settings = window.Settings().localOps;
    AdjustLocalOpSettings(settings, kind, image.width, image.height);
    LocOpSizeDlg dialog(settings, kind, image.width, image.height, &window);
    if (window.Prompt().RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
    settings = dialog.Settings();
    return settings;
}

void ApplyFilter(MainWindow& window, const LinearFilter& filter) {
    RunLongChangingCommand(window, filter.name, [&filter](GrayBitmap& bitmap, Progress* progress) {
        return ApplyLinearFilter(bitmap, filter, progress);
    });
}

std::optional<BuiltinKernel> KernelOf(int id) {
    for (const BuiltinKernelInfo& info : BuiltinKernels()) {
        if (info.commandId == id) return info.kernel;
    }
    return std::nullopt;
}

MessageIcon IconOf(FilterMessageIcon icon) {
    return icon == FilterMessageIcon::kError ? MessageIcon::kError : MessageIcon::kExclamation;
}

// The parser's message as its box: a Yes/No question with No preselected, or an error. True when
// the filter may be applied.
bool Settle(Prompter& prompter, const FilterFileResult& result) {
    if (!result.message) return result.outcome == FilterFileOutcome::kAccepted;
    const FilterFileMessage& message = *result.message;
    const MessageButtons buttons = message.question ? MessageButtons::kYesNo : MessageButtons::kOk;
    const Answer preset = message.question ? Answer::kNo : Answer::kOk;
    const Answer answer = prompter.Message(
        MessageRequest{Text(message.text), Text(message.caption), IconOf(message.icon), buttons, preset});
    return result.outcome == FilterFileOutcome::kAskFirst && answer == Answer::kYes;
}

FilterFileResult Parse(LinearFilter& filter) {
    WaitCursor wait;
    return ParseLinearFilterFile(filter);
}

}  // namespace

void LocalOperationCommand(MainWindow& window, const CommandCall& call) {
    if (!window.Document().HasDocument()) return;
    const bool normalize = call.id == kLocalNormalizeId;
    const std::optional<LocalOpSettings> chosen =
        AskWindow(window, normalize ? LocalOpKind::kNormalize : LocalOpKind::kRank);
    if (!chosen) return;
    const LocalOpSettings s = *chosen;
    if (normalize) {
        RunLongChangingCommand(window, "Lokal normalisieren", [s](GrayBitmap& bitmap, Progress* progress) {
            return LocalNormalize(bitmap, s.windowWidth, s.windowHeight, s.rankOrContrast, s.compareWith,
                                  progress);
        });
    } else {
        RunLongChangingCommand(window, "Rangordnungsfilter", [s](GrayBitmap& bitmap, Progress* progress) {
            return RankFilter(bitmap, s.windowWidth, s.windowHeight, s.rankOrContrast, progress);
        });
    }
}

void GradientCommand(MainWindow& window, const CommandCall& /*call*/) {
    const GrayBitmap* image = window.Document().Bitmap();
    // Below 3 x 3 there is no gradient to take; the command then changes nothing at all.
    if (image == nullptr || image->width < 3 || image->height < 3) return;
    RunLongChangingCommand(window, "Gradientenfilter", [](GrayBitmap& bitmap, Progress* progress) {
        return GradientFilter(bitmap, progress);
    });
}

void BuiltinKernelCommand(MainWindow& window, const CommandCall& call) {
    const std::optional<BuiltinKernel> kernel = KernelOf(call.id);
    if (!kernel || !window.Document().HasDocument()) return;
    LinearFilter filter;
    if (!FillBuiltinKernel(*kernel, filter)) return;
    window.Settings().linearFilterPath.clear();
    ApplyFilter(window, filter);
}

void FilterFileCommand(MainWindow& window, const CommandCall& /*call*/) {
    if (!window.Document().HasDocument()) return;
    std::string& remembered = window.Settings().linearFilterPath;
    FileRequest request;
    request.mode = FileRequest::Mode::kOpen;
    request.filters = FiltersWithAllFiles("Lineare Filter-Dateien (*.LFT)", "*.lft");
    request.proposedName = QString::fromStdString(remembered);
    const std::optional<QString> chosen = window.Prompt().ChooseFile(request);
    if (!chosen) return;
    remembered = chosen->toStdString();
    LinearFilter filter;
    filter.path = remembered;
    const FilterFileResult result = Parse(filter);
    if (!Settle(window.Prompt(), result)) return;
    ApplyFilter(window, filter);
}

}  // namespace tarkemo::app
