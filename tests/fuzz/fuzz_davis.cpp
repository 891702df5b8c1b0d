// Feeds arbitrary bytes to the DaVis IMX/IMG decoder and converts what it accepts, as the import does.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/davis_convert.h"
#include "image/davis_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarkemo::DavisError error = tarkemo::DavisError::kNone;
    const auto image = tarkemo::DecodeDavis(std::span<const uint8_t>(data, size), error);
    if (!image) {
        if (error == tarkemo::DavisError::kNone) __builtin_trap();
        return 0;
    }
    tarkemo::ConvertDavisToBitmap(*image);
    return 0;
}
