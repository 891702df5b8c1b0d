#include "document/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tarkemo {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips digits from `pos`; returns how many there were.
size_t SkipDigits(std::string_view text, size_t& pos) {
    const size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    return pos - start;
}

bool HasPlainDecimalSyntax(std::string_view text) {
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    size_t digits = SkipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits += SkipDigits(text, pos);
    }
    if (digits == 0) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        if (SkipDigits(text, pos) == 0) return false;
    }
    return pos == text.size();
}

// Drops trailing zeros after the decimal point, keeping the point itself.
std::string TrimFraction(std::string digits) {
    const size_t point = digits.find('.');
    if (point == std::string::npos) return digits + ".";
    size_t end = digits.size();
    while (end > point + 1 && digits[end - 1] == '0') --end;
    digits.resize(end);
    return digits;
}

}  // namespace

std::optional<double> ParseRealText(std::string_view text) {
    if (!HasPlainDecimalSyntax(text)) return std::nullopt;
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Out of range: huge magnitudes are not finite as a float; tiny ones read as 0.
    if (error == std::errc::result_out_of_range) {
        const size_t e = text.find_first_of("eE");
        if (e == std::string_view::npos || text[e + 1] != '-') return std::nullopt;
        return text.front() == '-' ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(static_cast<float>(value))) return std::nullopt;
    return value;
}

std::optional<int64_t> ParseDigitText(std::string_view text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return std::nullopt;
    }
    return value;
}

std::string FormatSevenDigits(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[64];
    // The exponent after rounding to 7 digits decides the form (9999999.6 is 1.e+007).
    std::snprintf(buffer, sizeof buffer, "%.6e", value);
    const char* e = std::strchr(buffer, 'e');
    const int exponent = std::atoi(e + 1);
    if (value == 0 || (exponent >= -1 && exponent <= 6)) {
        std::snprintf(buffer, sizeof buffer, "%.*f", 6 - (value == 0 ? 0 : exponent), value);
        return TrimFraction(buffer);
    }
    const std::string mantissa = TrimFraction(std::string(buffer, static_cast<size_t>(e - buffer)));
    std::snprintf(buffer, sizeof buffer, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + buffer;
}

}  // namespace tarkemo
