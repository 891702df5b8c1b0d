// The start-up command named by the command line: a path ending in ".IMG" or ".IMX" is imported
// (40170), any other is opened (40167), which refuses a name that is not a bitmap with a message
// naming the formats the program reads. An empty command line starts the program without a file.
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
// than 4 characters whose last 4 are ".IMG" or ".IMX" (any case) names 40170, any other non-empty
// text 40167; none for an empty text.
std::optional<StartupCommand> StartupCommandFor(const QString& argumentText);

}  // namespace tarkemo::app
