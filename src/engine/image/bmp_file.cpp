#include "image/bmp_file.h"

namespace tarkemo {
// Placeholder until the codec lands.
std::optional<LoadedBitmap> DecodeBmp(std::span<const uint8_t>) { return std::nullopt; }
std::optional<LoadedBitmap> ReadBmpFile(const std::string&) { return std::nullopt; }
std::optional<std::vector<uint8_t>> EncodeBmp(const GrayBitmap&) { return std::nullopt; }
bool WriteBmpFile(const GrayBitmap&, const std::string&) { return false; }
bool FileExists(const std::string&) { return false; }
}  // namespace tarkemo
