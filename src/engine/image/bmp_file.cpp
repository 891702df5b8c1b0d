#include "image/bmp_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <new>

#include "image/atomic_file.h"
#include "image/dib_format.h"
#include "image/input_file.h"
#include "image/memory_limits.h"

namespace tarkemo {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kWrittenPixelOffset = kFileHeaderSize + kInfoHeaderSize + kColourTableBytes;  // 1078

using BmpHead = std::array<uint8_t, kWrittenPixelOffset>;

// The reader's first read: enough for every header and table of a normal file.
constexpr size_t kHeadChunk = 64 * 1024;

// The 14-byte file header: "BM" and the offset of the pixel data. The stated file size is not
// trusted; the pixels are taken from what the file really holds.
std::optional<uint32_t> ReadPixelOffset(std::span<const uint8_t> file) {
    if (file.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    return ReadLe32(file, 10);
}

// What the writer needs from a bitmap; a bitmap built by hand may disagree with its own fields.
bool IsWellFormed(const GrayBitmap& bitmap) {
    return BitmapSizeAllowed(bitmap.width, bitmap.height) && bitmap.stride == StrideFor(bitmap.width) &&
           bitmap.pixels.size() == bitmap.ByteCount();
}

void WriteHead(const GrayBitmap& bitmap, BmpHead& head) {
    head[0] = 'B';
    head[1] = 'M';
    WriteLe32(&head[2], static_cast<uint32_t>(kWrittenPixelOffset + bitmap.ByteCount()));
    WriteLe32(&head[6], 0);
    WriteLe32(&head[10], static_cast<uint32_t>(kWrittenPixelOffset));
    WriteInfoHeaderAndTable(&head[kFileHeaderSize], bitmap.width, bitmap.height, bitmap.xPelsPerMeter,
                            bitmap.yPelsPerMeter, bitmap.colours);
}

// What the read-header step found: the pixel offset, the information area in front of it
// (bytes 14 up to the pixel offset) and the header at its start.
struct BmpHeader {
    uint32_t pixelOffset = 0;
    std::span<const uint8_t> info;
    DibHeader dib;
};

// Read-header step. `head` holds the file from its start, at least up to the pixel offset when
// the file reaches that far.
std::optional<BmpHeader> ReadBmpHeader(std::span<const uint8_t> head) {
    const std::optional<uint32_t> pixelOffset = ReadPixelOffset(head);
    if (!pixelOffset || *pixelOffset < kFileHeaderSize || *pixelOffset > head.size()) return std::nullopt;
    BmpHeader header;
    header.pixelOffset = *pixelOffset;
    header.info = head.subspan(kFileHeaderSize, *pixelOffset - kFileHeaderSize);
    const std::optional<DibHeader> dib = ParseDibHeader(header.info);
    if (!dib) return std::nullopt;
    header.dib = *dib;
    return header;
}

// Validate step: a plain 8-bit image whose colour table lies in front of the pixel data and whose
// rows the file really holds; `fileSize` counts the bytes present, whatever the header claims.
std::optional<DibLayout> ValidateBmp(const BmpHeader& header, uint64_t fileSize) {
    const std::optional<DibLayout> layout = ValidateDibHeader(header.dib);
    if (!layout || layout->tableEnd > header.info.size()) return std::nullopt;
    if (fileSize < header.pixelOffset || fileSize - header.pixelOffset < layout->pixelBytes)
        return std::nullopt;
    return layout;
}

// The start of the file up to its pixel offset (the whole file when it is small).
bool ReadHead(const InputFile& file, uint64_t fileSize, std::vector<uint8_t>& head) {
    head.resize(static_cast<size_t>(std::min<uint64_t>(fileSize, kHeadChunk)));
    if (!file.ReadAt(head.data(), head.size(), 0)) return false;
    const std::optional<uint32_t> pixelOffset = ReadPixelOffset(head);
    if (!pixelOffset || *pixelOffset <= head.size() || *pixelOffset > fileSize) return true;
    // A large gap in front of the pixels; the later checks refuse anything unreasonable.
    const size_t known = head.size();
    if (!AllocationFits(*pixelOffset)) return false;
    head.resize(*pixelOffset);
    return file.ReadAt(head.data() + known, head.size() - known, known);
}

// Once a file is validated, its bitmap can only fail to be created for lack of memory.
std::optional<LoadedBitmap> DecodeValidated(const BmpHeader& header, const DibLayout& layout,
                                            std::span<const uint8_t> file, BmpReadError& error) {
    auto loaded = DecodeDib(layout, header.info, file.subspan(header.pixelOffset));
    if (!loaded) error = BmpReadError::kNoMemory;
    return loaded;
}

// Large files: the pixel rows go straight from the file into the new bitmap, so the image is
// copied once and never held twice.
std::optional<LoadedBitmap> ReadOpenBmp(const InputFile& file, BmpReadError& error) {
    std::vector<uint8_t> head;
    if (!ReadHead(file, file.size(), head)) return std::nullopt;
    const std::optional<BmpHeader> header = ReadBmpHeader(head);
    if (!header) return std::nullopt;
    const std::optional<DibLayout> layout = ValidateBmp(*header, file.size());
    if (!layout) return std::nullopt;
    if (head.size() == file.size()) return DecodeValidated(*header, *layout, head, error);
    std::optional<LoadedBitmap> loaded = CreateDibBitmap(*layout, header->info);
    if (!loaded) {
        error = BmpReadError::kNoMemory;
        return std::nullopt;
    }
    if (!file.ReadAt(loaded->bitmap.pixels.data(), layout->pixelBytes, header->pixelOffset))
        return std::nullopt;
    TurnRowsUpright(*layout, loaded->bitmap);
    return loaded;
}

}  // namespace

std::optional<LoadedBitmap> DecodeBmp(std::span<const uint8_t> file) {
    const std::optional<BmpHeader> header = ReadBmpHeader(file);
    if (!header) return std::nullopt;
    const std::optional<DibLayout> layout = ValidateBmp(*header, file.size());
    if (!layout) return std::nullopt;
    return DecodeDib(*layout, header->info, file.subspan(header->pixelOffset));
}

std::optional<LoadedBitmap> ReadBmpFile(const std::string& path, BmpReadError& error) {
    error = BmpReadError::kRefused;
    const InputFile file(path);
    if (!file.ok()) return std::nullopt;
    try {
        auto loaded = ReadOpenBmp(file, error);
        if (loaded) error = BmpReadError::kNone;
        return loaded;
    } catch (const std::bad_alloc&) {
        error = BmpReadError::kNoMemory;
        return std::nullopt;
    }
}

std::optional<LoadedBitmap> ReadBmpFile(const std::string& path) {
    BmpReadError error = BmpReadError::kNone;
    return ReadBmpFile(path, error);
}

std::optional<std::vector<uint8_t>> EncodeBmp(const GrayBitmap& bitmap) {
    if (!IsWellFormed(bitmap) || !AllocationFits(kWrittenPixelOffset + bitmap.ByteCount()))
        return std::nullopt;
    BmpHead head;
    WriteHead(bitmap, head);
    try {
        std::vector<uint8_t> file;
        file.reserve(head.size() + bitmap.ByteCount());
        file.insert(file.end(), head.begin(), head.end());
        file.insert(file.end(), bitmap.pixels.begin(), bitmap.pixels.end());
        return file;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool WriteBmpFile(const GrayBitmap& bitmap, const std::string& path) {
    if (!IsWellFormed(bitmap)) return false;
    BmpHead head;
    WriteHead(bitmap, head);
    // Header and pixels go out in one gathered write, without copying the pixels first.
    return WriteFileAtomically(path, {std::span<const uint8_t>(head),
                                      std::span<const uint8_t>(bitmap.pixels.data(), bitmap.ByteCount())});
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

}  // namespace tarkemo
