#include "ops/filter_file.h"

#include <cmath>
#include <new>
#include <vector>

#include "image/input_file.h"
#include "image/memory_limits.h"
#include "ops/filter_file_lexer.h"
#include "ops/filter_file_statements.h"

namespace tarkemo {
namespace {

using filterfile::Cursor;
using filterfile::Fault;

constexpr std::string_view kIdentification = "Tarkemo - Linear Filter:";
constexpr size_t kMaxNameLength = 76;
constexpr const char* kErrorCaption = "Lineares Filter - FEHLER";
constexpr const char* kWarningCaption = "Lineares Filter - WARNUNG";

struct FaultText {
    Fault fault;
    const char* text;
    FilterMessageIcon icon;
};

constexpr FilterMessageIcon kWarn = FilterMessageIcon::kWarning;
constexpr FilterMessageIcon kErr = FilterMessageIcon::kError;

constexpr FaultText kFaultTexts[] = {
    {Fault::kNoIdentification,
     "Datei wurde nicht eindeutig als lineares Filter von Tarkemo erkannt. Die Kennung (in der ersten Zeile) "
     "fehlt!",
     kErr},
    {Fault::kUnknownKeyword, "Unbekanntes Schlüsselwort: '%s'", kErr},
    {Fault::kMatrixMissing, "Definition der Matrix fehlt!", kWarn},
    {Fault::kMatrixIncomplete, "Definition der Matrix unvollständig!", kWarn},
    {Fault::kHeightInvalid, "Höhe der Matrix ungültig!", kWarn},
    {Fault::kDimensionInvalid, "Definition der Dimension der Matrix ungültig!", kWarn},
    {Fault::kWidthInvalid, "Breite der Matrix ungültig!", kWarn},
    {Fault::kMatrixMemory, "Nicht gegügend Speicher für die Matrix!", kWarn},
    {Fault::kMatrixInvalid, "Definition der Matrix ungültig!", kWarn},
    {Fault::kReturnBeforeRowEnd, "Definition der Matrix ungültig! Return vor Ende einer Zeile gefunden.",
     kWarn},
    {Fault::kReturnExpected, "Definition der Matrix ungültig! Erwarte Return am Ende jeder Zeile.", kWarn},
    {Fault::kNextRowExpected, "Erwarte nächste Zeile der Matrix! Stattdessen Return gefunden.", kWarn},
    {Fault::kBorderMissing, "Parameter zu 'Border' fehlt!", kWarn},
    {Fault::kBorderUnknown,
     "Unbekannter Parameter für 'Border' angegeben!\nMögliche Parameter sind:\n\tFlipExc\t\t(Spiegeln ohne "
     "Randpixel)\n\tFlipInc\t\t(Spiegeln inklusive Randpixel)\n\tPeriodic\t\t(Bitmap periodisch "
     "wiederholen)\n\tLocalMean\t(Lokale Mittelwerte)\n\tCoeffSum\t\t(Durch Koeff.-Summe "
     "dividieren)\n\tFillWith [Grauwert]\t(Mit angegebenem Grauwert füllen)\n\tFillWith Avg\t(Mit mittlerem "
     "Grauwert füllen)",
     kWarn},
    {Fault::kFillWithMissing, "Parameter zu 'Border: FillWith' fehlt (Grauwert 0-255  oder  'Avg')!", kWarn},
    {Fault::kFillWithInvalid,
     "Parameter zu 'Border: FillWith' fehlerhaft! Erwarte ganze Zahl (0-255) oder 'Avg'.", kWarn},
    {Fault::kDivByMissing, "Parameter zu 'DivBy:' fehlt! Fließkommazahl ungleich 0 erwartet!", kWarn},
    {Fault::kDivByInvalid, "Fehlerhafter Parameter zu 'DivBy:'! Fließkommazahl ungleich 0 erwartet!", kWarn},
    {Fault::kAddOffsetMissing, "Parameter zu 'AddOffset:' fehlt! Fließkommazahl ungleich 0 erwartet!", kWarn},
    {Fault::kAddOffsetInvalid, "Fehlerhafter Parameter zu 'AddOffset:'! Fließkommazahl ungleich 0 erwartet!",
     kWarn},
    {Fault::kSignMissing, "Parameter zu 'Sign:' fehlt!", kWarn},
    {Fault::kSignUnknown,
     "Unbekannter Parameter für 'Sign:' angegeben!\nMögliche Parameter sind:\n\tKeep\t\t(Vorzeichen "
     "beibehalten)\n\tNegativeToZero\t(Negative Werte gleich Null setzen)\n\tABS\t\t(Betrag bilden)\n",
     kWarn},
    {Fault::kNormalizeMissing, "Parameter zu 'Normalize:' fehlt!", kWarn},
    {Fault::kNormalizeUnknown,
     "Unbekannter Parameter für 'Normalize:' angegeben!\nMögliche Parameter sind:\n\tGlobal\t(Global "
     "normalisieren)\n\tDoNot\t(Nicht normalisieren)\n",
     kWarn},
    {Fault::kNoMatrix, "Filter-Matrix nicht ordnungsgemäß definiert!", kErr},
    {Fault::kCoeffSumZero,
     "Bei der angegebenen Filter-Matrix läßt sich 'CoeffSum' nicht als Parameter zu 'Border:' angeben! Die "
     "Koeffizientensumme kann Null werden, so daß sich nicht dadurch dividieren läßt!",
     kErr},
};

constexpr const char* kDivByQuestion =
    "WARNUNG:\tObwohl als Parameter zu Border 'CoeffSum' angegeben ist,\n\t\twurde zusätzlich 'DivBy' "
    "definiert! Diese Option steht\n\t\taber bei 'CoeffSum' nicht zur Verfügung, denn 'DivBy' wird\n\t\twird "
    "dann INTERN dynamisch berechnet.\n\nWollen Sie die Filter-Operation trotzdem ausführen?\n(Der "
    "angegebene "
    "Wert für 'DivBy' wird dabei ignoriert)";

FilterFileResult Rejected(Fault fault, std::string_view detail = {}) {
    for (const FaultText& entry : kFaultTexts) {
        if (entry.fault != fault) continue;
        std::string text = entry.text;
        if (const size_t slot = text.find("%s"); slot != std::string::npos) {
            text.replace(slot, 2, filterfile::DecodeWindows1252(detail));
        }
        return {FilterFileOutcome::kRejected,
                FilterFileMessage{kErrorCaption, std::move(text), entry.icon, false}};
    }
    return {};
}

// Every "/*" ... "*/" becomes one blank; the "*" that opens a comment may also close it ("/*/").
// An unclosed comment runs to the end. A zero byte ends the text.
std::string RemoveComments(std::string_view bytes) {
    bytes = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
    std::string text;
    text.reserve(bytes.size());
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t open = bytes.find("/*", pos);
        if (open == std::string_view::npos) {
            text.append(bytes.substr(pos));
            break;
        }
        text.append(bytes.substr(pos, open - pos));
        text += ' ';
        const size_t close = bytes.find("*/", open + 1);
        pos = close == std::string_view::npos ? bytes.size() : close + 2;
    }
    return text;
}

// The name behind the identification: the rest of the first line, blanks in front skipped.
// False when the text ends inside the first line.
bool ReadName(Cursor& cursor, LinearFilter& filter) {
    cursor.SkipBlanks();
    const size_t start = cursor.Position();
    while (!cursor.AtEnd() && !filterfile::IsLineEnd(cursor.Peek())) cursor.Advance();
    if (cursor.AtEnd()) return false;
    const std::string_view line = cursor.Since(start);
    std::string name(line.substr(0, kMaxNameLength));
    if (line.size() > kMaxNameLength) name += "...";
    filter.name = filterfile::DecodeWindows1252(name);
    return true;
}

// The single-precision sum of the coefficients in rows row0 ... row1-1 and columns col0 ... col1-1.
float FloatSum(const LinearFilter& filter, int32_t row0, int32_t row1, int32_t col0, int32_t col1) {
    float sum = 0.0f;
    for (int32_t i = row0; i < row1; ++i) {
        const float* row = filter.kernel.data() + static_cast<size_t>(i) * static_cast<size_t>(filter.width);
        for (int32_t j = col0; j < col1; ++j) sum += row[j];
    }
    return sum;
}

// Rectangle sums of the kernel in double precision from a table of prefix sums. A float sum of n
// terms lies within about n * 2^-24 * (sum of magnitudes) of the exact sum, so a rectangle whose
// double sum lies well outside that band cannot sum to 0 in single precision; only the others
// need the exact float summation. This keeps the check fast for large kernels.
class ExactishSums {
  public:
    explicit ExactishSums(const LinearFilter& filter)
        : width_(static_cast<size_t>(filter.width) + 1),
          prefix_((static_cast<size_t>(filter.height) + 1) * width_, 0.0) {
        double magnitude = 0.0;
        for (size_t i = 0; i < static_cast<size_t>(filter.height); ++i) {
            for (size_t j = 0; j < static_cast<size_t>(filter.width); ++j) {
                const double c = filter.kernel[i * (width_ - 1) + j];
                magnitude += std::fabs(c);
                prefix_[(i + 1) * width_ + j + 1] =
                    c + prefix_[i * width_ + j + 1] + prefix_[(i + 1) * width_ + j] - prefix_[i * width_ + j];
            }
        }
        const double n = static_cast<double>(filter.kernel.size());
        const double floatError = n * 0x1p-24;
        // Generous: three times the float bound, plus the error of the prefix sums themselves.
        band_ = floatError >= 0.25 ? HUGE_VAL : (4.0 * floatError + 64.0 * n * 0x1p-53) * magnitude;
    }

