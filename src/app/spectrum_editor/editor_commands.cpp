#include "app/spectrum_editor/editor_commands.h"

#include <optional>
#include <string>

#include "app/dialogs/select_manual_dlg.h"
#include "app/shell/prompter.h"
#include "app/spectrum_editor/editor_menu.h"
#include "app/spectrum_editor/filter_spect_dlg.h"
#include "app/spectrum_editor/input_number_dlg.h"
#include "image/palette_files.h"
#include "image/palettes.h"

namespace tarkemo::app {
namespace {

int RowValue(int id) {
    const EditorRow* row = FindEditorRow(id);
    return row == nullptr ? 0 : row->value;
}

// Asks for the power-law exponent; false when cancelled.
bool AskExponent(FilterSpectDlg& editor) {
    NumberRequest request;
    request.prompt = "Bitte geben Sie einen Exponenten (zwischen 0 und 1) an:";
    request.firstLabel = "Exponenten:";
    request.first = editor.Memory().exponent;
    request.firstNotNegative = true;
    request.firstPositive = true;
    InputNumberDlg dialog(request, &editor);
    if (editor.Prompt().RunDialog(dialog) != QDialog::Accepted) return false;
    editor.Memory().exponent = request.first;
    editor.ViewSettings().exponent = request.first;
    return true;
}

void LoadPaletteFile(FilterSpectDlg& editor) {
    FileRequest request;
    request.filters = FiltersWithAllFiles("RGB-Palette (*.RGB)", "*.rgb");
    request.defaultSuffix = "rgb";
    request.proposedName = QString::fromStdString(editor.Memory().rgbFileName);
    const std::optional<QString> chosen = editor.Prompt().ChooseFile(request);
    if (!chosen) return;
    editor.Memory().rgbFileName = chosen->toStdString();
    ColourTable table;
    const PaletteFileResult result = ReadRgbPaletteFile(editor.Memory().rgbFileName, table);
    if (!result.ok) {
        ShowError(editor.Prompt(), "RGB-Palette einladen fehlgeschlagen! Falsches Dateiformat?",
                  "Fehler beim Einladen der RGB-Palette");
        return;
    }
    WriteColourTable(editor.Context().working, table);
}

}  // namespace

void EditorFieldCommand(FilterSpectDlg& editor, int id) {
    editor.ViewSettings().field = static_cast<SpectrumViewField>(RowValue(id));
    editor.Render(false);
}

void EditorQuantityCommand(FilterSpectDlg& editor, int id) {
    editor.ViewSettings().quantity = static_cast<SpectrumQuantity>(RowValue(id));
    editor.Render(false);
}

void EditorScaleCommand(FilterSpectDlg& editor, int id) {
    const auto scale = static_cast<SpectrumScale>(RowValue(id));
    if (scale == SpectrumScale::kPowerLaw && !AskExponent(editor)) return;
    editor.ViewSettings().scale = scale;
    editor.Render(false);
}

void EditorPaletteCommand(FilterSpectDlg& editor, int id) {
    GrayBitmap& working = editor.Context().working;
    if (id == 40105) {
        SetGrayRamp(working);
    } else if (id == 40108) {
        ApplyRainbowPalette(working);
    } else {
        LoadPaletteFile(editor);
    }
    editor.BitmapChanged();
}

void EditorToolCommand(FilterSpectDlg& editor, int id) {
    editor.SetTool(id);
}

void EditorManualMarkingCommand(FilterSpectDlg& editor, int) {
    const SpectrumContext& context = editor.Context();
    const Marking before = editor.CurrentMarking();
    SelectManualDlg dialog(
        editor.Memory().lastManualEntry, context.width, context.height,
        [&editor](const Marking& marking) { editor.SetMarking(marking); }, &editor, ManualMode::kSpectrum);
    if (editor.Prompt().RunDialog(dialog) == QDialog::Accepted && dialog.Entry().valid) {
        editor.SetMarking(dialog.Entry().marking);
        editor.Memory().lastManualEntry = dialog.Entry().marking;
    } else {
        editor.SetMarking(before);
    }
}

void EditorPenCommand(FilterSpectDlg& editor, int id) {
    editor.SetPenSize(RowValue(id));
}

void EditorCloseCommand(FilterSpectDlg& editor, int id) {
    if (id == kEditorFinishId) {
        editor.accept();
    } else {
        editor.reject();
    }
}

}  // namespace tarkemo::app
