#include "ops/border_extension.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "image/memory_limits.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The sequences repeat with this period, so a margin wider than one period is a repetition of
// its first period.
int64_t SequencePeriod(int32_t rule, int64_t n) {
    if (rule == kFlipInc) return 2 * n;
    if (rule == kFlipExc) return n == 1 ? 1 : 2 * n - 2;
    return n;
}

// A stretch of margin columns whose source columns run forward (+1), backward (-1) or stay (0),
// so a whole stretch is one memcpy, one reversed copy or one memset.
struct CopyRun {
    int32_t dst;
    int32_t src;
    int32_t length;
    int32_t step;
};

// How one side's margin of a row is filled: runs for the first period next to the image, then
// copies of what is already filled, doubling each time.
struct SidePlan {
    bool left;
    int32_t edge;    // output column next to the image: offsetX - 1 on the left, offsetX + W on the right
    int32_t margin;  // columns on this side
    int64_t period;
    std::vector<CopyRun> runs;
};

SidePlan PlanSide(int32_t rule, int32_t width, bool left, int32_t edge, int32_t margin) {
    SidePlan plan{left, edge, margin, SequencePeriod(rule, width), {}};
    const int64_t count = std::min<int64_t>(margin, plan.period);
    auto index = [&](int64_t d) {
        return left ? LowSideIndex(rule, width, d) : HighSideIndex(rule, width, d);
    };
    for (int64_t d = 1; d <= count;) {
        int64_t last = d;  // distances d ... last share one slope
        int64_t slope = 0;
        if (d < count) {
            slope = index(d + 1) - index(d);
            if (slope >= -1 && slope <= 1) {
                last = d + 1;
                while (last < count && index(last + 1) - index(last) == slope) ++last;
            } else {
                slope = 0;
            }
        }
        const auto length = static_cast<int32_t>(last - d + 1);
        if (left) {  // columns run toward the image as the distance falls
            plan.runs.push_back({static_cast<int32_t>(edge + 1 - last), static_cast<int32_t>(index(last)),
                                 length, static_cast<int32_t>(-slope)});
        } else {
            plan.runs.push_back({static_cast<int32_t>(edge + d - 1), static_cast<int32_t>(index(d)), length,
                                 static_cast<int32_t>(slope)});
        }
        d = last + 1;
    }
    return plan;
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

// Fills one side of a row: the first period from the image row, the rest by copying already filled
// columns one or more whole periods away (never overlapping).
void FillSide(const SidePlan& plan, const uint8_t* source, uint8_t* row) {
    ApplyRuns(plan.runs, source, row);
    int64_t filled = std::min<int64_t>(plan.margin, plan.period);
    while (filled < plan.margin) {
        const int64_t length = std::min<int64_t>(filled, plan.margin - filled);
        uint8_t* near = plan.left ? row + plan.edge + 1 - filled : row + plan.edge + filled - 1;
        uint8_t* dst = plan.left ? near - length : near + 1;
        const uint8_t* src = plan.left ? dst + filled : dst - filled;
        std::memcpy(dst, src, static_cast<size_t>(length));
        filled += length;
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
    const int32_t rightStart = at.offsetX + input.width;
    const SidePlan left = PlanSide(rule, input.width, true, at.offsetX - 1, at.offsetX);
    const SidePlan right = PlanSide(rule, input.width, false, rightStart, output.width - rightStart);
    const auto width = static_cast<size_t>(input.width);
    const int32_t top = at.offsetY + input.height - 1;
    for (int32_t r = 0; r < output.height; ++r) {
        int64_t sourceRow = r - at.offsetY;
        if (r < at.offsetY) sourceRow = LowSideIndex(rule, input.height, at.offsetY - r);
        if (r > top) sourceRow = HighSideIndex(rule, input.height, r - top);
        const uint8_t* source = input.Row(static_cast<int32_t>(sourceRow));
        uint8_t* row = output.Row(r);
        std::memcpy(row + at.offsetX, source, width);
        FillSide(left, source, row);
        FillSide(right, source, row);
    }
}

void CopyImage(const GrayBitmap& input, GrayBitmap& output, Placement at) {
    for (int32_t y = 0; y < input.height; ++y) {
        std::memcpy(output.Row(y + at.offsetY) + at.offsetX, input.Row(y), static_cast<size_t>(input.width));
    }
}

// Copies one row and returns the sum of its values, reading the input only once; SSE2's sum of
// absolute differences adds 16 bytes per instruction.
uint64_t CopyRowAndSum(const uint8_t* src, uint8_t* dst, int32_t width) {
    uint64_t sum = 0;
    int32_t x = 0;
#if defined(__SSE2__)
    __m128i acc = _mm_setzero_si128();
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= width; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), v);
        acc = _mm_add_epi64(acc, _mm_sad_epu8(v, zero));
    }
    sum = static_cast<uint64_t>(_mm_cvtsi128_si64(acc)) +
          static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(acc, acc)));
