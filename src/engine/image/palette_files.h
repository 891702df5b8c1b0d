// The two palette text formats: RGB palette files (*.rgb, a whole false-colour table) and
// gray-mapping palette files (*.pal, the palette editor's 256 gray levels). Both are 8-bit text
// with CR LF line ends. Readers take any bytes and refuse what is not a complete palette;
// writers replace the target only when everything was written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "image/gray_bitmap.h"
#include "image/palettes.h"

namespace tarkemo {

inline constexpr std::string_view kRgbPaletteIdentification = "Tarkemo - RGB-Palette:";
inline constexpr std::string_view kGrayPaletteIdentification = "Tarkemo - Palette:";

// The outcome of reading or writing a palette file: success, or the caption and message that the
// program shows for this failure (texts only; nothing is shown here).
struct PaletteFileResult {
    bool ok = true;
    std::string_view caption;
    std::string_view message;
    explicit operator bool() const { return ok; }
};

// Loading an RGB palette into the image ("&Falschfarb-Palette einladen...").
inline constexpr PaletteFileResult kRgbPaletteReadFailed{
    false, "Fehler beim Einladen der RGB-Palette",
    "RGB-Palette einladen fehlgeschlagen! Falsches Dateiformat?"};
// Exporting the image's table ("Falschfarb-Palette &exportieren...").
inline constexpr PaletteFileResult kRgbPaletteWriteFailed{
    false, "Fehler beim Exportieren der RGB-Palette",
    "Exportieren der RGB-Palette fehlgeschlagen! Falsches Dateiformat?"};
// The palette editor's "&Laden..." and "&Speichern...".
inline constexpr PaletteFileResult kGrayPaletteReadFailed{
    false, "Tarkemo - Palette laden", "Beim Laden ist ein Fehler aufgetreten! Falsches Dateiformat?"};
inline constexpr PaletteFileResult kGrayPaletteWriteFailed{
    false, "Tarkemo - Palette speichern",
    "Beim Speichern ist ein Fehler aufgetreten! Versuchen Sie einen anderen Dateinamen oder ein anderes "
    "Verzeichnis!"};

// Decodes the text of an RGB palette file: the identification line, then 256 lines of red, green and
// blue (0..255) separated by blanks, TABs, "," or ";". Lines after the 256th are ignored. None for a
// missing identification, a value outside 0..255 or fewer than 256 entries.
std::optional<ColourTable> DecodeRgbPalette(std::string_view text);

// The exact text WriteRgbPaletteFile writes: identification, then "R\tG\tB" per entry, CR LF line ends.
std::string EncodeRgbPalette(const ColourTable& table);

// Decodes the text of a gray-mapping palette file: the identification line with CR LF, then 256 levels,
// one per line; empty lines are passed over. None as for RGB palettes.
std::optional<GrayLevels> DecodeGrayPalette(std::string_view text);

// The exact text WriteGrayPaletteFile writes.
std::string EncodeGrayPalette(const GrayLevels& levels);

// Reads an RGB palette file; `table` is changed only on success (reserved bytes 0).
PaletteFileResult ReadRgbPaletteFile(const std::string& path, ColourTable& table);

// Writes the bitmap's colour table as an RGB palette file.
PaletteFileResult WriteRgbPaletteFile(const GrayBitmap& bitmap, const std::string& path);

// Reads a gray-mapping palette file; `levels` is changed only on success.
PaletteFileResult ReadGrayPaletteFile(const std::string& path, GrayLevels& levels);

PaletteFileResult WriteGrayPaletteFile(const std::string& path, const GrayLevels& levels);

}  // namespace tarkemo
