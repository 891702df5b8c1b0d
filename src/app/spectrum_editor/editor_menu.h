// The spectrum editor's own menu as a table: one row per command with its popup, text, the
// group of exclusive check marks it belongs to and its handler. The editor builds its menu bar
// from this table; none of its commands has a shortcut or reaches the main window.
#pragma once

#include <span>

namespace tarkemo::app {

class FilterSpectDlg;

enum class EditorMenu {
    kFile,
    kView,
    kPalette,
    kTools,
    kPen,
    kFilter,
    kImport,
    kPassInside,
    kPassOutside,
    kHighPass,
    kLowPass,
};

struct EditorPopup {
    EditorMenu id;
    EditorMenu parent;  // equal to id for a popup of the menu bar itself
    const char* text;
};

// The exclusive check-mark groups; a row's value is what it selects within its group.
enum class EditorGroup { kNone, kField, kQuantity, kScale, kTool, kPen };

using EditorHandler = void (*)(FilterSpectDlg& editor, int id);

struct EditorRow {
    int id;
    EditorMenu menu;
    const char* text;
    EditorGroup group;
    int value;  // within the group: field, quantity, scale, tool id or pen size
    EditorHandler handler;
    bool separatorAfter;
};

std::span<const EditorRow> EditorMenuTable();
std::span<const EditorPopup> EditorPopups();
const EditorRow* FindEditorRow(int id);
const EditorPopup* FindEditorPopup(EditorMenu id);

// The three clipboard imports, enabled only while the clipboard holds a bitmap of the grid's size.
bool IsClipboardImport(int id);

}  // namespace tarkemo::app
