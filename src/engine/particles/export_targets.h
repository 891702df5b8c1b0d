// Naming the three export files and the texts that go with choosing them: the proposed base
// name, the files that already exist, the overwrite question and the failure messages. The
// messages are UTF-8 for the user interface; only the files themselves are Windows-1252.
#pragma once

#include <string>
#include <vector>

namespace tarkemo {

// The path cut just before the last '.' of its file name; the file name's first character is
// never taken as that dot, and dots in folder names are never taken.
std::string CutAtExtension(const std::string& path);

// The base name the export dialog proposes: the document's path cut at its extension with "_c"
// appended, or "_c" for an image without a path.
std::string ProposedExportBase(const std::string& documentPath);

// The export files of that base that exist already, in the order .bmp, .txt, .dat.
std::vector<std::string> ExistingExportFiles(const std::string& basePath);

// The warning that lists existing files and asks whether to overwrite them (title "Daten exportieren").
std::string OverwriteQuestionText(const std::vector<std::string>& existingFiles);

// The message for one failure bit (1, 2 or 4) of an export; empty for any other value.
std::string ExportFailureText(unsigned bit);

inline constexpr const char* kExportTitle = "Daten exportieren";
inline constexpr const char* kExportRetryQuestion =
    "Wollen Sie nochmal versuchen, die Dateien unter einem anderen Namen oder Laufwerk abzuspeichern?";

}  // namespace tarkemo
