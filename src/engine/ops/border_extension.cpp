#include "ops/border_extension.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace tarkemo {

namespace {

// Source index for the margin position `distance` (1 = next to the image) on the low side
// (below / left) of a side of length n, for the mirror and periodic rules.
int64_t LowSideIndex(int32_t rule, int64_t n, int64_t distance) {
    switch (rule) {
        case kFlipInc: {
            const int64_t m = (distance - 1) % (2 * n);
            return m < n ? m : 2 * n - 1 - m;
        }
        case kFlipExc: {
            if (n == 1) return 0;
            const int64_t m = distance % (2 * n - 2);
            return m < n ? m : 2 * n - 2 - m;
        }
        default:  // kPeriodic
            return n - 1 - (distance - 1) % n;
    }
}

// The same for the high side (above / right); the mirror rules are the low side seen from the other end.
int64_t HighSideIndex(int32_t rule, int64_t n, int64_t distance) {
    if (rule == kPeriodic) return (distance - 1) % n;
    return n - 1 - LowSideIndex(rule, n, distance);
}

// A stretch of margin columns whose source columns run forward (+1), backward (-1) or stay (0),
// so a whole stretch is one memcpy, one reversed copy or one memset.
struct CopyRun {
    int32_t dst;
    int32_t src;
    int32_t length;
    int32_t step;
};

void AppendRuns(const std::vector<int32_t>& sources, int32_t dstStart, std::vector<CopyRun>& runs) {
    const auto count = static_cast<int32_t>(sources.size());
    int32_t i = 0;
    while (i < count) {
        int32_t step = 0;
        int32_t end = i + 1;
        if (end < count) {
            const int32_t delta = sources[end] - sources[i];
            if (delta >= -1 && delta <= 1) {
                step = delta;
                while (end < count && sources[end] - sources[end - 1] == step) ++end;
            }
        }
        runs.push_back({dstStart + i, sources[i], end - i, step});
        i = end;
    }
}

// The runs that fill the left and right margin of one output row from the image row.
std::vector<CopyRun> PlanColumnRuns(int32_t rule, int32_t width, int32_t newWidth, int32_t offsetX) {
    std::vector<CopyRun> runs;
    std::vector<int32_t> sources(static_cast<size_t>(offsetX));
    for (int32_t c = 0; c < offsetX; ++c) {
        sources[c] = static_cast<int32_t>(LowSideIndex(rule, width, offsetX - c));
    }
    AppendRuns(sources, 0, runs);
    const int32_t rightStart = offsetX + width;
    sources.assign(static_cast<size_t>(newWidth - rightStart), 0);
    for (int32_t c = rightStart; c < newWidth; ++c) {
        sources[c - rightStart] = static_cast<int32_t>(HighSideIndex(rule, width, c - rightStart + 1));
    }
    AppendRuns(sources, rightStart, runs);
    return runs;
}

void ApplyRuns(const std::vector<CopyRun>& runs, const uint8_t* source, uint8_t* row) {
    for (const CopyRun& run : runs) {
        uint8_t* dst = row + run.dst;
        const uint8_t* src = source + run.src;
        if (run.step == 1) {
            std::memcpy(dst, src, static_cast<size_t>(run.length));
        } else if (run.step == 0) {
            std::memset(dst, *src, static_cast<size_t>(run.length));
        } else {
            for (int32_t i = 0; i < run.length; ++i) dst[i] = src[-i];
        }
    }
}

struct Placement {
    int32_t offsetX;
    int32_t offsetY;
};

void ClearRowPadding(GrayBitmap& output) {
    const auto padding = static_cast<size_t>(output.stride - output.width);
    if (padding == 0) return;
    for (int32_t r = 0; r < output.height; ++r) std::memset(output.Row(r) + output.width, 0, padding);
}

void MirrorOrRepeat(const GrayBitmap& input, GrayBitmap& output, Placement at, int32_t rule) {
    const std::vector<CopyRun> runs = PlanColumnRuns(rule, input.width, output.width, at.offsetX);
    const auto width = static_cast<size_t>(input.width);
    const int32_t top = at.offsetY + input.height - 1;
    for (int32_t r = 0; r < output.height; ++r) {
        int64_t sourceRow = r - at.offsetY;
        if (r < at.offsetY) sourceRow = LowSideIndex(rule, input.height, at.offsetY - r);
        if (r > top) sourceRow = HighSideIndex(rule, input.height, r - top);
        const uint8_t* source = input.Row(static_cast<int32_t>(sourceRow));
        uint8_t* row = output.Row(r);
        std::memcpy(row + at.offsetX, source, width);
        ApplyRuns(runs, source, row);
    }
}

// Mean of the row means (each as a double), truncated toward zero.
int32_t MeanGrayValue(const GrayBitmap& input) {
    double sumOfMeans = 0.0;
    for (int32_t r = 0; r < input.height; ++r) {
        const uint8_t* row = input.Row(r);
        uint64_t sum = 0;
        for (int32_t c = 0; c < input.width; ++c) sum += row[c];
        sumOfMeans += static_cast<double>(sum) / input.width;
    }
    return static_cast<int32_t>(sumOfMeans / input.height);
}

void FillWithGray(const GrayBitmap& input, GrayBitmap& output, Placement at, uint8_t value) {
    const int32_t rightStart = at.offsetX + input.width;
    for (int32_t r = 0; r < output.height; ++r) {
        uint8_t* row = output.Row(r);
        const int32_t y = r - at.offsetY;
        if (y < 0 || y >= input.height) {
            std::memset(row, value, static_cast<size_t>(output.width));
            continue;
        }
        std::memset(row, value, static_cast<size_t>(at.offsetX));
        std::memcpy(row + at.offsetX, input.Row(y), static_cast<size_t>(input.width));
        std::memset(row + rightStart, value, static_cast<size_t>(output.width - rightStart));
    }
}

// One step of local-mean growth along a line of n values: inner values are the mean of three
// neighbours, the two ends the mean of two, a single value is kept.
template <typename Read, typename Write>
void SmoothLine(int32_t n, Read read, Write write) {
    if (n == 1) {
        write(0, read(0));
        return;
    }
    write(0, static_cast<uint8_t>((read(0) + read(1)) / 2));
    for (int32_t i = 1; i < n - 1; ++i) {
        write(i, static_cast<uint8_t>((read(i - 1) + read(i) + read(i + 1)) / 3));
    }
    write(n - 1, static_cast<uint8_t>((read(n - 1) + read(n - 2)) / 2));
}

// Grows the filled rectangle ring by ring. The outermost filled column on each side is kept in a
// contiguous buffer indexed by row, so the column passes never read the output across rows.
class LocalMeanGrowth {
  public:
    LocalMeanGrowth(GrayBitmap& output, int32_t left, int32_t right, int32_t bottom, int32_t top)
        : out_(output), l_(left), r_(right), b_(bottom), t_(top) {
        leftColumn_.resize(static_cast<size_t>(out_.height));
        rightColumn_.resize(static_cast<size_t>(out_.height));
        fresh_.resize(static_cast<size_t>(out_.height));
        for (int32_t r = b_; r <= t_; ++r) {
            leftColumn_[r] = out_.At(l_, r);
            rightColumn_[r] = out_.At(r_, r);
        }
    }

