#include "ops/filter_file_statements.h"

#include <array>
#include <limits>
#include <vector>

#include "image/memory_limits.h"
#include "ops/border_extension.h"

namespace tarkemo::filterfile {
namespace {

constexpr std::array<std::string_view, 6> kKeywords{
    "Matrix:", "Border:", "DivBy:", "AddOffset:", "Sign:", "Normalize:"};
constexpr std::array<std::string_view, 6> kBorderWords{"FlipInc",   "FlipExc",  "Periodic",
                                                       "LocalMean", "CoeffSum", "FillWith"};
constexpr std::array<int32_t, 5> kBorderValues{kFlipInc, kFlipExc, kPeriodic, kLocalMean, kBorderCoeffSum};
constexpr std::array<std::string_view, 3> kSignWords{"Keep", "ABS", "NegativeToZero"};
constexpr std::array<std::string_view, 2> kNormalizeWords{"DoNot", "Global"};

bool IsDimensionMark(char c) {
    return c == '*' || c == 'X' || c == 'x';
}

bool PositiveOdd(const DigitRun& run) {
    return run.length > 0 && run.value > 0 && run.odd;
}

struct Dimensions {
    int32_t height = 0;
    int32_t width = 0;
};

// "height [blanks with at most one * X x] width", then blanks and line ends with at most one ":".
Fault ReadDimensions(Cursor& cursor, Dimensions& dims) {
    cursor.SkipSeparators();
    if (cursor.AtEnd()) return Fault::kMatrixMissing;
    const DigitRun height = cursor.ReadDigits();
    if (cursor.AtEnd()) return Fault::kMatrixIncomplete;
    if (!PositiveOdd(height)) return Fault::kHeightInvalid;
    int marks = 0;
    while (!cursor.AtEnd() && (IsBlank(cursor.Peek()) || IsDimensionMark(cursor.Peek()))) {
        if (IsDimensionMark(cursor.Peek()) && ++marks > 1) return Fault::kDimensionInvalid;
        cursor.Advance();
    }
    if (cursor.AtEnd()) return Fault::kMatrixIncomplete;
    const DigitRun width = cursor.ReadDigits();
    if (cursor.AtEnd()) return Fault::kMatrixIncomplete;
    if (!PositiveOdd(width)) return Fault::kWidthInvalid;
    constexpr int64_t kMaxCount = std::numeric_limits<int32_t>::max();
    if (height.value > kMaxCount || width.value > kMaxCount || height.value * width.value > kMaxCount ||
        !AllocationFits(static_cast<size_t>(height.value * width.value) * sizeof(float))) {
        return Fault::kMatrixMemory;
    }
    dims = {static_cast<int32_t>(height.value), static_cast<int32_t>(width.value)};
    int colons = 0;
    while (!cursor.AtEnd() && (IsSeparator(cursor.Peek()) || cursor.Peek() == ':')) {
        if (cursor.Peek() == ':' && ++colons > 1) return Fault::kMatrixInvalid;
        cursor.Advance();
    }
    return cursor.AtEnd() ? Fault::kMatrixMissing : Fault::kNone;
}

// One written row of `width` numbers and its line end.
Fault ReadRow(Cursor& cursor, int32_t width, std::vector<float>& values) {
    for (int32_t column = 0; column < width; ++column) {
        cursor.SkipBlanks();
        if (cursor.AtEnd()) return Fault::kMatrixMissing;
        if (IsLineEnd(cursor.Peek()))
            return column == 0 ? Fault::kNextRowExpected : Fault::kReturnBeforeRowEnd;
        const Number number = cursor.ReadNumber();
        if (number.length == 0 || number.infinite) return Fault::kMatrixInvalid;
        values.push_back(number.value);
    }
    cursor.SkipBlanks();
    if (cursor.AtEnd()) return Fault::kMatrixMissing;
    if (!IsLineEnd(cursor.Peek())) return Fault::kReturnExpected;
    if (cursor.Peek() == '\r') cursor.Advance();
    if (!cursor.AtEnd() && cursor.Peek() == '\n') cursor.Advance();
    return Fault::kNone;
}

Fault ReadMatrix(Cursor& cursor, LinearFilter& filter) {
    Dimensions dims;
    if (const Fault fault = ReadDimensions(cursor, dims); fault != Fault::kNone) return fault;
    const size_t count = static_cast<size_t>(dims.height) * static_cast<size_t>(dims.width);
    std::vector<float> written;
    // Every number takes at least one character, so the text bounds what is allocated up front.
    written.reserve(std::min(count, cursor.Rest().size()));
    for (int32_t row = 0; row < dims.height; ++row) {
        if (const Fault fault = ReadRow(cursor, dims.width, written); fault != Fault::kNone) return fault;
    }
    // The first written row is the top one; the kernel is stored bottom row first.
    std::vector<float> kernel(count);
    const auto width = static_cast<size_t>(dims.width);
    for (size_t row = 0; row < static_cast<size_t>(dims.height); ++row) {
        std::copy_n(written.begin() + static_cast<ptrdiff_t>(row * width), width,
                    kernel.begin() + static_cast<ptrdiff_t>((dims.height - 1 - row) * width));
    }
    filter.kernel = std::move(kernel);
    filter.height = dims.height;
    filter.width = dims.width;
    return Fault::kNone;
}

// The value behind "FillWith": "Avg" or a gray value, followed by a separator or the end.
Fault ReadFillValue(Cursor& cursor, LinearFilter& filter) {
    cursor.SkipBlanks();
    if (cursor.AtEnd()) return Fault::kFillWithMissing;
    int32_t value = 0;
    if (cursor.Rest().starts_with("Avg")) {
        cursor.Advance(3);
        value = kMeanGray;
    } else {
        const DigitRun digits = cursor.ReadDigits();
        if (digits.length == 0 || digits.value > 255) return Fault::kFillWithInvalid;
        value = static_cast<int32_t>(digits.value);
    }
    if (!cursor.AtEnd() && !IsSeparator(cursor.Peek())) return Fault::kFillWithInvalid;
    filter.border = value;
    return Fault::kNone;
}

Fault ReadBorder(Cursor& cursor, LinearFilter& filter) {
    cursor.SkipBlanks();
    if (cursor.AtEnd() || IsLineEnd(cursor.Peek())) return Fault::kBorderMissing;
    const std::string_view word = cursor.ReadRun(false);
    if (cursor.AtEnd()) return Fault::kBorderMissing;
    const auto choice = SelectByPrefix(word, kBorderWords);
    if (!choice) return Fault::kBorderUnknown;
    if (*choice == kBorderWords.size() - 1) return ReadFillValue(cursor, filter);
    filter.border = kBorderValues[*choice];
    return Fault::kNone;
}

// "DivBy:" and "AddOffset:": a number followed by a separator or the end.
Fault ReadReal(Cursor& cursor, float& target, bool rejectZero, Fault missing, Fault invalid) {
    cursor.SkipBlanks();
    if (cursor.AtEnd() || IsLineEnd(cursor.Peek())) return missing;
    const Number number = cursor.ReadNumber();
    if (number.length == 0 || number.infinite) return invalid;
    if (!cursor.AtEnd() && !IsSeparator(cursor.Peek())) return invalid;
    // A divisor of 0 would silently switch to division by the coefficient sum.
    if (rejectZero && number.value == 0.0f) return invalid;
    target = number.value;
    return Fault::kNone;
}

Fault ReadChoice(Cursor& cursor, std::span<const std::string_view> words, int32_t& target, Fault missing,
                 Fault unknown) {
    cursor.SkipBlanks();
    if (cursor.AtEnd() || IsLineEnd(cursor.Peek())) return missing;
    const auto choice = SelectByPrefix(cursor.ReadRun(false), words);
    if (!choice) return unknown;
    target = static_cast<int32_t>(*choice);
    return Fault::kNone;
}

}  // namespace

std::optional<Keyword> SelectKeyword(std::string_view run) {
    const auto choice = SelectByPrefix(run, kKeywords);
    if (!choice) return std::nullopt;
    return static_cast<Keyword>(*choice);
}

Fault ReadStatement(Keyword keyword, Cursor& cursor, LinearFilter& filter, StatementLog& log) {
    switch (keyword) {
        case Keyword::kMatrix: {
            const Fault fault = ReadMatrix(cursor, filter);
            log.matrixRead = log.matrixRead || fault == Fault::kNone;
            return fault;
        }
        case Keyword::kBorder:
            return ReadBorder(cursor, filter);
        case Keyword::kDivBy:
            log.divByGiven = true;
            return ReadReal(cursor, filter.divBy, true, Fault::kDivByMissing, Fault::kDivByInvalid);
        case Keyword::kAddOffset:
            return ReadReal(cursor, filter.addOffset, false, Fault::kAddOffsetMissing,
                            Fault::kAddOffsetInvalid);
        case Keyword::kSign:
            return ReadChoice(cursor, kSignWords, filter.sign, Fault::kSignMissing, Fault::kSignUnknown);
        case Keyword::kNormalize:
            return ReadChoice(cursor, kNormalizeWords, filter.normalize, Fault::kNormalizeMissing,
                              Fault::kNormalizeUnknown);
    }
    return Fault::kNone;
}

}  // namespace tarkemo::filterfile
