// The commands of tarkemo-cli. Each takes the arguments after its own name and returns the exit status.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tarkemo::cli {

using Arguments = std::span<const std::string>;

struct CommandHelp;

struct CommandDef {
    std::string_view name;
    const CommandHelp& (*help)();  // synopsis, options and steps (help.h)
    int (*run)(Arguments args);
};

int RunInfo(Arguments args);
int RunConvert(Arguments args);
int RunApply(Arguments args);
int RunCount(Arguments args);
int RunSpectrum(Arguments args);
int RunPalette(Arguments args);
int RunCompletion(Arguments args);

std::span<const CommandDef> AllCommands();

// The command of that name, or null.
const CommandDef* FindCommand(std::string_view name);

}  // namespace tarkemo::cli
