#include "particles/export_targets.h"

#include <sys/stat.h>

#include "particles/export.h"

namespace tarkemo {
namespace {

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string CutAtExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= nameStart) return path;
    return path.substr(0, dot);
}

std::string ProposedExportBase(const std::string& documentPath) {
    return CutAtExtension(documentPath) + "_c";
}

std::vector<std::string> ExistingExportFiles(const std::string& basePath) {
    std::vector<std::string> existing;
    for (const char* extension : {".bmp", ".txt", ".dat"}) {
        if (Exists(basePath + extension)) existing.push_back(basePath + extension);
    }
    return existing;
}

std::string OverwriteQuestionText(const std::vector<std::string>& existingFiles) {
    std::string text =
        "Achtung: Es werden mehrere Dateien (mit jeweils verschiedenen Dateiendungen) exportiert.\n"
        "Allerdings existieren die folgenden Dateien bereits:\n\n";
    for (const std::string& file : existingFiles) text += "     " + file + "\n";
    return text + "\nSollen diese Dateien wirklich überschrieben werden?";
}

std::string ExportFailureText(unsigned bit) {
    switch (bit) {
        case kExportBmpFailed:
            return "Fehler beim Speichern der '.bmp'-Datei!";
        case kExportDatFailed:
            return "Fehler beim Speichern der '.dat'-Datei!";
        case kExportTxtFailed:
            return "Fehler beim Speichern der '.txt'-Datei!";
        default:
            return {};
    }
}

}  // namespace tarkemo
