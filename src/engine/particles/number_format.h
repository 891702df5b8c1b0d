// The number format of the exported particle table: real numbers with 10 significant digits,
// very small and very large ones in exponent form with a three-digit exponent (5e-002), points
// that no digit follows dropped, and optionally the German decimal comma.
#pragma once

#include <string>

namespace tarkemo {

// The real number as first written into a table line: 10 significant digits with trailing zeros
// removed but the point kept ("12.", "3.25", "0."); below 0.1 (except 0) and from 10^10 on in
// exponent form ("5.e-002", "3.90625e-002", "1.234567891e+010").
std::string FormatTableReal(double value);

// Completes a table line: deletes every decimal point that no digit follows ("12." -> "12",
// "5.e-002" -> "5e-002") and, when `german` is set, turns the remaining points into commas.
void FinishTableLine(std::string& line, bool german);

}  // namespace tarkemo
