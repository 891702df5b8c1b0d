// The editor's file and clipboard commands: .FFT files of the three fields, the working bitmap
// as a BMP file or on the clipboard, and the filter imported from a bitmap.
#include <optional>
#include <string>
#include <utility>

#include "app/shell/clipboard_adapter.h"
#include "app/shell/prompter.h"
#include "app/spectrum_editor/editor_commands.h"
#include "app/spectrum_editor/filter_spect_dlg.h"
#include "image/bmp_file.h"
#include "spectrum/filter_constructions.h"
#include "spectrum/frequency_file.h"

namespace tarkemo::app {
namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

// Asks for a file of `filters`, starting from and updating the remembered name.
std::optional<std::string> ChooseFile(FilterSpectDlg& editor, FileRequest::Mode mode,
                                      std::vector<FileFilter> filters, const QString& suffix,
                                      std::string& remembered) {
    FileRequest request;
    request.mode = mode;
    request.filters = std::move(filters);
    request.defaultSuffix = suffix;
    request.proposedName = QString::fromStdString(remembered);
    const std::optional<QString> chosen = editor.Prompt().ChooseFile(request);
    if (!chosen) return std::nullopt;
    remembered = chosen->toStdString();
    return remembered;
}

std::optional<std::string> ChooseFrequencyFile(FilterSpectDlg& editor, FileRequest::Mode mode) {
    return ChooseFile(editor, mode, FiltersWithAllFiles("Frequenz-Filter-Dateien (*.FFT)", "*.fft"), "fft",
                      editor.Memory().fftFileName);
}

std::optional<std::string> ChooseBitmapFile(FilterSpectDlg& editor, FileRequest::Mode mode) {
    return ChooseFile(editor, mode, FiltersWithAllFiles("Windows-Bitmap (*.BMP)", "*.bmp"), "bmp",
                      editor.Memory().bmpFileName);
}

// Loads a .FFT file into the spectrum (40066) or the filter (40089). The filtered arrays take the
// file first; only a complete read hands them over to the target.
void LoadField(FilterSpectDlg& editor, bool spectrum) {
    const std::optional<std::string> path = ChooseFrequencyFile(editor, FileRequest::Mode::kOpen);
    if (!path) return;
    SpectrumContext& context = editor.Context();
    const FrequencyFileResult result = ReadFrequencyFile(
        *path, context.filteredRe.get(), context.filteredIm.get(), context.width, context.height);
    if (result == FrequencyFileResult::kOk) {
        FloatArray& re = spectrum ? context.spectrumRe : context.filterRe;
        FloatArray& im = spectrum ? context.spectrumIm : context.filterIm;
        std::swap(re, context.filteredRe);
        std::swap(im, context.filteredIm);
    } else {
        ShowError(editor.Prompt(), Text(FrequencyLoadMessage(result)), Text(kFrequencyLoadTitle));
        if (result != FrequencyFileResult::kTruncatedData) return;
    }
    editor.Render(true);
}

void SaveField(FilterSpectDlg& editor, ConstComplexField field) {
    const std::optional<std::string> path = ChooseFrequencyFile(editor, FileRequest::Mode::kSave);
    if (!path) return;
    if (!WriteFrequencyFile(*path, field.re, field.im, field.width, field.height)) {
        ShowError(editor.Prompt(), Text(kFrequencySaveErrorText), Text(kFrequencySaveTitle));
    }
}

FilterImportPart ImportPart(int id) {
    switch (id) {
        case 40093:
        case 40096:
            return FilterImportPart::kReal;
        case 40094:
        case 40097:
            return FilterImportPart::kImaginary;
        default:
            return FilterImportPart::kWhole;
    }
}

void ShowImportError(FilterSpectDlg& editor, const char* text) {
    ShowError(editor.Prompt(), Text(text), Text(kFilterImportTitle));
}

}  // namespace

void EditorFrequencyFileCommand(FilterSpectDlg& editor, int id) {
    SpectrumContext& context = editor.Context();
    switch (id) {
        case 40066:
            return LoadField(editor, true);
        case 40089:
            return LoadField(editor, false);
        case 40067:
            return SaveField(editor, context.Spectrum());
        case 40085:
            return SaveField(editor, context.Filtered());
        case 40090:
            return SaveField(editor, context.Filter());
        default:
            return;
    }
}

void EditorBitmapCommand(FilterSpectDlg& editor, int id) {
    const GrayBitmap& working = editor.Context().working;
    if (id == 40087) {
        CopyToClipboard(working, editor.CurrentMarking());
        return;
    }
    const std::optional<std::string> path = ChooseBitmapFile(editor, FileRequest::Mode::kSave);
    if (path) WriteBmpFile(working, *path);
}

void EditorImportCommand(FilterSpectDlg& editor, int id) {
    std::optional<LoadedBitmap> loaded;
    if (id >= 40095) {
        loaded = PasteFromClipboard();
    } else {
        const std::optional<std::string> path = ChooseBitmapFile(editor, FileRequest::Mode::kOpen);
        if (!path) return;
        loaded = ReadBmpFile(*path);
    }
    if (!loaded) return ShowImportError(editor, kFilterImportReadErrorText);
    if (!ImportFilterBitmap(editor.Context().Filter(), loaded->bitmap, ImportPart(id))) {
        return ShowImportError(editor, kFilterImportSizeErrorText);
    }
    editor.Render(true);
}

}  // namespace tarkemo::app
