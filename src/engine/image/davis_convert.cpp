#include "image/davis_convert.h"

#include <cmath>
#include <cstring>
#include <new>
#include <span>
#include <vector>

namespace tarkemo {
namespace {

struct WordRange {
    uint16_t min = 0;
    uint16_t max = 0;
};

WordRange FindWordRange(std::span<const uint16_t> words) {
    if (words.empty()) return {};
    uint16_t lo = words[0], hi = words[0];
    for (const uint16_t v : words) {
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    return {lo, hi};
}

DavisSampleRange FindFloatRange(std::span<const float> floats) {
    DavisSampleRange range;
    float lo = 0, hi = 0;
    for (const float v : floats) {
        if (!std::isfinite(v)) {
            ++range.nonFiniteCount;
        } else if (!range.anyFinite) {
            lo = hi = v;
            range.anyFinite = true;
        } else {
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
    }
    range.min = lo;
    range.max = hi;
    return range;
}

// Threads pay off only for images of many rows' worth of work.
inline bool IsLarge(const DavisImage& image) {
    return static_cast<int64_t>(image.width) * image.height >= (int64_t{1} << 18);
}

// Clamps to 0..255, then truncates toward zero.
inline uint8_t ToPixel(double v) {
    if (!(v > 0)) return 0;
    return v >= 255 ? 255 : static_cast<uint8_t>(v);
}

void ClearPadding(GrayBitmap& bitmap) {
    const size_t padding = static_cast<size_t>(bitmap.stride - bitmap.width);
    if (padding == 0) return;
    for (int32_t y = 0; y < bitmap.height; ++y) std::memset(bitmap.Row(y) + bitmap.width, 0, padding);
}

// (s - min) * (255 / (max - min)), the factor computed first.
inline uint8_t ScaleWord(unsigned s, WordRange range, double factor) {
    return ToPixel(static_cast<double>(s - range.min) * factor);
}

// Large images map every sample through a table of min..max built with the exact formula, so the
// per-pixel work is a lookup; small images with a wide range compute each pixel instead.
void ConvertWords(const DavisImage& image, WordRange range, GrayBitmap& bitmap) {
    const double factor = 255.0 / static_cast<double>(range.max - range.min);
    const size_t width = static_cast<size_t>(image.width);
    const bool useTable = static_cast<size_t>(range.max - range.min) < image.words.size();
    std::vector<uint8_t> table(useTable ? range.max + 1u : 0u);
    if (useTable) {
        for (unsigned s = range.min; s <= range.max; ++s) table[s] = ScaleWord(s, range, factor);
    }
    const uint16_t* samples = image.words.data();
#pragma omp parallel for schedule(static) if (IsLarge(image))
    for (int32_t y = 0; y < image.height; ++y) {
        const uint16_t* line = samples + static_cast<size_t>(image.height - 1 - y) * width;
        uint8_t* row = bitmap.Row(y);
        if (useTable) {
            for (size_t x = 0; x < width; ++x) row[x] = table[line[x]];
        } else {
            for (size_t x = 0; x < width; ++x) row[x] = ScaleWord(line[x], range, factor);
        }
    }
}

void ConvertFloats(const DavisImage& image, const DavisSampleRange& range, GrayBitmap& bitmap) {
    const double min = range.min;
    const double width = range.max - range.min;
    const float* samples = image.floats.data();
    const size_t columns = static_cast<size_t>(image.width);
#pragma omp parallel for schedule(static) if (IsLarge(image))
    for (int32_t y = 0; y < image.height; ++y) {
        const float* line = samples + static_cast<size_t>(image.height - 1 - y) * columns;
        uint8_t* row = bitmap.Row(y);
        for (size_t x = 0; x < columns; ++x) {
            const double s = line[x];
            row[x] = std::isfinite(s) ? ToPixel((s - min) * 255.0 / width) : 0;
        }
    }
}

}  // namespace

DavisSampleRange FindDavisSampleRange(const DavisImage& image) {
    if (image.kind == DavisSampleKind::kFloats) return FindFloatRange(image.floats);
    const WordRange words = FindWordRange(image.words);
    DavisSampleRange range;
    range.min = words.min;
    range.max = words.max;
    range.anyFinite = !image.words.empty();
    return range;
}

std::optional<GrayBitmap> ConvertDavisToBitmap(const DavisImage& image) {
    const size_t expected = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    const size_t held = image.kind == DavisSampleKind::kFloats ? image.floats.size() : image.words.size();
    if (image.width < 1 || image.height < 1 || held != expected) return std::nullopt;
    const DavisSampleRange range = FindDavisSampleRange(image);
    if (range.min == range.max) return CreateGrayBitmap(image.width, image.height);
    auto bitmap = CreateGrayBitmapForOverwrite(image.width, image.height);
    if (!bitmap) return std::nullopt;
    if (image.kind == DavisSampleKind::kFloats) {
        ConvertFloats(image, range, *bitmap);
    } else {
        // The table is the only allocation besides the bitmap; it is made before any thread starts.
        try {
            ConvertWords(image, {static_cast<uint16_t>(range.min), static_cast<uint16_t>(range.max)},
                         *bitmap);
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
    }
    ClearPadding(*bitmap);
    return bitmap;
}

std::optional<GrayBitmap> ImportDavisFile(const std::string& path, DavisError& error) {
    std::optional<GrayBitmap> bitmap;
    {
        const auto image = ReadDavisFile(path, error);
        if (!image) return std::nullopt;
        bitmap = ConvertDavisToBitmap(*image);
    }
    error = bitmap ? DavisError::kNone : DavisError::kBitmapFailed;
    return bitmap;
}

}  // namespace tarkemo
