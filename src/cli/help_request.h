// Answers the questions tarkemo-cli gets before any command runs: --help, -h and help (the
// overview), COMMAND --help, help COMMAND, --version, and calls without or with an unknown command.
#pragma once

#include <optional>

#include "cli/commands.h"

namespace tarkemo::cli {

// The exit status when the arguments (those after the program name) were such a question and
// have been answered; none when args[0] names a command that should run.
std::optional<int> AnswerHelpRequest(Arguments args);

// Runs the command; on wrong usage (exit status 2) names its usage on stderr after the message.
int RunCommand(const CommandDef& command, Arguments args);

}  // namespace tarkemo::cli
