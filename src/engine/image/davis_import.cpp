#include "image/davis_import.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

#include "image/davis_packed.h"
#include "image/gray_bitmap.h"
#include "image/input_file.h"
#include "image/memory_limits.h"

namespace tarkemo {
namespace {

// Where the samples lie and how many there are, checked against the file before allocating.
struct Layout {
    size_t dataStart = kDavisHeaderSize;  // first byte of the samples (after the thumbnail for packed files)
    uint64_t frameSamples = 0;            // nx * ny: what the program keeps
    uint64_t totalSamples = 0;            // nx * lines: what the file must hold
};

size_t BytesPerSample(int imageType) {
    return imageType == kDavisRawFloats ? 4 : 2;
}

// The import turns the first frame into an 8-bit bitmap; a frame no bitmap can hold, or one whose
// samples and bitmap together exceed the machine's memory, is refused from the header alone,
// before a sample is decoded.
bool BitmapPossible(const DavisHeader& header, size_t bytesPerSample) {
    if (!BitmapSizeAllowed(header.nx, header.ny)) return false;
    const uint64_t samples = static_cast<uint64_t>(header.nx) * static_cast<uint64_t>(header.ny);
    const auto bitmapBytes = static_cast<uint64_t>(StrideFor(header.nx)) * static_cast<uint64_t>(header.ny);
    return AllocationFits(samples * bytesPerSample + bitmapBytes);
}

std::optional<Layout> CheckLayout(std::span<const uint8_t> file, const DavisHeader& header,
                                  DavisError& error) {
    Layout layout;
    layout.frameSamples = static_cast<uint64_t>(header.nx) * static_cast<uint64_t>(header.ny);
    if (__builtin_mul_overflow(static_cast<uint64_t>(header.nx), static_cast<uint64_t>(header.lines),
                               &layout.totalSamples)) {
        error = DavisError::kTooLarge;
        return std::nullopt;
    }
    const size_t bytes = BytesPerSample(header.imageType);
    if (header.imageType == kDavisPackedWords) {
        const auto start = PackedStreamStart(file.subspan(kDavisHeaderSize));
        if (!start) {
            error = DavisError::kTruncated;
            return std::nullopt;
        }
        layout.dataStart += *start;
        // No code yields more than two samples per byte, so a shorter stream cannot be complete.
        if (layout.totalSamples / 2 + layout.totalSamples % 2 > file.size() - layout.dataStart) {
            error = DavisError::kTruncated;
            return std::nullopt;
        }
    } else if (layout.totalSamples > (file.size() - kDavisHeaderSize) / bytes) {
        error = DavisError::kTruncated;
        return std::nullopt;
    }
    if (!AllocationFits(layout.frameSamples * bytes)) {
        error = DavisError::kTooLarge;
        return std::nullopt;
    }
    if (!BitmapPossible(header, bytes)) {
        error = DavisError::kBitmapFailed;
        return std::nullopt;
    }
    return layout;
}

template <typename Array>
bool Allocate(Array& samples, uint64_t count, DavisError& error) {
    try {
        samples.resize(count);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    error = DavisError::kNoMemory;
    return false;
}

template <typename T>
void CopyLittleEndian(const uint8_t* source, SampleArray<T>& samples) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(samples.data(), source, samples.size() * sizeof(T));
    } else {
        using Bits = std::conditional_t<sizeof(T) == 2, uint16_t, uint32_t>;
        for (size_t i = 0; i < samples.size(); ++i, source += sizeof(T)) {
            Bits bits = 0;
            for (size_t b = 0; b < sizeof(T); ++b)
                bits |= static_cast<Bits>(static_cast<Bits>(source[b]) << (8 * b));
            samples[i] = std::bit_cast<T>(bits);
        }
    }
}

bool DecodeRaw(std::span<const uint8_t> file, const Layout& layout, DavisImage& image, DavisError& error) {
    const uint8_t* source = file.data() + layout.dataStart;
    const size_t bytes = BytesPerSample(image.header.imageType);
    image.dataEnd = layout.dataStart + layout.totalSamples * bytes;
    if (image.kind == DavisSampleKind::kFloats) {
        if (!Allocate(image.floats, layout.frameSamples, error)) return false;
        CopyLittleEndian(source, image.floats);
    } else {
        if (!Allocate(image.words, layout.frameSamples, error)) return false;
        CopyLittleEndian(source, image.words);
    }
    return true;
}

// The first frame goes into the image; the further frames and planes are decoded into scratch space
// only to find out whether the stream is complete.
bool DecodePacked(std::span<const uint8_t> file, const Layout& layout, DavisImage& image, DavisError& error) {
    if (!Allocate(image.words, layout.frameSamples, error)) return false;
    const std::span<const uint8_t> stream = file.subspan(layout.dataStart);
    PackedStreamState state;
    bool complete = DecodePackedWords(stream, state, image.words.data(), image.words.size());
    uint64_t rest = layout.totalSamples - layout.frameSamples;
    if (complete && rest > 0) {
        SampleArray<uint16_t> scratch;
        if (!Allocate(scratch, std::min<uint64_t>(rest, 1u << 16), error)) return false;
        while (complete && rest > 0) {
            const size_t piece = static_cast<size_t>(std::min<uint64_t>(rest, scratch.size()));
            complete = DecodePackedWords(stream, state, scratch.data(), piece);
            rest -= piece;
        }
    }
    if (!complete) {
        error = DavisError::kTruncated;
        return false;
    }
    image.dataEnd = layout.dataStart + state.pos;
    return true;
}

std::optional<SampleArray<uint8_t>> ReadWholeFile(const std::string& path, DavisError& error) {
    error = DavisError::kCannotRead;
    const InputFile file(path);
    if (!file.ok()) return std::nullopt;
    const auto size = static_cast<size_t>(file.size());
    if (!AllocationFits(size)) {
        error = DavisError::kTooLarge;
        return std::nullopt;
    }
    std::optional<SampleArray<uint8_t>> buffer;
    try {
        buffer.emplace(size);
    } catch (const std::bad_alloc&) {
        error = DavisError::kNoMemory;
        return std::nullopt;
    }
    if (!file.ReadAt(buffer->data(), size, 0)) return std::nullopt;
    return buffer;
}

}  // namespace

