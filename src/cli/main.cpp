// tarkemo-cli: the engine without a window, for batches and scripts.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "image/staged_cleanup.h"

namespace tarkemo::cli {

std::span<const CommandDef> AllCommands() {
    static const CommandDef commands[] = {
        {"info", "info IMAGE", RunInfo},
        {"convert", "convert IN OUT.bmp", RunConvert},
        {"apply", "apply [--yes] IN OUT.bmp STEP...", RunApply},
        {"count", "count [OPTIONS] IN...", RunCount},
        {"spectrum", "spectrum IN OUT.bmp [OPTIONS]", RunSpectrum},
        {"palette", "palette export IMAGE OUT.rgb", RunPalette},
    };
    return commands;
}

namespace {

int PrintUsage() {
    std::fprintf(stderr, "Aufruf:\n");
    for (const CommandDef& command : AllCommands()) {
        std::fprintf(stderr, "  tarkemo-cli %.*s\n", static_cast<int>(command.usage.size()),
                     command.usage.data());
    }
    return 2;
}

}  // namespace
}  // namespace tarkemo::cli

int main(int argc, char** argv) {
    using namespace tarkemo::cli;
    if (argc < 2) return PrintUsage();
    tarkemo::InstallStagedFileCleanup();
    try {
        const std::string name = argv[1];
        const std::vector<std::string> args(argv + 2, argv + argc);
        for (const CommandDef& command : AllCommands()) {
            if (command.name == name) return command.run(args);
        }
        std::fprintf(stderr, "Unbekannter Befehl: %s\n", name.c_str());
        return PrintUsage();
    } catch (const std::bad_alloc&) {
        return ReportOutOfMemory();  // whatever a command left uncaught ends as lack of memory, never an
                                     // abort
    }
}
