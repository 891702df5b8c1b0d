#include "app/commands/combine_commands.h"

#include <array>
#include <optional>

#include "app/shell/clipboard_adapter.h"
#include "app/shell/command_flow.h"
#include "app/shell/main_window.h"
#include "app/shell/prompter.h"
#include "app/shell/wait_cursor.h"
#include "image/bmp_file.h"
#include "ops/combine.h"

namespace tarkemo::app {
namespace {

struct CombineCommand {
    int fileId;
    int clipboardId;
    CombineOp op;
    const char* undoLabel;
};

constexpr std::array<CombineCommand, 8> kCombineCommands{{
    {40139, 40142, CombineOp::And, "AND mit anderer Bitmap"},
    {40140, 40143, CombineOp::Or, "OR mit anderer Bitmap"},
    {40141, 40144, CombineOp::Xor, "XOR mit anderer Bitmap"},
    {40046, 40050, CombineOp::Add, "Andere Bitmap addieren"},
    {40048, 40052, CombineOp::Mix, "Mit anderer Bitmap mischen"},
    {40045, 40049, CombineOp::Subtract, "Andere Bitmap subtrahieren"},
    {40054, 40055, CombineOp::SubtractFrom, "Andere Bitmap subtrahieren"},
    {40047, 40051, CombineOp::Multiply, "Mit anderer Bitmap multiplizieren"},
}};

constexpr const char* kOpenErrorCaption = "Tarkemo - Fehler beim Öffnen";
constexpr const char* kNotGrayText =
    "Achtung: Die ausgewählte Bitmap besteht nicht nur aus Graustufen!\nGerechnet wird nur mit den "
    "Palettenindizes und NICHT mit den tatsächlichen Farben!\n\nWollen Sie trotzdem fortfahren?";
constexpr const char* kSizeMismatchText =
    "Die beiden Bitmaps haben unterschiedliche Größen! Addition, Subtraktion usw. dieser Bitmaps ist daher "
    "nicht möglich!";

const CombineCommand* Find(int id) {
    for (const CombineCommand& command : kCombineCommands) {
        if (command.fileId == id || command.clipboardId == id) return &command;
    }
    return nullptr;
}

void Warn(Prompter& prompter, const QString& text, const QString& caption) {
    prompter.Message(
        MessageRequest{text, caption, MessageIcon::kExclamation, MessageButtons::kOk, Answer::kOk});
}

// The checks of the second image, then the combination under the command's undo label.
void CombineWith(MainWindow& window, const CombineCommand& command, std::optional<LoadedBitmap> other,
                 const QString& notGrayCaption) {
    Prompter& prompter = window.Prompt();
    if (!other) {
        Warn(prompter, kBmpReadErrorText, kOpenErrorCaption);
        return;
    }
    if (!other->grayRamp) {
        const MessageRequest question{kNotGrayText, notGrayCaption, MessageIcon::kExclamation,
                                      MessageButtons::kYesNo, Answer::kYes};
        if (prompter.Message(question) != Answer::kYes) return;
    }
    const GrayBitmap& current = *window.Document().Bitmap();
    if (other->bitmap.width != current.width || other->bitmap.height != current.height) {
        Warn(prompter, kSizeMismatchText, kOpenErrorCaption);
        return;
    }
    const GrayBitmap& operand = other->bitmap;
    const CombineOp op = command.op;
    RunChangingCommand(window, command.undoLabel,
                       [&operand, op](GrayBitmap& bitmap) { return CombineWithOther(bitmap, operand, op); });
}

std::optional<LoadedBitmap> ReadOperand(const std::string& path) {
    WaitCursor wait;
    return ReadBmpFile(path);
}

}  // namespace

void CombineWithFileCommand(MainWindow& window, const CommandCall& call) {
    const CombineCommand* command = Find(call.id);
    if (command == nullptr || !window.Document().HasDocument()) return;
    std::string& remembered = window.Settings().secondBitmapFileName;
    FileRequest request;
    request.mode = FileRequest::Mode::kOpen;
    request.filters = BitmapFileFilters();
    request.proposedName = QString::fromStdString(remembered);
    const std::optional<QString> chosen = window.Prompt().ChooseFile(request);
    if (!chosen) return;
    remembered = chosen->toStdString();
    CombineWith(window, *command, ReadOperand(remembered), "Bild einladen - Keine Graustufen");
}

void CombineWithClipboardCommand(MainWindow& window, const CommandCall& call) {
    const CombineCommand* command = Find(call.id);
    if (command == nullptr || !window.Document().HasDocument()) return;
    CombineWith(window, *command, PasteFromClipboard(), "Bild aus Zwischenablage - Keine Graustufen");
}

}  // namespace tarkemo::app