bool IsDavisFileName(std::string_view path) {
    if (path.size() < 4 || path[path.size() - 4] != '.') return false;
    std::string extension;
    for (const char c : path.substr(path.size() - 3)) extension += static_cast<char>(c | 0x20);
    return extension == "imx" || extension == "img";
}

DavisMessage DavisErrorMessage(DavisError error) {
    if (error == DavisError::kBitmapFailed) return {kDavisErrorCaption, kDavisBitmapErrorText, true};
    return {kDavisErrorCaption, kDavisReadErrorText, false};
}

std::optional<DavisImage> DecodeDavis(std::span<const uint8_t> file, DavisError& error) {
    DavisImage image;
    const auto header = ParseDavisHeader(file, error);
    if (!header) return std::nullopt;
    const auto layout = CheckLayout(file, *header, error);
    if (!layout) return std::nullopt;
    image.header = *header;
    image.kind = header->imageType == kDavisRawFloats ? DavisSampleKind::kFloats : DavisSampleKind::kWords;
    image.width = header->nx;
    image.height = header->ny;
    const bool decoded = header->imageType == kDavisPackedWords ? DecodePacked(file, *layout, image, error)
                                                                : DecodeRaw(file, *layout, image, error);
    if (!decoded) return std::nullopt;
    error = DavisError::kNone;
    return image;
}

std::optional<DavisImage> ReadDavisFile(const std::string& path, DavisError& error) {
    const auto file = ReadWholeFile(path, error);
    if (!file) return std::nullopt;
    return DecodeDavis(std::span<const uint8_t>(file->data(), file->size()), error);
}

int ReadIMX(const std::string& fileName, DavisImage& image) {
    DavisError error = DavisError::kNone;
    auto read = ReadDavisFile(fileName, error);
    if (!read) return static_cast<int>(error);
    image = std::move(*read);
    return 0;
}

}  // namespace tarkemo
