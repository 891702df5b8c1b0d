#include "app/shell/file_checks.h"

#include "image/bmp_file.h"

namespace tarkemo::app {

QString MissingFileText(const QString& path) {
    return QString("Die Datei \"%1\" existiert nicht!").arg(path);
}

QString UnreadableTypeText(const QString& path) {
    return QString(
               "Die Datei \"%1\" kann nicht geöffnet werden. Tarkemo liest Windows-Bitmaps (*.bmp) und "
               "importiert DaVis-Dateien (*.imx, *.img).")
        .arg(path);
}

bool IsBitmapFileName(const QString& path) {
    return path.size() > 4 && path.endsWith(".bmp", Qt::CaseInsensitive);
}

bool RefuseMissingFile(Prompter& prompter, const std::string& path) {
    if (FileExists(path)) return false;
    ShowError(prompter, MissingFileText(QString::fromStdString(path)), kOpenErrorCaption);
    return true;
}

void RefuseUnreadableType(Prompter& prompter, const QString& path) {
    ShowError(prompter, UnreadableTypeText(path), kOpenErrorCaption);
}

}  // namespace tarkemo::app
