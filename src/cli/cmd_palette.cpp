#include <string>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "image/palette_files.h"

namespace tarkemo::cli {

// palette export IMAGE OUT.rgb: writes the image's colour table as an RGB palette file.
int RunPalette(Arguments args) {
    if (args.size() != 3 || args[0] != "export") {
        return Report({kBadUsage, ""});
    }
    Status status;
    const auto loaded = LoadInputImage(args[1], status);
    if (!loaded) return Report(status);
    const PaletteFileResult result = WriteRgbPaletteFile(loaded->bitmap, args[2]);
    if (!result) return Report({kOutputFailed, std::string(result.message)});
    return kDone;
}

}  // namespace tarkemo::cli
