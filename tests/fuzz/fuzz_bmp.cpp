// Feeds arbitrary bytes to the BMP decoder and, behind the 14-byte file header, to the packed-DIB
// decoder of the clipboard: both must refuse or decode, never read outside the bytes given.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/bmp_file.h"
#include "image/packed_dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (const auto loaded = tarkemo::DecodeBmp(bytes)) {
        if (loaded->bitmap.pixels.size() != loaded->bitmap.ByteCount()) __builtin_trap();
    }
    tarkemo::PackedDibSize(bytes);
    tarkemo::DecodePackedDib(bytes);
    if (size > 14) {
        tarkemo::PackedDibSize(bytes.subspan(14));
        tarkemo::DecodePackedDib(bytes.subspan(14));
    }
    return 0;
}
