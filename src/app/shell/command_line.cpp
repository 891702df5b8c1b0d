#include "app/shell/command_line.h"

namespace tarkemo::app {

QString ArgumentText(const QStringList& arguments) {
    return arguments.mid(1).join(' ');
}

std::optional<StartupCommand> StartupCommandFor(const QString& argumentText) {
    QString text = argumentText;
    if (text.startsWith('"')) text.remove(0, 1);
    if (text.endsWith('"')) text.chop(1);
    if (text.isEmpty()) return std::nullopt;
    const QString ending = text.right(4).toUpper();
    if (text.size() > 4 && (ending == ".IMG" || ending == ".IMX")) return StartupCommand{40170, text};
    // Open-at-start also answers every other name, with a message when it is not a bitmap.
    return StartupCommand{40167, text};
}

}  // namespace tarkemo::app
