// The command table: one row per command of the main menu with its id, popup, text, keyboard
// label and shortcut, handler, and the rules that enable it and set its check mark. The menu bar,
// the shortcuts and every enabled and checked state are built from this table and nothing else.
#pragma once

#include <QString>
#include <cstdint>
#include <span>

namespace tarkemo::app {

class MainWindow;

inline constexpr int kUndoCommandId = 40008;
inline constexpr int kMoveZoomToolId = 40027;

// One request to run a command. The argument carries the file name of the start-up commands.
struct CommandCall {
    int id = 0;
    QString argument;
};

// A command's handler. Handlers never enable or disable anything: MainWindow recomputes every
// state from the table after each command.
using CommandHandler = void (*)(MainWindow& window, const CommandCall& call);

enum class MenuId {
    kFile,
    kTools,
    kPen,
    kMirror,
    kRotate,
    kPalette,
    kCompute,
    kBitOps,
    kPointOps,
    kLocalOps,
    kGlobalOps,
    kParticles,
    kHelp,
    kReserved,  // commands that exist but are never shown in the menu bar
};

struct MenuPopup {
    MenuId id;
    MenuId parent;  // equal to id for a popup of the menu bar itself
    const char* text;
};

enum class EnableRule {
    kAlways,
    kDocument,             // a document exists
    kDocumentWithPath,     // a document exists and has a file name
    kGrayRampDocument,     // a document whose colour table is the gray ramp
    kFalseColourDocument,  // a document whose colour table is not the gray ramp
    kUndoAvailable,        // the undo snapshot matches the current image
    kClipboardImage,       // the clipboard offers an image of any kind
    kClipboardOperand,     // a document and an 8-bit clipboard image of exactly its size
};

enum class CheckRule {
    kNone,     // not checkable
    kOwnMark,  // the command sets its own mark; checkValue 1 = checked at start
    kPenSize,  // checked while the pen size equals checkValue
};

struct CommandRow {
    int id;
    MenuId menu;
    const char* text;        // menu text with its "&"
    const char* label;       // keyboard label shown right-aligned in the menu, "" for none
    const char* key;         // shortcut in portable form ("Ctrl+O"), nullptr for none
    CommandHandler handler;  // nullptr: the command does nothing yet
    EnableRule enable;
    CheckRule check;
    int checkValue;
    bool separatorAfter;
};

std::span<const CommandRow> CommandTable();
std::span<const MenuPopup> MenuPopups();

// The row of `id`, or nullptr for an id the table does not know.
const CommandRow* FindCommand(int id);
const MenuPopup* FindPopup(MenuId id);

// Everything the enable and check rules read.
struct MenuStateInput {
    bool hasDocument = false;
    bool hasPath = false;
    bool grayRamp = false;
    bool undoMatches = false;
    bool clipboardHasImage = false;
    int32_t documentWidth = 0;
    int32_t documentHeight = 0;
    int32_t clipboardWidth = 0;  // 0 x 0 unless the clipboard holds an 8-bit image
    int32_t clipboardHeight = 0;
    int penSize = 0;
};

bool RuleEnables(EnableRule rule, const MenuStateInput& input);

// The check mark a row shows: its own recorded mark for kOwnMark, the pen size for kPenSize.
bool RuleChecks(const CommandRow& row, const MenuStateInput& input, bool ownMark);

// The menu text of a row with its keyboard label after a tab, as QAction shows it.
QString MenuEntryText(const CommandRow& row);

}  // namespace tarkemo::app
