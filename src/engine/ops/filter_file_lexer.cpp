#include "ops/filter_file_lexer.h"

#include <charconv>
#include <cmath>

namespace tarkemo::filterfile {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the plain decimal number at the start of `text` (0 if none); `negative` tells its sign.
size_t ScanDecimal(std::string_view text, bool& negative) {
    size_t p = 0;
    negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    size_t digits = 0;
    while (p < text.size() && IsDigit(text[p])) ++p, ++digits;
    if (p < text.size() && text[p] == '.') {
        ++p;
        while (p < text.size() && IsDigit(text[p])) ++p, ++digits;
    }
    if (digits == 0) return 0;
    if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
        size_t q = p + 1;
        if (q < text.size() && (text[q] == '+' || text[q] == '-')) ++q;
        if (q < text.size() && IsDigit(text[q])) {
            while (q < text.size() && IsDigit(text[q])) ++q;
            p = q;
        }
    }
    return p;
}

// For a number out of the range of double: true when it is too large rather than too small, judged
// by the decimal exponent of its first significant digit plus the exponent part.
bool TooLarge(std::string_view text) {
    const size_t e = std::min(text.find_first_of("eE"), text.size());
    const std::string_view mantissa = text.substr(0, e);
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::string_view integer = mantissa.substr(0, point);
    const std::string_view fraction = mantissa.substr(std::min(point + 1, mantissa.size()));
    const size_t firstSignificant = integer.find_first_not_of('0');
    int64_t magnitude = 0;
    if (firstSignificant != std::string_view::npos) {
        magnitude = static_cast<int64_t>(integer.size() - firstSignificant) - 1;
    } else {
        magnitude = -static_cast<int64_t>(std::min(fraction.find_first_not_of('0'), fraction.size())) - 1;
    }
    int64_t exponent = 0;
    bool negativeExponent = false;
    for (size_t p = e + 1; p < text.size(); ++p) {
        if (text[p] == '-' || text[p] == '+') {
            negativeExponent = text[p] == '-';
        } else {
            exponent = std::min<int64_t>(exponent * 10 + (text[p] - '0'), 1'000'000'000);
        }
    }
    return magnitude + (negativeExponent ? -exponent : exponent) >= 0;
}

}  // namespace

void Cursor::SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
}

void Cursor::SkipSeparators() {
    while (!AtEnd() && IsSeparator(text_[pos_])) ++pos_;
}

std::string_view Cursor::ReadRun(bool stopAfterColon) {
    const size_t start = pos_;
    while (!AtEnd() && !IsSeparator(text_[pos_])) {
        if (text_[pos_++] == ':' && stopAfterColon) break;
    }
    return text_.substr(start, pos_ - start);
}

DigitRun Cursor::ReadDigits() {
    DigitRun run;
    while (!AtEnd() && IsDigit(text_[pos_])) {
        const int digit = text_[pos_++] - '0';
        run.value = std::min(run.value * 10 + digit, DigitRun::kSaturated);
        run.odd = digit % 2 == 1;
        ++run.length;
    }
    return run;
}

Number Cursor::ReadNumber() {
    Number number;
    bool negative = false;
    const std::string_view rest = Rest();
    number.length = ScanDecimal(rest, negative);
    if (number.length == 0) return number;
    std::string_view digits = rest.substr(0, number.length);
    if (digits.front() == '+' || digits.front() == '-') digits.remove_prefix(1);
    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        magnitude = TooLarge(digits) ? HUGE_VAL : 0.0;
    } else if (error != std::errc() || end != digits.data() + digits.size()) {
        number.length = 0;
        return number;
    }
    number.value = static_cast<float>(negative ? -magnitude : magnitude);
    number.infinite = std::isinf(number.value);
    Advance(number.length);
    return number;
}

std::optional<size_t> SelectByPrefix(std::string_view run, std::span<const std::string_view> candidates) {
    if (run.empty()) return std::nullopt;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (candidates[i].starts_with(run)) return i;
    }
    return std::nullopt;
}

std::string DecodeWindows1252(std::string_view text) {
    // Code points of 0x80 ... 0x9F; the rest of the upper half equals Latin-1.
    static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t code = byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace tarkemo::filterfile
