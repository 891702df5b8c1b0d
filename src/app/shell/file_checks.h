// Names refused before anything is read: a file that does not exist, and a start-up name that is
// neither a bitmap nor a DaVis file. Both messages name the file, so that a mistyped name is told
// apart from a file in the wrong format.
#pragma once

#include <QString>
#include <string>

#include "app/shell/prompter.h"

namespace tarkemo::app {

// 'Die Datei "<path>" existiert nicht!', the wording of tarkemo-cli.
QString MissingFileText(const QString& path);

// The message for a start-up name the program cannot read; it names the formats it reads.
QString UnreadableTypeText(const QString& path);

// True when `path` is longer than its ending and ends in ".bmp" (any case).
bool IsBitmapFileName(const QString& path);

// Shows the missing-file message when nothing of that name exists. True when it was missing.
bool RefuseMissingFile(Prompter& prompter, const std::string& path);

// Shows UnreadableTypeText for `path`.
void RefuseUnreadableType(Prompter& prompter, const QString& path);

inline constexpr const char* kOpenErrorCaption = "Tarkemo - Fehler beim Öffnen";

}  // namespace tarkemo::app
