// The statements of a linear filter file ("Matrix:", "Border:", "DivBy:", "AddOffset:", "Sign:",
// "Normalize:"): each reads its parameter from the cursor into the filter or names its fault.
#pragma once

#include <string_view>

#include "ops/filter_file_lexer.h"
#include "ops/linear_filter.h"

namespace tarkemo::filterfile {

enum class Fault {
    kNone,
    kNoIdentification,
    kUnknownKeyword,
    kMatrixMissing,
    kMatrixIncomplete,
    kHeightInvalid,
    kDimensionInvalid,
    kWidthInvalid,
    kMatrixMemory,
    kMatrixInvalid,
    kReturnBeforeRowEnd,
    kReturnExpected,
    kNextRowExpected,
    kBorderMissing,
    kBorderUnknown,
    kFillWithMissing,
    kFillWithInvalid,
    kDivByMissing,
    kDivByInvalid,
    kAddOffsetMissing,
    kAddOffsetInvalid,
    kSignMissing,
    kSignUnknown,
    kNormalizeMissing,
    kNormalizeUnknown,
    kNoMatrix,
    kCoeffSumZero,
};

enum class Keyword { kMatrix, kBorder, kDivBy, kAddOffset, kSign, kNormalize };

// The keyword a run selects: the first of which it is a prefix.
std::optional<Keyword> SelectKeyword(std::string_view run);

// What the statements have seen so far.
struct StatementLog {
    bool matrixRead = false;
    bool divByGiven = false;
};

// Reads the parameter of `keyword` at the cursor (just behind the keyword run) into the filter.
Fault ReadStatement(Keyword keyword, Cursor& cursor, LinearFilter& filter, StatementLog& log);

}  // namespace tarkemo::filterfile
