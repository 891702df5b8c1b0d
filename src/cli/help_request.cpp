#include "cli/help_request.h"

#include <cstdio>
#include <string>

#include "cli/cli_common.h"
#include "cli/help.h"
#include "tarkemo_version.h"

namespace tarkemo::cli {
namespace {

bool IsHelpFlag(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

// "--help" or "-h" among the options and arguments of a command, up to a "--".
bool AsksForHelp(Arguments args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (IsHelpFlag(arg)) return true;
    }
    return false;
}

int Print(std::FILE* stream, const std::string& text, int status) {
    std::fputs(text.c_str(), stream);
    return status;
}

std::string CommandNames() {
    std::string names;
    for (const CommandDef& command : AllCommands()) {
        names += ' ';
        names += command.name;
    }
    return names;
}

int UnknownCommand(const std::string& name) {
    return Print(
        stderr,
        "Unbekannter Befehl: " + name + "\nBefehle:" + CommandNames() + "\nMehr dazu: tarkemo-cli --help\n",
        kBadUsage);
}

// help [COMMAND]
int AnswerHelpCommand(Arguments args) {
    if (args.empty()) return Print(stdout, OverviewText(), kDone);
    const CommandDef* command = FindCommand(args[0]);
    if (!command) return UnknownCommand(args[0]);
    if (args.size() > 1) return Print(stderr, "Aufruf: tarkemo-cli help [BEFEHL]\n", kBadUsage);
    return Print(stdout, CommandHelpText(command->help()), kDone);
}

}  // namespace

std::optional<int> AnswerHelpRequest(Arguments args) {
    if (args.empty()) return Print(stderr, OverviewText(), kBadUsage);
    const std::string& first = args[0];
    if (IsHelpFlag(first)) return Print(stdout, OverviewText(), kDone);
    if (first == "help") return AnswerHelpCommand(args.subspan(1));
    if (first == "--version") return Print(stdout, "tarkemo-cli " + std::string(kVersion) + "\n", kDone);
    const CommandDef* command = FindCommand(first);
    if (!command) return UnknownCommand(first);
    if (AsksForHelp(args.subspan(1))) return Print(stdout, CommandHelpText(command->help()), kDone);
    return std::nullopt;
}

int RunCommand(const CommandDef& command, Arguments args) {
    const int status = command.run(args);
    if (status == kBadUsage) std::fputs(UsageHint(command.help()).c_str(), stderr);
    return status;
}

}  // namespace tarkemo::cli
