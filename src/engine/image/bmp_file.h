// Reading and writing 8-bit uncompressed Windows BMP files. The reader accepts what common
// programs write (several header sizes, short palettes, top-down rows, wrong stated sizes) and
// refuses everything else; the writer always writes the 1078-byte header and table form.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/gray_bitmap.h"

namespace tarkemo {

// A bitmap read from outside, with the flag telling whether its table is the identity gray ramp.
struct LoadedBitmap {
    GrayBitmap bitmap;
    bool grayRamp = false;
};

// The message every caller shows when a BMP file is refused.
inline constexpr const char* kBmpReadErrorText =
    "Fehler beim Lesen der DIB-Datei. Möglicherweise falsches Format? Dieses Programm verarbeitet nur "
    "unkomprimierte Windows-Bitmaps mit 256 Graustufen!";

// The message for a file that is valid but does not fit into the memory left.
inline constexpr const char* kNoMemoryText = "Nicht genügend Speicher vorhanden!";

// Why ReadBmpFile returned none.
enum class BmpReadError {
    kNone,
    kRefused,   // unreadable, no regular file, or not an 8-bit uncompressed image
    kNoMemory,  // a valid image whose bitmap could not be allocated
};

// Decodes a whole BMP file held in memory. None for anything that is not an 8-bit uncompressed image.
std::optional<LoadedBitmap> DecodeBmp(std::span<const uint8_t> file);

// Reads and decodes a BMP file without per-row reads: a small file in one read, a larger one with
// one read for its headers and one straight into the new bitmap's rows. None when the file
// cannot be read (or is no regular file) or is refused as DecodeBmp refuses it.
std::optional<LoadedBitmap> ReadBmpFile(const std::string& path);

// As ReadBmpFile, telling a refused file from lack of memory.
std::optional<LoadedBitmap> ReadBmpFile(const std::string& path, BmpReadError& error);

// The exact bytes WriteBmpFile writes: 14-byte file header, 40-byte info header, 1024-byte table, pixels.
std::optional<std::vector<uint8_t>> EncodeBmp(const GrayBitmap& bitmap);

// Writes the bitmap atomically (temporary file in the target folder, then rename). On failure the
// previous file of that name is untouched and no partial file remains.
bool WriteBmpFile(const GrayBitmap& bitmap, const std::string& path);

// True when a file or directory of that name exists.
bool FileExists(const std::string& path);

}  // namespace tarkemo
