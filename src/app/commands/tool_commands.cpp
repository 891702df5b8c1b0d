#include "app/commands/tool_commands.h"

#include <algorithm>
#include <array>

#include "app/dialogs/pen_color_dlg.h"
#include "app/dialogs/select_manual_dlg.h"
#include "app/shell/command_flow.h"
#include "app/shell/main_window.h"
#include "app/view/image_view.h"
#include "document/measuring_text.h"
#include "ops/shift_origin.h"

namespace tarkemo::app {
namespace {

constexpr std::array kToolIds = {kMoveZoomToolId, kMarkingToolId, kDrawingToolId, kOriginShiftToolId};
constexpr std::array kTools = {Tool::kPanZoom, Tool::kMarking, Tool::kDrawing, Tool::kOriginShift};

uint8_t PaletteIndex(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

class MainToolClient : public ToolClient {
  public:
    explicit MainToolClient(MainWindow& window) : window_(window) {}

    Tool CurrentTool() const override {
        for (size_t i = 0; i < kToolIds.size(); ++i) {
            if (window_.IsChecked(kToolIds[i])) return kTools[i];
        }
        return Tool::kPanZoom;
    }

    PenSettings Pen() const override {
        const AppSettings& settings = window_.Settings();
        return PenSettings{settings.penSize, PaletteIndex(settings.penIndexLeft),
                           PaletteIndex(settings.penIndexRight)};
    }

    GrayBitmap* Canvas() override { return window_.Document().Bitmap(); }

    void StrokeStarting() override {
        DocumentState& document = window_.Document();
        // Without memory for the snapshot the stroke still draws; it just cannot be undone.
        TakeUndoSnapshot(document.undo, *document.Bitmap(), "Zeichnen");
        if (MarkModified(document)) window_.UpdateTitle();
    }

    void StrokeFinished() override { window_.RecomputeCommandStates(); }

    void OriginShiftRequested(int64_t a, int64_t b) override {
        RunChangingCommand(window_, "Ursprung verschieben",
                           [a, b](GrayBitmap& bitmap) { return ShiftOrigin(bitmap, a, b); });
    }

  private:
    MainWindow& window_;
};

}  // namespace

std::unique_ptr<ToolClient> MakeMainToolClient(MainWindow& window) {
    return std::make_unique<MainToolClient>(window);
}

void ChooseToolCommand(MainWindow& window, const CommandCall& call) {
    if (!window.Document().HasDocument()) return;
    for (const int id : kToolIds) window.SetChecked(id, id == call.id);
    if (call.id == kMarkingToolId) window.View().ShowToolCursor(ToolCursor::kCross);
}

void ManualMarkingCommand(MainWindow& window, const CommandCall&) {
    const GrayBitmap* bitmap = window.Document().Bitmap();
    if (bitmap == nullptr) return;
    ImageView& view = window.View();
    view.Tools().SaveMarking();
    SelectManualDlg dialog(
        view.Tools().LastManualEntry(), bitmap->width, bitmap->height,
        [&view](const Marking& marking) { view.SetMarking(marking); }, &window);
    if (window.Prompt().RunDialog(dialog) == QDialog::Accepted && dialog.Entry().valid) {
        view.SetMarking(dialog.Entry().marking);
        view.Tools().SetLastManualEntry(dialog.Entry().marking);
    } else {
        view.Tools().RestoreSavedMarking();
    }
}

void MeasureMarkingCommand(MainWindow& window, const CommandCall&) {
    const DocumentState& document = window.Document();
    if (!document.HasDocument()) return;
    const std::string text =
        MeasuringText(*document.Bitmap(), window.View().CurrentMarking(), document.grayRamp);
    window.Prompt().Message(MessageRequest{QString::fromStdString(text), "Tarkemo - Maxima zählen",
                                           MessageIcon::kInformation, MessageButtons::kOk, Answer::kOk});
}

void PenColourCommand(MainWindow& window, const CommandCall&) {
    AppSettings& settings = window.Settings();
    PenColorDlg dialog(settings.penIndexLeft, settings.penIndexRight, &window);
    if (window.Prompt().RunDialog(dialog) != QDialog::Accepted) return;
    if (const std::optional<PenColours> colours = dialog.Colours()) {
        settings.penIndexLeft = colours->left;
        settings.penIndexRight = colours->right;
    }
}

void PenSizeCommand(MainWindow& window, const CommandCall& call) {
    const CommandRow* row = FindCommand(call.id);
    if (row == nullptr || row->check != CheckRule::kPenSize) return;
    window.Settings().penSize = row->checkValue;
}

}  // namespace tarkemo::app
