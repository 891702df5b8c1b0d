// The shell's own commands: open, open at start, save, save as, exit, undo and the about box.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/shell/commands.h"
#include "app/shell/prompter.h"

namespace tarkemo::app {

void OpenCommand(MainWindow& window, const CommandCall& call);         // 40001
void OpenAtStartCommand(MainWindow& window, const CommandCall& call);  // 40167, argument = file name
void SaveCommand(MainWindow& window, const CommandCall& call);         // 40003
void SaveAsCommand(MainWindow& window, const CommandCall& call);       // 40004
void ExitCommand(MainWindow& window, const CommandCall& call);         // 40005
void UndoCommand(MainWindow& window, const CommandCall& call);         // 40008
void AboutCommand(MainWindow& window, const CommandCall& call);        // 40017

// The first steps of every command that replaces the document from a file: the question over a
// modified document, then the open dialog with the filters, proposing the document's path.
// None when the person says No or cancels.
std::optional<std::string> ChooseFileToReplaceDocument(MainWindow& window, std::vector<FileFilter> filters);

// The question asked before the document is replaced while it holds unsaved changes.
inline constexpr const char* kOpenOverModifiedText =
    "Die Datei wurde bearbeitet und noch nicht gespeichert! Wollen Sie wirklich eine andere Datei öffnen?";
inline constexpr const char* kCloseModifiedText =
    "Die Datei wurde bearbeitet und noch nicht gespeichert! Wollen Sie Tarkemo wirklich beenden?";
inline constexpr const char* kSaveFailedText =
    "Speichern gescheitert! Überprüfen Sie den Dateinamen bzw. den freien Datenträgerspeicher!";

}  // namespace tarkemo::app
