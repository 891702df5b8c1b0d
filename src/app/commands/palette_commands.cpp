#include "app/commands/palette_commands.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/shell/command_flow.h"
#include "app/shell/main_window.h"
#include "app/shell/wait_cursor.h"
#include "image/palette_files.h"
#include "image/palettes.h"

namespace tarkemo::app {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void ShowPaletteFileError(MainWindow& window, const PaletteFileResult& result) {
    ShowError(window.Prompt(), Text(result.message), Text(result.caption));
}

// Asks for an RGB palette file, starting from the name used last with either palette dialog, and
// remembers the chosen name. None when the dialog was cancelled.
std::optional<std::string> ChooseRgbPaletteFile(MainWindow& window, FileRequest::Mode mode) {
    std::string& remembered = window.Settings().rgbPaletteFileName;
    FileRequest request;
    request.mode = mode;
    request.filters = RgbPaletteFileFilters();
    request.proposedName = QString::fromStdString(remembered);
    // A typed name without extension becomes a palette file, never one that looks like a bitmap.
    request.defaultSuffix = "rgb";
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = window.Prompt().ChooseFile(request);
    if (!chosen) return std::nullopt;
    remembered = chosen->toStdString();
    return remembered;
}

}  // namespace

std::vector<FileFilter> RgbPaletteFileFilters() {
    return FiltersWithAllFiles("RGB-Palette (*.RGB)", "*.rgb");
}

void BuiltInPaletteCommand(MainWindow& window, const CommandCall& call) {
    const auto palettes = BuiltInPalettes();
    const auto info = std::find_if(palettes.begin(), palettes.end(),
                                   [&call](const BuiltInPaletteInfo& p) { return p.commandId == call.id; });
    if (info == palettes.end()) return;
    const BuiltInPalette palette = info->palette;
    const bool done =
        RunPaletteCommand(window, info->undoName, info->grayRampAfter, [palette](GrayBitmap& bitmap) {
            ApplyBuiltInPalette(bitmap, palette);
            return true;
        });
    // Gray values from intensity rewrites the pixels, not just the table: the document is marked
    // modified so that closing asks before the converted image is lost.
    if (done && palette == BuiltInPalette::kIntensity) FinishPixelChange(window);
}

void LoadRgbPaletteCommand(MainWindow& window, const CommandCall&) {
    if (!window.Document().HasDocument()) return;
    const std::optional<std::string> path = ChooseRgbPaletteFile(window, FileRequest::Mode::kOpen);
    if (!path) return;
    ColourTable table{};
    PaletteFileResult result;
    {
        WaitCursor wait;
        result = ReadRgbPaletteFile(*path, table);
    }
    if (!result) {
        ShowPaletteFileError(window, result);
        return;
    }
    // A loaded table counts as false colours even when it holds the gray ramp.
    RunPaletteCommand(window, kLoadRgbPaletteUndoName, false, [&table](GrayBitmap& bitmap) {
        WriteColourTable(bitmap, table);
        return true;
    });
}

void ExportRgbPaletteCommand(MainWindow& window, const CommandCall&) {
    const GrayBitmap* bitmap = window.Document().Bitmap();
    if (bitmap == nullptr) return;
    const std::optional<std::string> path = ChooseRgbPaletteFile(window, FileRequest::Mode::kSave);
    if (!path) return;
    PaletteFileResult result;
    {
        WaitCursor wait;
        result = WriteRgbPaletteFile(*bitmap, *path);
    }
    if (!result) ShowPaletteFileError(window, result);
}

}  // namespace tarkemo::app
