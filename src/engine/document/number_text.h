// Real numbers as the dialogs read and show them: plain decimal syntax in, seven significant
// digits out. Independent of the process locale ("." is always the decimal point).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarkemo {

// The whole text as a real number: an optional sign, digits with at most one ".", at least one
// digit, and an optional exponent ("e" or "E", optional sign, digits). No blanks, no "inf", "nan"
// or hexadecimal. None for any other text and for numbers that are not finite as a float.
// The empty text is none as well; callers that treat it as 0 say so.
std::optional<double> ParseRealText(std::string_view text);

// The whole text as decimal digits only, 1 ... maxDigits of them, with a value within 32 bits
// (at most 2^31 - 1); none for any other text, the empty text included.
std::optional<int64_t> ParseDigitText(std::string_view text, size_t maxDigits = SIZE_MAX);

// `value` with 7 significant digits: plain decimal for 0 and for magnitudes from 0.1 to below
// 10^7, otherwise one digit, ".", the further digits, "e", the exponent's sign and three exponent
// digits. Trailing zeros after the point are dropped, the point stays: 1 gives "1.", 0.1 "0.1",
// 0.00002 "2.e-005", 12345678 "1.234568e+007". NaN gives "nan", infinities "inf" / "-inf".
std::string FormatSevenDigits(double value);

}  // namespace tarkemo
