// Feeds arbitrary text to both palette file readers: the RGB palette and the gray mapping.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "image/palette_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarkemo::DecodeRgbPalette(text);
    tarkemo::DecodeGrayPalette(text);
    return 0;
}
