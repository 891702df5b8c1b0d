// tarkemo-cli: the engine without a window, for batches and scripts.
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/help_request.h"

int main(int argc, char** argv) {
    using namespace tarkemo::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto answered = AnswerHelpRequest(args)) return *answered;
    return RunCommand(*FindCommand(args[0]), Arguments(args).subspan(1));
}
