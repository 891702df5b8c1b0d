#include "particles/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarkemo {
namespace {

constexpr int kSignificantDigits = 10;

void StripTrailingZeros(std::string& text) {
    const size_t point = text.find('.');
    if (point == std::string::npos) return;
    size_t end = text.size();
    while (end > point + 1 && text[end - 1] == '0') --end;
    text.resize(end);
}

// The exponent form: one digit, the point, the remaining digits without trailing zeros, then
// "e", the sign and three digits.
std::string ExponentForm(const std::string& mantissa, int exponent) {
    std::string text = mantissa;
    StripTrailingZeros(text);
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + tail;
}

}  // namespace

std::string FormatTableReal(double value) {
    if (value == 0) return "0.";
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    // Rounding to the significant digits first decides the exponent: 9999999999.7 is 1e+010.
    char scientific[48];
    std::snprintf(scientific, sizeof scientific, "%.*e", kSignificantDigits - 1, value);
    const std::string text = scientific;
    const size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    if (exponent < -1 || exponent > kSignificantDigits - 1) return ExponentForm(text.substr(0, e), exponent);
    char plain[64];
    std::snprintf(plain, sizeof plain, "%.*f", kSignificantDigits - 1 - exponent, value);
    std::string result = plain;
    if (result.find('.') == std::string::npos) result += '.';
    StripTrailingZeros(result);
    return result;
}

void FinishTableLine(std::string& line, bool german) {
    std::string out;
    out.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        const bool point = line[i] == '.';
        const bool digitFollows = i + 1 < line.size() && line[i + 1] >= '0' && line[i + 1] <= '9';
        if (point && !digitFollows) continue;
        out += point && german ? ',' : line[i];
    }
    line = std::move(out);
}

}  // namespace tarkemo
