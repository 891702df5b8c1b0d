#include "generator/davis_encoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace tarkemo::testimages {
namespace {

void PutLe(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void AppendLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendEndRecord(std::vector<uint8_t>& out) {
    out.insert(out.end(), 8, 0);
}

// Collects the codes of the packed stream; absolute words wait until it is known whether three or
// more of them come in a row.
class PackedWriter {
  public:
    void Byte(int difference) {
        FlushWords(true);
        out_.push_back(static_cast<uint8_t>(difference));
    }

    void Word(uint16_t value) {
        pending_.push_back(value);
        if (pending_.size() == 255) FlushWords(true);
    }

    // An odd number of small differences: 0x81, pairs high nibble first, the last one with the end marker.
    void NibbleRun(const int* differences, size_t count) {
        FlushWords(true);
        out_.push_back(0x81);
        for (size_t i = 0; i + 1 < count; i += 2) {
            out_.push_back(static_cast<uint8_t>((differences[i] & 15) << 4 | (differences[i + 1] & 15)));
        }
        out_.push_back(static_cast<uint8_t>((differences[count - 1] & 15) << 4 | 8));
    }

    std::vector<uint8_t> Finish() {
        FlushWords(false);
        return std::move(out_);
    }

  private:
    void FlushWords(bool mayFold) {
        if (mayFold && pending_.size() >= 3) {
            out_.push_back(0x7F);
            out_.push_back(static_cast<uint8_t>(pending_.size()));
            for (uint16_t w : pending_) AppendLe(out_, w, 2);
        } else {
            for (uint16_t w : pending_) {
                out_.push_back(0x80);
                AppendLe(out_, w, 2);
            }
        }
        pending_.clear();
    }

    std::vector<uint8_t> out_;
    std::vector<uint16_t> pending_;
};

// One line: nibble runs are made from stretches of differences within -7..7 that leave out the
// line's last sample; an even stretch gives up its first sample to a plain byte.
void EncodeLine(PackedWriter& writer, const uint16_t* line, const int* d, size_t nx) {
    size_t x = 0;
    while (x < nx) {
        size_t length = 0;
        while (x + length + 1 < nx && std::abs(d[x + length]) <= 7) ++length;
        if (length >= 7) {
            if (length % 2 == 0) {
                writer.Byte(d[x++]);
                --length;
            }
            writer.NibbleRun(d + x, length);
            x += length;
            continue;
        }
        const size_t stop = std::max<size_t>(x + length, x + 1);
        for (; x < stop; ++x) {
            if (std::abs(d[x]) <= 126) {
                writer.Byte(d[x]);
            } else {
                writer.Word(line[x]);
            }
        }
    }
}

}  // namespace

std::vector<uint8_t> MakeDavisHeader(const DavisHeaderFields& fields) {
    std::vector<uint8_t> header(256, 0);
    PutLe(header, 0, static_cast<uint16_t>(fields.imageType), 2);
    PutLe(header, 10, static_cast<uint16_t>(fields.rows), 2);
    PutLe(header, 12, static_cast<uint16_t>(fields.columns), 2);
    PutLe(header, 14, static_cast<uint16_t>(fields.subtype), 2);
    PutLe(header, 18, static_cast<uint16_t>(fields.frameCount), 2);
    header[33] = fields.version;
    PutLe(header, 228, static_cast<uint32_t>(fields.longRows), 4);
    PutLe(header, 232, static_cast<uint32_t>(fields.longColumns), 4);
    PutLe(header, 236, static_cast<uint32_t>(fields.longZDim), 4);
    return header;
}

DavisHeaderFields DavisImageFields(int16_t imageType, int32_t nx, int32_t ny, int16_t frames) {
    DavisHeaderFields fields;
    fields.imageType = imageType;
    fields.rows = static_cast<int16_t>(ny <= 32767 ? ny : -1);
    fields.columns = static_cast<int16_t>(nx <= 32767 ? nx : -1);
    fields.frameCount = frames;
    fields.longRows = ny;
    fields.longColumns = nx;
    return fields;
}

std::vector<uint8_t> MakeDavisThumbnail(std::span<const uint16_t> frame, int32_t nx, int32_t ny) {
    const int32_t step = std::max(nx / 100 + 1, ny / 100 + 1);
    const int32_t pnx = (nx - 1) / step + 1;
    const int32_t pny = (ny - 1) / step + 1;
    std::vector<uint16_t> picked;
    for (int32_t y = 0; y < ny; y += step) {
        for (int32_t x = 0; x < nx; x += step) picked.push_back(frame[static_cast<size_t>(y) * nx + x]);
    }
    const unsigned largest = picked.empty() ? 0 : *std::max_element(picked.begin(), picked.end());
    int shift = 0;
    while (shift < 10 && largest >= (64u << shift)) ++shift;
    std::vector<uint8_t> block{static_cast<uint8_t>(pnx), static_cast<uint8_t>(pny)};
    for (uint16_t v : picked) block.push_back(static_cast<uint8_t>(v >> shift));
    return block;
}

std::vector<uint8_t> EncodeDavisPackedStream(std::span<const uint16_t> samples, int32_t nx) {
    PackedWriter writer;
    const size_t width = static_cast<size_t>(nx);
    std::vector<int> d(width);
    int prev = 0;
    for (size_t start = 0; start + width <= samples.size(); start += width) {
        for (size_t x = 0; x < width; ++x) {
            d[x] = samples[start + x] - prev;
            prev = samples[start + x];
        }
        EncodeLine(writer, samples.data() + start, d.data(), width);
    }
    return writer.Finish();
}

std::vector<uint8_t> MakeDavisPackedFile(std::span<const uint16_t> samples, int32_t nx, int32_t ny,
                                         int16_t frames) {
    std::vector<uint8_t> file = MakeDavisHeader(DavisImageFields(19, nx, ny, frames));
    const auto thumbnail = MakeDavisThumbnail(samples.first(static_cast<size_t>(nx) * ny), nx, ny);
    const auto stream = EncodeDavisPackedStream(samples, nx);
    file.insert(file.end(), thumbnail.begin(), thumbnail.end());
    file.insert(file.end(), stream.begin(), stream.end());
    AppendEndRecord(file);
    return file;
}

std::vector<uint8_t> MakeDavisWordFile(std::span<const uint16_t> samples, int32_t nx, int32_t ny,
                                       int16_t frames) {
    std::vector<uint8_t> file = MakeDavisHeader(DavisImageFields(18, nx, ny, frames));
    for (uint16_t v : samples) AppendLe(file, v, 2);
    AppendEndRecord(file);
    return file;
}

std::vector<uint8_t> MakeDavisFloatFile(std::span<const float> samples, int32_t nx, int32_t ny) {
    std::vector<uint8_t> file = MakeDavisHeader(DavisImageFields(20, nx, ny));
    for (float v : samples) AppendLe(file, std::bit_cast<uint32_t>(v), 4);
    AppendEndRecord(file);
    return file;
}

std::vector<uint16_t> DavisSamplesFromBitmap(const GrayBitmap& bitmap, int32_t scale, int32_t offset) {
    std::vector<uint16_t> samples;
    samples.reserve(static_cast<size_t>(bitmap.width) * bitmap.height);
    for (int32_t y = bitmap.height - 1; y >= 0; --y) {
        const uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < bitmap.width; ++x)
            samples.push_back(static_cast<uint16_t>(row[x] * scale + offset));
    }
    return samples;
}

}  // namespace tarkemo::testimages
