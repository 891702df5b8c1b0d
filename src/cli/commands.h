// The commands of tarkemo-cli. Each takes the arguments after its own name and returns the exit status.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tarkemo::cli {

using Arguments = std::span<const std::string>;

struct CommandDef {
    std::string_view name;
    std::string_view usage;
    int (*run)(Arguments args);
};

int RunInfo(Arguments args);
int RunConvert(Arguments args);
int RunApply(Arguments args);
int RunCount(Arguments args);
int RunSpectrum(Arguments args);
int RunPalette(Arguments args);

std::span<const CommandDef> AllCommands();

}  // namespace tarkemo::cli