    void Run() {
        while (l_ > 0 || b_ > 0 || r_ < out_.width - 1 || t_ < out_.height - 1) Pass();
    }

  private:
    void Pass() {
        const bool growLeft = l_ > 0;
        const bool growRight = r_ < out_.width - 1;
        const bool growBottom = b_ > 0;
        const bool growTop = t_ < out_.height - 1;
        if (growLeft) GrowColumn(leftColumn_, l_ - 1);
        if (growRight) GrowColumn(rightColumn_, r_ + 1);
        if (growBottom) GrowRow(b_, b_ - 1);
        if (growTop) GrowRow(t_, t_ + 1);
        if (growLeft && growBottom) Corner(leftColumn_, b_ - 1, l_ - 1, l_, b_);
        if (growRight && growBottom) Corner(rightColumn_, b_ - 1, r_ + 1, r_, b_);
        if (growLeft && growTop) Corner(leftColumn_, t_ + 1, l_ - 1, l_, t_);
        if (growRight && growTop) Corner(rightColumn_, t_ + 1, r_ + 1, r_, t_);
        l_ -= growLeft ? 1 : 0;
        r_ += growRight ? 1 : 0;
        b_ -= growBottom ? 1 : 0;
        t_ += growTop ? 1 : 0;
    }

    // Fills output column `column` for rows b_ ... t_ from the current outermost column.
    void GrowColumn(std::vector<uint8_t>& current, int32_t column) {
        const uint8_t* src = current.data() + b_;
        uint8_t* dst = fresh_.data() + b_;
        SmoothLine(
            t_ - b_ + 1, [src](int32_t i) { return static_cast<int>(src[i]); },
            [dst](int32_t i, uint8_t v) { dst[i] = v; });
        for (int32_t r = b_; r <= t_; ++r) out_.At(column, r) = fresh_[r];
        std::swap(current, fresh_);
    }

