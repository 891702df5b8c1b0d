#include "cli/cli_common.h"
#include "cli/commands.h"

namespace tarkemo::cli {

int RunConvert(Arguments args) {
    if (args.size() != 2) return Report({kBadUsage, ""});
    Status status;
    auto loaded = LoadInputImage(args[0], status);
    if (!loaded) return Report(status);
    return Report(WriteOutputImage(loaded->bitmap, args[1]));
}

}  // namespace tarkemo::cli
