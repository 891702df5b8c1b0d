#include "image/bmp_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "image/atomic_file.h"
#include "image/dib_format.h"
#include "image/memory_limits.h"

namespace tarkemo {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kWrittenPixelOffset = kFileHeaderSize + kInfoHeaderSize + kColourTableBytes;  // 1078

using BmpHead = std::array<uint8_t, kWrittenPixelOffset>;

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

struct FileBytes {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
};

// Reads what the file holds with one read call (more only if the system delivers less).
bool ReadAll(int fd, FileBytes& bytes, size_t expected) {
    bytes.data = std::make_unique_for_overwrite<uint8_t[]>(expected);
    while (bytes.size < expected) {
        const ssize_t got = read(fd, bytes.data.get() + bytes.size, expected - bytes.size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;  // the file shrank since we asked for its size
        bytes.size += static_cast<size_t>(got);
    }
    return true;
}

// The whole regular file in memory. Other kinds of file (directories, pipes, devices) are
// refused; opening without blocking keeps a pipe from stalling the program.
std::optional<FileBytes> ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    std::optional<FileBytes> result;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
        AllocationFits(static_cast<size_t>(info.st_size))) {
        try {
            FileBytes bytes;
            if (ReadAll(fd, bytes, static_cast<size_t>(info.st_size))) result = std::move(bytes);
        } catch (const std::bad_alloc&) {
            result.reset();
        }
    }
    close(fd);
    return result;
}

}  // namespace

std::optional<LoadedBitmap> DecodeBmp(std::span<const uint8_t> file) {
    const std::optional<uint32_t> pixelOffset = ReadPixelOffset(file);
    if (!pixelOffset || *pixelOffset < kFileHeaderSize || *pixelOffset > file.size()) return std::nullopt;
    // Header and colour table must both lie in front of the pixel data.
    const std::span<const uint8_t> info = file.subspan(kFileHeaderSize, *pixelOffset - kFileHeaderSize);
    const std::optional<DibHeader> header = ParseDibHeader(info);
    if (!header) return std::nullopt;
    const std::optional<DibLayout> layout = ValidateDibHeader(*header);
    if (!layout || layout->tableEnd > info.size()) return std::nullopt;
    return DecodeDib(*layout, info, file.subspan(*pixelOffset));
}

std::optional<LoadedBitmap> ReadBmpFile(const std::string& path) {
    const std::optional<FileBytes> bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return DecodeBmp(std::span<const uint8_t>(bytes->data.get(), bytes->size));
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
