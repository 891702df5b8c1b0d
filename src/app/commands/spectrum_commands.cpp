#include "app/commands/spectrum_commands.h"

#include <QDialog>
#include <cstring>
#include <optional>

#include "app/dialogs/bitmap_size_dlg.h"
#include "app/shell/command_flow.h"
#include "app/shell/long_operation.h"
#include "app/shell/main_window.h"
#include "app/shell/prompter.h"
#include "app/shell/wait_cursor.h"
#include "app/spectrum_editor/filter_spect_dlg.h"
#include "app/spectrum_editor/inverse_fft_dlg.h"
#include "app/view/image_view.h"
#include "spectrum/inverse_result.h"
#include "spectrum/spectrum_size.h"

namespace tarkemo::app {
namespace {

constexpr const char* kSpectrumQuestionTitle = "Tarkemo - Spektrum berechnen";
constexpr const char* kAutomaticSizeQuestion =
    "Die Größe eines berechneten Spektrums wird nun je nach Größe der jeweils aktuellen Bitmap automatisch "
    "festgelegt. Dabei wird für die Breite bzw. Höhe des Spektrums die anderthalbfache Breite bzw. Höhe der "
    "aktuellen Bitmap auf die nächst größere Zweierpotenz erweitert und der entstehende Rand mit Nullen "
    "aufgefüllt.\n\nWollen Sie nun das Spektrum für die aktuelle Bitmap berechnen?";

constexpr const char* kManualSizeQuestion =
    "Die Parameter für die Berechnung des Spektrums wurden geändert und gespeichert. Sie werden so lange "
    "verwendet, bis Sie diese erneut ändern oder den Menüeintrag 'Größe automatisch festlegen' "
    "auswählen.\n\nWollen Sie nun das Spektrum für die aktuelle Bitmap berechnen?";

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

void ShowInformation(Prompter& prompter, const char* text, const char* caption) {
    prompter.Message(MessageRequest{Text(text), Text(caption), MessageIcon::kInformation, MessageButtons::kOk,
                                    Answer::kOk});
}

// The grid for the current image by the chosen rule; none, after the message, when the manual
// size does not hold the image.
std::optional<SpectrumLayout> LayoutFor(MainWindow& window) {
    const GrayBitmap& bitmap = *window.Document().Bitmap();
    const AppSettings& settings = window.Settings();
    if (!settings.spectrumEditor.manualSize) return AutomaticSpectrumLayout(bitmap.width, bitmap.height);
    SpectrumSizeError error = SpectrumSizeError::kNone;
    std::optional<SpectrumLayout> layout =
        ManualSpectrumLayout(settings.spectrumSize, bitmap.width, bitmap.height, error);
    if (error == SpectrumSizeError::kTooSmall) {
        ShowInformation(window.Prompt(), kSpectrumSizeErrorText, kSpectrumSizeErrorTitle);
    } else if (error == SpectrumSizeError::kOffsetTooLarge) {
        ShowInformation(window.Prompt(), kSpectrumOffsetErrorText, kSpectrumOffsetErrorTitle);
    }
    return layout;
}

// The inverse dialog's preview: the result of the settings written into the document's bitmap.
class DocumentInversePreview final : public InversePreview {
  public:
    DocumentInversePreview(MainWindow& window, SpectrumContext& context)
        : window_(window), context_(context) {}
    void ShowInverse(const InverseSettings& settings) override {
        ApplyInverseResult(context_, settings);
        window_.View().repaint();
    }

  private:
    MainWindow& window_;
    SpectrumContext& context_;
};

// The inverse dialog on the back-transformed context. The working bitmap keeps the earlier
// pixels: cancel restores them, OK hands them to the undo snapshot. True after OK.
bool RunInverseDialog(MainWindow& window, SpectrumContext& context) {
    GrayBitmap& bitmap = *context.source;
    std::memcpy(context.working.pixels.data(), bitmap.pixels.data(), bitmap.ByteCount());
    DocumentInversePreview preview(window, context);
    std::optional<InverseSettings> settings;
    {
        InverseFFTDlg dialog(preview, &window);
        if (window.Prompt().RunDialog(dialog) == QDialog::Accepted) settings = dialog.Settings();
    }
    if (!settings) {
        std::memcpy(bitmap.pixels.data(), context.working.pixels.data(), bitmap.ByteCount());
        window.View().BitmapChanged();
        return false;
    }
    TakeUndoSnapshot(window.Document().undo, bitmap, context.working.pixels.data(), "Spektrum bearbeiten");
    ApplyInverseResult(context, *settings);
    return true;
}

}  // namespace

void EditSpectrumCommand(MainWindow& window, const CommandCall&) {
    if (!window.Document().HasDocument()) return;
    const std::optional<SpectrumLayout> layout = LayoutFor(window);
    if (!layout) return;
    std::optional<SpectrumContext> context;
    {
        WaitCursor wait;
        context = CreateSpectrumContext(*window.Document().Bitmap(), *layout);
        if (context) TransformSpectrumForward(*context);
    }
    if (!context) {
        ShowError(window.Prompt(), Text(kSpectrumNoMemoryText), Text(kSpectrumEditTitle));
        return;
    }
    {
        FilterSpectDlg editor(*context, window.Settings().spectrumEditor, window.Prompt(), &window.Info(),
                              &window.Clipboard(), &window);
        if (window.Prompt().RunDialog(editor) != QDialog::Accepted) return;
    }
    {
        WaitCursor wait;
        FinishSpectrumEditing(*context);
    }
    if (RunInverseDialog(window, *context)) FinishPixelChange(window);
}

void ManualSpectrumSizeCommand(MainWindow& window, const CommandCall&) {
    AppSettings& settings = window.Settings();
    {
        BitmapSizeDlg dialog(settings.spectrumSize, std::nullopt, window.Prompt(), &window);
        if (window.Prompt().RunDialog(dialog) != QDialog::Accepted) return;
        settings.spectrumSize = dialog.Settings();
    }
    settings.spectrumEditor.manualSize = true;
    window.SetChecked(kSpectrumAutoSizeId, false);
    window.SetChecked(kSpectrumManualSizeId, true);
    if (!window.Document().HasDocument()) return;
    const GrayBitmap& bitmap = *window.Document().Bitmap();
    SpectrumSizeError error = SpectrumSizeError::kNone;
    // A grid that does not hold the image is reported when the spectrum is computed, not here.
    if (!ManualSpectrumLayout(settings.spectrumSize, bitmap.width, bitmap.height, error)) return;
    if (AskYesNo(window.Prompt(), Text(kManualSizeQuestion), Text(kSpectrumQuestionTitle))) {
        window.Dispatch(kSpectrumEditId);
    }
}

void AutomaticSpectrumSizeCommand(MainWindow& window, const CommandCall&) {
    window.Settings().spectrumEditor.manualSize = false;
    window.SetChecked(kSpectrumAutoSizeId, true);
    window.SetChecked(kSpectrumManualSizeId, false);
    if (!window.Document().HasDocument()) return;
    if (AskYesNo(window.Prompt(), Text(kAutomaticSizeQuestion), Text(kSpectrumQuestionTitle))) {
        window.Dispatch(kSpectrumEditId);
    }
}

}  // namespace tarkemo::app
