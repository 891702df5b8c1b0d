#include "spectrum/frequency_file.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>

namespace tarkemo {
namespace {

static_assert(std::endian::native == std::endian::little, "the file's integers and floats are little-endian");

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool ReadExactly(std::FILE* file, void* target, size_t bytes) {
    return std::fread(target, 1, bytes, file) == bytes;
}

// Identification and sizes; kOk when they match the expected field.
FrequencyFileResult ReadHeader(std::FILE* file, int32_t expectedWidth, int32_t expectedHeight) {
    char id[kFrequencyFileId.size()];
    if (!ReadExactly(file, id, sizeof id)) return FrequencyFileResult::kCannotRead;
    if (std::string_view(id, sizeof id) != kFrequencyFileId) return FrequencyFileResult::kWrongIdentification;
    int32_t sizes[2];
    if (!ReadExactly(file, sizes, sizeof sizes)) return FrequencyFileResult::kCannotRead;
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
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) return FrequencyFileResult::kCannotRead;
    const FrequencyFileResult header = ReadHeader(file.get(), expectedWidth, expectedHeight);
    if (header != FrequencyFileResult::kOk) return header;
    if (expectedWidth <= 0 || expectedHeight <= 0) return FrequencyFileResult::kWrongSize;
    const size_t bytes =
        static_cast<size_t>(expectedWidth) * static_cast<size_t>(expectedHeight) * sizeof(float);
    if (!ReadExactly(file.get(), re, bytes) || !ReadExactly(file.get(), im, bytes)) {
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