#endif
    for (; x < width; ++x) {
        dst[x] = src[x];
        sum += src[x];
    }
    return sum;
}

// Copies the image and returns its mean gray value: the mean of the row means (each as a
// double), truncated toward zero.
int32_t CopyImageAndMeasureMean(const GrayBitmap& input, GrayBitmap& output, Placement at) {
    double sumOfMeans = 0.0;
    for (int32_t y = 0; y < input.height; ++y) {
        const uint64_t sum =
            CopyRowAndSum(input.Row(y), output.Row(y + at.offsetY) + at.offsetX, input.width);
        sumOfMeans += static_cast<double>(sum) / input.width;
    }
    return static_cast<int32_t>(sumOfMeans / input.height);
}

// Sets every pixel around the already copied image to `value`.
void FillMarginsWithGray(GrayBitmap& output, Placement at, int32_t width, int32_t height, uint8_t value) {
    const int32_t rightStart = at.offsetX + width;
    for (int32_t r = 0; r < output.height; ++r) {
        uint8_t* row = output.Row(r);
        if (r < at.offsetY || r >= at.offsetY + height) {
            std::memset(row, value, static_cast<size_t>(output.width));
            continue;
        }
        std::memset(row, value, static_cast<size_t>(at.offsetX));
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

// The margin columns on one side of the image during local-mean growth. Column passes write into
// a compact row-major block instead of the output, because a column of the output touches one
// memory page per row; the block is copied into the output row by row at the end. The outermost
// filled column is also kept by row, as the source of the next column pass.
class MarginColumns {
  public:
    // The block spans output columns firstColumn ... firstColumn + width - 1; `leftSide` says whether
    // the columns grow toward column 0; the first source column is the image's column imageColumn.
    MarginColumns(const GrayBitmap& output, bool leftSide, int32_t firstColumn, int32_t width,
                  int32_t imageColumn, int32_t bottom, int32_t top)
        : leftSide_(leftSide), firstColumn_(firstColumn), width_(width) {
        const auto rows = static_cast<size_t>(output.height);
        block_.resize(rows * static_cast<size_t>(width));
        current_.resize(rows);
        next_.resize(rows);
        from_.assign(rows, 0);
        to_.assign(rows, 0);
        for (int32_t r = bottom; r <= top; ++r) current_[r] = output.At(imageColumn, r);
    }

    // Fills output column `column` for rows bottom ... top from the outermost filled column.
    void Grow(int32_t column, int32_t bottom, int32_t top) {
        const uint8_t* src = current_.data() + bottom;
        uint8_t* fresh = next_.data() + bottom;
        SmoothLine(
            top - bottom + 1, [src](int32_t i) { return static_cast<int>(src[i]); },
            [fresh](int32_t i, uint8_t v) { fresh[i] = v; });
        const int32_t blockColumn = column - firstColumn_;
        uint8_t* dst = block_.data() + static_cast<size_t>(bottom) * width_ + blockColumn;
        for (int32_t r = bottom; r <= top; ++r, dst += width_) *dst = next_[r];
        std::swap(current_, next_);
        // Inner columns are grown first and cover fewer rows, so each row's block pixels form one
        // run from the first column that covered it to the outer edge.
        const bool firstGrowth = coveredBottom_ > coveredTop_;
        for (int32_t r = bottom; r <= top; ++r) {
            if (!firstGrowth && r == coveredBottom_) r = coveredTop_ + 1;
            if (r > top) break;
            from_[r] = leftSide_ ? 0 : blockColumn;
            to_[r] = leftSide_ ? blockColumn + 1 : width_;
        }
        coveredBottom_ = bottom;
        coveredTop_ = top;
    }

    int Outer(int32_t row) const { return current_[row]; }
    void SetOuter(int32_t row, uint8_t value) { current_[row] = value; }

    void CopyInto(GrayBitmap& output) const {
        for (int32_t r = 0; r < output.height; ++r) {
            if (to_[r] <= from_[r]) continue;
            const uint8_t* src = block_.data() + static_cast<size_t>(r) * width_ + from_[r];
            std::memcpy(output.Row(r) + firstColumn_ + from_[r], src, static_cast<size_t>(to_[r] - from_[r]));
        }
    }

  private:
    bool leftSide_;
    int32_t firstColumn_;
    int32_t width_;
    std::vector<uint8_t> block_, current_, next_;
    std::vector<int32_t> from_, to_;  // per row: block columns [from, to) written by column passes
    int32_t coveredBottom_ = 1;
    int32_t coveredTop_ = 0;
};

// Rings of local-mean growth between two questions to the Progress.
constexpr int64_t kPassesPerReport = 16;

// Grows the filled rectangle ring by ring: both columns from the outermost filled columns, both rows
// from the outermost filled rows, then the corners from the new column and row next to them.
class LocalMeanGrowth {
  public:
    LocalMeanGrowth(GrayBitmap& output, int32_t left, int32_t right, int32_t bottom, int32_t top)
        : out_(output),
          l_(left),
          r_(right),
          b_(bottom),
          t_(top),
          leftSide_(output, true, 0, left, left, bottom, top),
          rightSide_(output, false, right + 1, output.width - 1 - right, right, bottom, top) {}

    // False when the progress asked to stop; the output is then incomplete.
    bool Run(Progress* progress) {
        const int64_t passes = std::max({l_, b_, out_.width - 1 - r_, out_.height - 1 - t_});
        int64_t done = 0;
        while (l_ > 0 || b_ > 0 || r_ < out_.width - 1 || t_ < out_.height - 1) {
            Pass();
            if (++done % kPassesPerReport == 0 && ReportProgress(progress, done, passes)) return false;
        }
        leftSide_.CopyInto(out_);
        rightSide_.CopyInto(out_);
        ReportProgress(progress, passes, passes);
        return true;
    }

  private:
    void Pass() {
        const bool growLeft = l_ > 0;
        const bool growRight = r_ < out_.width - 1;
        const bool growBottom = b_ > 0;
        const bool growTop = t_ < out_.height - 1;
        if (growLeft) leftSide_.Grow(l_ - 1, b_, t_);
        if (growRight) rightSide_.Grow(r_ + 1, b_, t_);
        if (growBottom) GrowRow(b_, b_ - 1);
        if (growTop) GrowRow(t_, t_ + 1);
        if (growLeft && growBottom) Corner(leftSide_, b_ - 1, l_ - 1, l_, b_);
        if (growRight && growBottom) Corner(rightSide_, b_ - 1, r_ + 1, r_, b_);
        if (growLeft && growTop) Corner(leftSide_, t_ + 1, l_ - 1, l_, t_);
        if (growRight && growTop) Corner(rightSide_, t_ + 1, r_ + 1, r_, t_);
        l_ -= growLeft ? 1 : 0;
        r_ += growRight ? 1 : 0;
        b_ -= growBottom ? 1 : 0;
        t_ += growTop ? 1 : 0;
    }

    void GrowRow(int32_t from, int32_t to) {
        const uint8_t* src = out_.Row(from) + l_;
        uint8_t* dst = out_.Row(to) + l_;
        SmoothLine(
            r_ - l_ + 1, [src](int32_t i) { return static_cast<int>(src[i]); },
            [dst](int32_t i, uint8_t v) { dst[i] = v; });
    }

    // The corner pixel (row, column) from its neighbour in the new row (same row, innerColumn) and its
    // neighbour in the new column (innerRow). It goes straight into the output and extends the column.
    void Corner(MarginColumns& side, int32_t row, int32_t column, int32_t innerColumn, int32_t innerRow) {
        const auto value = static_cast<uint8_t>((out_.At(innerColumn, row) + side.Outer(innerRow)) / 2);
        out_.At(column, row) = value;
        side.SetOuter(row, value);
    }

    GrayBitmap& out_;
    int32_t l_, r_, b_, t_;
    MarginColumns leftSide_, rightSide_;
};

bool Fits(const GrayBitmap& input, int64_t newWidth, int64_t newHeight, int64_t offsetX, int64_t offsetY) {
    if (input.width < 1 || input.height < 1 || input.pixels.size() < input.ByteCount()) return false;
    if (input.stride < input.width) return false;
    return offsetX >= 0 && offsetY >= 0 && offsetX + input.width <= newWidth &&
           offsetY + input.height <= newHeight;
}

std::optional<GrayBitmap> Extend(const GrayBitmap& input, int32_t newWidth, int32_t newHeight, Placement at,
                                 int32_t rule, Progress* progress) {
    std::optional<GrayBitmap> output = CreateLike(input, newWidth, newHeight, false);
    if (!output) return std::nullopt;
    if (rule == kFlipInc || rule == kFlipExc || rule == kPeriodic) {
        MirrorOrRepeat(input, *output, at, rule);
    } else if (rule == kLocalMean) {
        const auto marginColumns = static_cast<size_t>(newWidth - input.width);
        if (!AllocationFits(marginColumns * static_cast<size_t>(newHeight))) return std::nullopt;
        CopyImage(input, *output, at);
        LocalMeanGrowth growth(*output, at.offsetX, at.offsetX + input.width - 1, at.offsetY,
                               at.offsetY + input.height - 1);
        if (!growth.Run(progress)) return std::nullopt;
    } else {
        int32_t value = rule;
        if (rule == kMeanGray) {
            value = CopyImageAndMeasureMean(input, *output, at);
        } else {
            CopyImage(input, *output, at);
        }
        FillMarginsWithGray(*output, at, input.width, input.height, static_cast<uint8_t>(value));
    }
    ClearRowPadding(*output);
    return output;
}

}  // namespace

int32_t NormaliseFillRule(int32_t fillRule) {
    return fillRule < kLocalMean || fillRule > kMeanGray ? 0 : fillRule;
}

std::optional<GrayBitmap> ExtendBorder(const GrayBitmap& input, int32_t newWidth, int32_t newHeight,
                                       int32_t offsetX, int32_t offsetY, int32_t fillRule,
                                       Progress* progress) {
    if (!Fits(input, newWidth, newHeight, offsetX, offsetY)) return std::nullopt;
    if (progress != nullptr && progress->Cancelled()) return std::nullopt;
    try {
        return Extend(input, newWidth, newHeight, Placement{offsetX, offsetY}, NormaliseFillRule(fillRule),
                      progress);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool ExtendBorderInPlace(GrayBitmap& bitmap, int32_t newWidth, int32_t newHeight, int32_t offsetX,
                         int32_t offsetY, int32_t fillRule, Progress* progress) {
    std::optional<GrayBitmap> extended =
        ExtendBorder(bitmap, newWidth, newHeight, offsetX, offsetY, fillRule, progress);
    if (!extended) return false;
    bitmap = std::move(*extended);
    return true;
}

}  // namespace tarkemo
