#include "spectrum/frequency_file.h"

#include <bit>
#include <cstring>
#include <span>

#include "image/input_file.h"

namespace tarkemo {
namespace {

static_assert(std::endian::native == std::endian::little, "the file's integers and floats are little-endian");

// Identification and sizes; kOk when they match the expected field.
FrequencyFileResult ReadHeader(const InputFile& file, int32_t expectedWidth, int32_t expectedHeight) {
    char id[kFrequencyFileId.size()];
    if (!file.ReadAt(id, sizeof id, 0)) return FrequencyFileResult::kCannotRead;
    if (std::string_view(id, sizeof id) != kFrequencyFileId) return FrequencyFileResult::kWrongIdentification;
    int32_t sizes[2];
    if (!file.ReadAt(sizes, sizeof sizes, sizeof id)) return FrequencyFileResult::kCannotRead;
    if (sizes[0] != expectedWidth || sizes[1] != expectedHeight) return FrequencyFileResult::kWrongSize;
    return FrequencyFileResult::kOk;
}

std::span<const uint8_t> Bytes(const void* data, size_t size) {
    return {static_cast<const uint8_t*>(data), size};
}

}  // namespace

const char* FrequencyLoadMessage(FrequencyFileResult result) {
    switch (result) {
        case FrequencyFileResult::kOk:
            return "";
        case FrequencyFileResult::kWrongIdentification:
            return "Ungültige Kennung in der Datei! Falsches Dateiformat?";
        case FrequencyFileResult::kWrongSize:
            return "Größe des Filters stimmt nicht mit dem der Datei überein!";
        case FrequencyFileResult::kCannotRead:
        case FrequencyFileResult::kTruncatedData:
            break;
    }
    return "Fehler beim Öffnen bzw. Laden der Datei!";
}

FrequencyFileResult ReadFrequencyFile(const std::string& path, float* re, float* im, int32_t expectedWidth,
                                      int32_t expectedHeight) {
    const InputFile file(path);
    if (!file.ok()) return FrequencyFileResult::kCannotRead;
    const FrequencyFileResult header = ReadHeader(file, expectedWidth, expectedHeight);
    if (header != FrequencyFileResult::kOk) return header;
    if (expectedWidth <= 0 || expectedHeight <= 0) return FrequencyFileResult::kWrongSize;
    const size_t bytes =
        static_cast<size_t>(expectedWidth) * static_cast<size_t>(expectedHeight) * sizeof(float);
    constexpr uint64_t kDataStart = kFrequencyFileId.size() + 2 * sizeof(int32_t);
    if (!file.ReadAt(re, bytes, kDataStart) || !file.ReadAt(im, bytes, kDataStart + bytes)) {
        return FrequencyFileResult::kTruncatedData;
    }
    return FrequencyFileResult::kOk;
}

bool StageFrequencyFile(StagedFile& file, const float* re, const float* im, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return false;
    const int32_t sizes[2] = {width, height};
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(float);
    return file.Write({Bytes(kFrequencyFileId.data(), kFrequencyFileId.size()), Bytes(sizes, sizeof sizes),
                       Bytes(re, bytes), Bytes(im, bytes)});
}

bool WriteFrequencyFile(const std::string& path, const float* re, const float* im, int32_t width,
                        int32_t height) {
    StagedFile file(path);
    return StageFrequencyFile(file, re, im, width, height) && file.Commit();
}

}  // namespace tarkemo
