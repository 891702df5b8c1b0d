// The start-up command named by the command line: a path ending in ".BMP" is opened (40167), one
// ending in ".IMG" or ".IMX" imported (40170); any other text starts the program without a file.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tarkemo::app {

struct StartupCommand {
    int id = 0;
    QString path;
};

// The whole argument text: the arguments after the program name joined by blanks, as one
// path with blanks arrives when it was not quoted.
QString ArgumentText(const QStringList& arguments);

// One leading double quote is skipped, then one trailing double quote cut. A remaining text longer
// than 4 characters whose last 4 are ".BMP", ".IMG" or ".IMX" (any case) names the command.
std::optional<StartupCommand> StartupCommandFor(const QString& argumentText);

}  // namespace tarkemo::app
