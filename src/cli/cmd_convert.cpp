#include "cli/commands.h"
#include "cli/cli_common.h"

namespace tarkemo::cli {

int RunConvert(Arguments args) {
    if (args.size() != 2) return Report({kBadUsage, "Aufruf: tarkemo-cli convert IN OUT.bmp"});
    Status status;
    auto loaded = LoadInputImage(args[0], status);
    if (!loaded) return Report(status);
    return Report(WriteOutputImage(loaded->bitmap, args[1]));
}

}  // namespace tarkemo::cli
