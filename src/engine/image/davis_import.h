// Reading the IMX and IMG files of the DaVis acquisition software: 16-bit words, raw (image type
// 18) or packed (19), and 32-bit floats (20). Only the first frame (the first nx x ny samples,
// line 0 first, line 0 the top of the image) is kept, but the whole file must be present and
// well-formed. Vector fields, other image types, truncated data and sizes no file could hold are
// refused before any large allocation. The attribute block after the samples is ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/davis_header.h"
#include "image/davis_samples.h"

namespace tarkemo {

enum class DavisSampleKind { kWords, kFloats };

struct DavisImage {
    DavisHeader header;
    DavisSampleKind kind = DavisSampleKind::kWords;
    int32_t width = 0;            // nx
    int32_t height = 0;           // ny, the lines of the first frame
    SampleArray<uint16_t> words;  // width * height samples when kind is kWords, line 0 first
    SampleArray<float> floats;    // width * height samples when kind is kFloats, line 0 first
    size_t dataEnd = 0;           // file offset just after the last sample: where the attributes begin
};

// The two messages of the import, the same in the program and in tarkemo-cli.
inline constexpr const char* kDavisReadErrorText =
    "Fehler beim Einladen der IMX-Datei! Möglicherweise falsches Format?";
inline constexpr const char* kDavisBitmapErrorText =
    "Fehler beim Erstellen der DIB-Datei. Möglicherweise zu wenig freier Arbeitsspeicher?";
inline constexpr const char* kDavisErrorCaption = "Tarkemo - Fehler beim Öffnen";

// What to show for a failed import. Every reading failure has the same text and no icon;
// kBitmapFailed has its own text and the exclamation icon (and leaves no document behind).
struct DavisMessage {
    const char* caption;
    const char* text;
    bool exclamation;
};
DavisMessage DavisErrorMessage(DavisError error);

// True for names ending in ".imx" or ".img" in any letter case: the files the import is offered.
bool IsDavisFileName(std::string_view path);

// Decodes a whole file held in memory. None with the reason in `error` for anything refused.
std::optional<DavisImage> DecodeDavis(std::span<const uint8_t> file, DavisError& error);

// Reads the file in one go and decodes it; kCannotRead when it cannot be opened or read.
std::optional<DavisImage> ReadDavisFile(const std::string& path, DavisError& error);

// The reader behind the interface of the acquisition software's library: file name in; sample
// kind, width, height and samples out in `image`; 0 on success, otherwise the DavisError number.
int ReadIMX(const std::string& fileName, DavisImage& image);

}  // namespace tarkemo
