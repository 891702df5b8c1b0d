// tarkemo-cli: the engine without a window, for batches and scripts.
#include <new>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/help_request.h"
#include "image/staged_cleanup.h"

int main(int argc, char** argv) {
    using namespace tarkemo::cli;
    tarkemo::InstallStagedFileCleanup();
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (const auto answered = AnswerHelpRequest(args)) return *answered;
        return RunCommand(*FindCommand(args[0]), Arguments(args).subspan(1));
    } catch (const std::bad_alloc&) {
        return ReportOutOfMemory();  // lack of memory a command left uncaught, never an abort
    }
}
