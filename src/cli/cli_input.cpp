#include "cli/cli_common.h"
#include "image/davis_convert.h"

namespace tarkemo::cli {
namespace {

// A DaVis file through the import of the desktop program: the samples scaled to 8 bits, line 0
// at the top, the identity gray ramp.
std::optional<LoadedBitmap> LoadDavisInput(const std::string& path, Status& status) {
    DavisError error = DavisError::kNone;
    auto bitmap = ImportDavisFile(path, error);
    if (!bitmap) {
        status = {kInputRefused, DavisErrorMessage(error).text};
        return std::nullopt;
    }
    return LoadedBitmap{std::move(*bitmap), true};
}

}  // namespace

std::optional<LoadedBitmap> LoadInputImage(const std::string& path, Status& status) {
    if (!FileExists(path)) {
        status = {kInputRefused, "Die Datei \"" + path + "\" existiert nicht!"};
        return std::nullopt;
    }
    if (IsDavisFileName(path)) return LoadDavisInput(path, status);
    BmpReadError error = BmpReadError::kNone;
    auto loaded = ReadBmpFile(path, error);
    if (loaded) return loaded;
    status = error == BmpReadError::kNoMemory ? Status::OutOfMemory()
                                              : Status{kInputRefused, std::string(kBmpReadErrorText)};
    return std::nullopt;
}

}  // namespace tarkemo::cli
