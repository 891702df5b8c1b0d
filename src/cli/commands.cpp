#include "cli/commands.h"

#include "cli/help.h"

namespace tarkemo::cli {

std::span<const CommandDef> AllCommands() {
    static const CommandDef commands[] = {
        {"info", InfoHelp, RunInfo},
        {"convert", ConvertHelp, RunConvert},
        {"apply", ApplyHelp, RunApply},
        {"count", CountHelp, RunCount},
        {"spectrum", SpectrumHelp, RunSpectrum},
        {"palette", PaletteHelp, RunPalette},
        {"completion", CompletionHelp, RunCompletion},
    };
    return commands;
}

const CommandDef* FindCommand(std::string_view name) {
    for (const CommandDef& command : AllCommands()) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

}  // namespace tarkemo::cli
