// .FFT files: one complex field of the spectrum editor (spectrum, filter or filtered spectrum)
// as the identification "Tarkemo - FFT", width and height (int32), then W·H real and W·H
// imaginary parts (float32), all little-endian, in the editor's centred layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "image/atomic_file.h"

namespace tarkemo {

inline constexpr std::string_view kFrequencyFileId = "Tarkemo - FFT";

enum class FrequencyFileResult : int {
    kOk = 0,
    kCannotRead = 1,           // not opened, or identification, width or height cut short
    kWrongIdentification = 2,  // the file starts with something else
    kWrongSize = 3,            // width or height differ from the expected ones
    kTruncatedData = 4,        // the real or the imaginary part is cut short
};

inline constexpr const char* kFrequencyLoadTitle = "Tarkemo - FFT laden";
inline constexpr const char* kFrequencySaveTitle = "Tarkemo - FFT speichern";
inline constexpr const char* kFrequencySaveErrorText = "Beim Speichern ist ein Fehler aufgetreten!";

// The message shown when loading ends with `result` (empty for kOk).
const char* FrequencyLoadMessage(FrequencyFileResult result);

// Reads a field of expectedWidth x expectedHeight elements into `re` and `im` (that many floats
// each). The sizes in the file are compared with the expected ones before anything is read into
// the arrays, so a file never decides how much is read. With kTruncatedData the arrays are
// partly overwritten; with codes 1 to 3 they are untouched. Bytes after the imaginary part are
// ignored; every float bit pattern is kept.
FrequencyFileResult ReadFrequencyFile(const std::string& path, float* re, float* im, int32_t expectedWidth,
                                      int32_t expectedHeight);

// Writes the field into `file` without committing it, so several outputs can be committed together.
bool StageFrequencyFile(StagedFile& file, const float* re, const float* im, int32_t width, int32_t height);

// Writes the field as the file `path` (temporary file, then rename): on failure the previous file
// is untouched and no partial file remains.
bool WriteFrequencyFile(const std::string& path, const float* re, const float* im, int32_t width,
                        int32_t height);

}  // namespace tarkemo