    void GrowRow(int32_t from, int32_t to) {
        const uint8_t* src = out_.Row(from) + l_;
        uint8_t* dst = out_.Row(to) + l_;
        SmoothLine(
            r_ - l_ + 1, [src](int32_t i) { return static_cast<int>(src[i]); },
            [dst](int32_t i, uint8_t v) { dst[i] = v; });
    }

    // The corner pixel (row, column) from its neighbour in the new row (same row, innerColumn)
    // and its neighbour in the new column (innerRow); it also extends that column's buffer.
    void Corner(std::vector<uint8_t>& columnBuffer, int32_t row, int32_t column, int32_t innerColumn,
                int32_t innerRow) {
        const int sum = out_.At(innerColumn, row) + columnBuffer[innerRow];
        const auto value = static_cast<uint8_t>(sum / 2);
        out_.At(column, row) = value;
        columnBuffer[row] = value;
    }

    GrayBitmap& out_;
    int32_t l_, r_, b_, t_;
    std::vector<uint8_t> leftColumn_, rightColumn_, fresh_;
};

void CopyImage(const GrayBitmap& input, GrayBitmap& output, Placement at) {
    for (int32_t y = 0; y < input.height; ++y) {
        std::memcpy(output.Row(y + at.offsetY) + at.offsetX, input.Row(y), static_cast<size_t>(input.width));
    }
}

bool Fits(const GrayBitmap& input, int64_t newWidth, int64_t newHeight, int64_t offsetX, int64_t offsetY) {
    if (input.width < 1 || input.height < 1 || input.pixels.size() < input.ByteCount()) return false;
    if (input.stride < input.width) return false;
    return offsetX >= 0 && offsetY >= 0 && offsetX + input.width <= newWidth &&
           offsetY + input.height <= newHeight;
}

std::optional<GrayBitmap> Extend(const GrayBitmap& input, int32_t newWidth, int32_t newHeight, Placement at,
                                 int32_t rule) {
    std::optional<GrayBitmap> output = CreateLike(input, newWidth, newHeight, false);
    if (!output) return std::nullopt;
    if (rule == kFlipInc || rule == kFlipExc || rule == kPeriodic) {
        MirrorOrRepeat(input, *output, at, rule);
    } else if (rule == kLocalMean) {
        CopyImage(input, *output, at);
        LocalMeanGrowth(*output, at.offsetX, at.offsetX + input.width - 1, at.offsetY,
                        at.offsetY + input.height - 1)
            .Run();
    } else {
        const int32_t value = rule == kMeanGray ? MeanGrayValue(input) : rule;
        FillWithGray(input, *output, at, static_cast<uint8_t>(value));
    }
    ClearRowPadding(*output);
    return output;
}

}  // namespace

int32_t NormaliseFillRule(int32_t fillRule) {
    return fillRule < kLocalMean || fillRule > kMeanGray ? 0 : fillRule;
}

std::optional<GrayBitmap> ExtendBorder(const GrayBitmap& input, int32_t newWidth, int32_t newHeight,
                                       int32_t offsetX, int32_t offsetY, int32_t fillRule) {
    if (!Fits(input, newWidth, newHeight, offsetX, offsetY)) return std::nullopt;
    try {
        return Extend(input, newWidth, newHeight, Placement{offsetX, offsetY}, NormaliseFillRule(fillRule));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool ExtendBorderInPlace(GrayBitmap& bitmap, int32_t newWidth, int32_t newHeight, int32_t offsetX,
                         int32_t offsetY, int32_t fillRule) {
    std::optional<GrayBitmap> extended =
        ExtendBorder(bitmap, newWidth, newHeight, offsetX, offsetY, fillRule);
    if (!extended) return false;
    bitmap = std::move(*extended);
    return true;
}

}  // namespace tarkemo