    bool CannotBeZero(int32_t row0, int32_t row1, int32_t col0, int32_t col1) const {
        const auto at = [&](int32_t i, int32_t j) {
            return prefix_[static_cast<size_t>(i) * width_ + static_cast<size_t>(j)];
        };
        const double sum = at(row1, col1) - at(row0, col1) - at(row1, col0) + at(row0, col0);
        return std::fabs(sum) > band_;
    }

  private:
    size_t width_;
    std::vector<double> prefix_;
    double band_ = 0.0;
};

// With "CoeffSum" an edge pixel sees the kernel without up to half its rows at the bottom or the
// top and up to half its columns at the left or the right. True when one of these partial
// kernels sums to exactly 0 in single precision (summed row by row from the bottom).
bool SomePartialSumIsZero(const LinearFilter& filter) {
    const int32_t hh = filter.height / 2;
    const int32_t hw = filter.width / 2;
    const ExactishSums sums(filter);
    for (int32_t rows = -hh; rows <= hh; ++rows) {
        const int32_t row0 = rows > 0 ? 0 : -rows;  // rows < 0: removed from the bottom
        const int32_t row1 = rows > 0 ? filter.height - rows : filter.height;
        for (int32_t cols = -hw; cols <= hw; ++cols) {
            const int32_t col0 = cols > 0 ? 0 : -cols;
            const int32_t col1 = cols > 0 ? filter.width - cols : filter.width;
            if (sums.CannotBeZero(row0, row1, col0, col1)) continue;
            if (FloatSum(filter, row0, row1, col0, col1) == 0.0f) return true;
        }
    }
    return false;
}

FilterFileResult Finish(LinearFilter& filter, const filterfile::StatementLog& log) {
    if (!log.matrixRead) return Rejected(Fault::kNoMatrix);
    if (filter.border != kBorderCoeffSum) return {FilterFileOutcome::kAccepted, std::nullopt};
    if (SomePartialSumIsZero(filter)) return Rejected(Fault::kCoeffSumZero);
    filter.border = 0;
    filter.divBy = 0.0f;
    if (!log.divByGiven) return {FilterFileOutcome::kAccepted, std::nullopt};
    return {FilterFileOutcome::kAskFirst,
            FilterFileMessage{kWarningCaption, kDivByQuestion, FilterMessageIcon::kWarning, true}};
}

FilterFileResult Parse(std::string_view fileBytes, LinearFilter& filter) {
    const std::string text = RemoveComments(fileBytes);
    if (!std::string_view(text).starts_with(kIdentification)) return Rejected(Fault::kNoIdentification);
    Cursor cursor(text);
    cursor.Advance(kIdentification.size());
    if (!ReadName(cursor, filter)) return {};
    filterfile::StatementLog log;
    while (true) {
        cursor.SkipSeparators();
        const std::string_view run = cursor.ReadRun(true);
        if (run.empty()) break;
        const auto keyword = filterfile::SelectKeyword(run);
        if (!keyword) return Rejected(Fault::kUnknownKeyword, run);
        if (const Fault fault = ReadStatement(*keyword, cursor, filter, log); fault != Fault::kNone) {
            return Rejected(fault);
        }
    }
    return Finish(filter, log);
}

void Reset(LinearFilter& filter) {
    std::string path = std::move(filter.path);
    filter = LinearFilter{};
    filter.path = std::move(path);
}

// The whole regular file, or none when it cannot be opened or read completely, or is too large.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    const InputFile file(path);
    if (!file.ok() || file.size() > kMaxFilterFileBytes) return std::nullopt;
    const auto size = static_cast<size_t>(file.size());
    if (!AllocationFits(size * 2)) return std::nullopt;
    std::string bytes(size, '\0');
    if (!file.ReadAt(bytes.data(), size, 0)) return std::nullopt;
    return bytes;
}

}  // namespace

FilterFileResult ParseLinearFilterText(std::string_view fileBytes, LinearFilter& filter) {
    Reset(filter);
    try {
        return Parse(fileBytes, filter);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

FilterFileResult ParseLinearFilterFile(LinearFilter& filter) {
    Reset(filter);
    try {
        const auto bytes = ReadWholeFile(filter.path);
        if (!bytes) return {};
        return Parse(*bytes, filter);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace tarkemo
