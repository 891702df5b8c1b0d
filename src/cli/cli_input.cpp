#include "cli/cli_common.h"

namespace tarkemo::cli {

std::optional<LoadedBitmap> LoadInputImage(const std::string& path, Status& status) {
    if (!FileExists(path)) {
        status = {kInputRefused, "Die Datei \"" + path + "\" existiert nicht!"};
        return std::nullopt;
    }
    auto loaded = ReadBmpFile(path);
    if (!loaded) status = {kInputRefused, std::string(kBmpReadErrorText)};
    return loaded;
}

}  // namespace tarkemo::cli
