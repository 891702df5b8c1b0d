#include "document/palette_mapping.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace tarkemo {
namespace {

int32_t ClampLevel(int32_t value) {
    return std::clamp<int32_t>(value, 0, 255);
}

// Every real -> 8-bit conversion: NaN and negative values give 0, 255 and above (inf too) 255.
uint8_t LevelFromReal(double value) {
    if (!(value > 0.0)) return 0;
    if (value >= 255.0) return 255;
    return static_cast<uint8_t>(value);
}

// scale * (x / width)^e: written as x^e * scale / width^e while width^e is finite, as the limit of
// that formula when a large exponent overflows it.
double PowerCurve(double x, double width, double scale, double exponent) {
    const double widthPower = std::pow(width, exponent);
    if (std::isfinite(widthPower)) {
        const double value = std::pow(x, exponent) * scale / widthPower;
        if (std::isfinite(value)) return value;
    }
    return scale * std::pow(x / width, exponent);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Plain decimal syntax: optional sign, digits with an optional fraction, at least one digit.
bool IsPlainDecimal(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    return digits > 0 && i == text.size();
}

}  // namespace

GrayLevels IdentityMapping() {
    GrayLevels mapping{};
    for (size_t i = 0; i < mapping.size(); ++i) mapping[i] = static_cast<uint8_t>(i);
    return mapping;
}

ColourRange OrderedRange(const ColourRange& range) {
    if (!range.Marked()) return ColourRange{};
    const int32_t a = ClampLevel(range.start);
    const int32_t b = ClampLevel(range.end);
    return ColourRange{std::min(a, b), std::max(a, b)};
}

bool SetCurvePoint(GrayLevels& mapping, const ColourRange& range, bool outside, CurvePoint point) {
    const int32_t a = ClampLevel(point.oldValue);
    const int32_t n = ClampLevel(point.newValue);
    if (range.Marked()) {
        const bool inside = a >= range.start && a <= range.end;
        if (inside == outside) return false;
    }
    mapping[static_cast<size_t>(a)] = static_cast<uint8_t>(n);
    return true;
}

bool DragCurve(GrayLevels& mapping, const ColourRange& range, bool outside, CurvePoint& last,
               CurvePoint current) {
    bool set = false;
    if (current.oldValue == last.oldValue) {
        set = SetCurvePoint(mapping, range, outside, current);
    } else {
        const int32_t step = current.oldValue > last.oldValue ? 1 : -1;
        const double slope = static_cast<double>(current.newValue - last.newValue) /
                             static_cast<double>(current.oldValue - last.oldValue);
        for (int32_t a = last.oldValue; a != current.oldValue; a += step) {
            const double n =
                static_cast<double>(last.newValue) + static_cast<double>(a - last.oldValue) * slope;
            set |= SetCurvePoint(mapping, range, outside, CurvePoint{a, static_cast<int32_t>(std::trunc(n))});
        }
    }
    last = current;
    return set;
}

bool NormaliseMapping(GrayLevels& mapping, const GrayHistogram& histogram, const ColourRange& range) {
    int32_t lo = 0;
    int32_t hi = 255;
    if (range.Marked()) {
        lo = ClampLevel(range.start);
        hi = ClampLevel(range.end);
    }
    const bool ordered = lo <= hi;
    while (histogram[static_cast<size_t>(lo)] == 0.0f && lo < 255) ++lo;
    while (histogram[static_cast<size_t>(hi)] == 0.0f && hi > 0) --hi;
    // The rules apply in this order, so a uniform image (lo == hi) maps its value to 0.
    for (int32_t v = 0; v < 256; ++v) {
        uint8_t level = 255;
        if (v <= lo) {
            level = 0;
        } else if (v < hi) {
            level = static_cast<uint8_t>((v - lo) * 256 / (hi - lo));
        }
        mapping[static_cast<size_t>(v)] = level;
    }
    return ordered;
}

std::optional<float> ParseExponent(std::string_view text) {
    if (!IsPlainDecimal(text)) return std::nullopt;
    const double value = std::strtod(std::string(text).c_str(), nullptr);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    const auto exponent = static_cast<float>(value);
    if (!(exponent > 0.0f)) return std::nullopt;
    return exponent;
}

bool PowerMapping(GrayLevels& mapping, double exponent, const ColourRange& range) {
    if (!range.Marked()) {
        for (int32_t v = 0; v < 256; ++v) {
            mapping[static_cast<size_t>(v)] = LevelFromReal(PowerCurve(v, 255.0, 255.0, exponent) + 0.49);
        }
        return true;
    }
    const int32_t start = ClampLevel(range.start);
    const int32_t end = ClampLevel(range.end);
    if (end - start < 3) return false;
    const double first = mapping[static_cast<size_t>(start)];
    const double rise = static_cast<double>(mapping[static_cast<size_t>(end)]) - first;
    for (int32_t v = start; v <= end; ++v) {
        const double curve = PowerCurve(v - start, end - start, rise, exponent);
        mapping[static_cast<size_t>(v)] = LevelFromReal(curve + first + 0.49);
    }
    return true;
}

void InsertLoadedTable(GrayLevels& mapping, const GrayLevels& table, const ColourRange& range,
                       LoadedTablePlacement placement) {
    if (!range.Marked()) {
        mapping = table;
        return;
    }
    const ColourRange r = OrderedRange(range);
    const int32_t width = r.end - r.start;
    for (int32_t v = r.start; v <= r.end; ++v) {
        int32_t from = v;
        if (placement == LoadedTablePlacement::kSqueeze) {
            // (v - start) * 255 / width in integers: the exact product, so the range's last entry
            // always takes the table's last entry.
            from = width == 0 ? 0 : (v - r.start) * 255 / width;
        } else if (placement == LoadedTablePlacement::kMoveToStart) {
            from = v - r.start;
        }
        mapping[static_cast<size_t>(v)] = table[static_cast<size_t>(from)];
    }
}

ColourTable MappedGrayTable(const GrayLevels& mapping) {
    ColourTable table{};
    for (size_t i = 0; i < table.size(); ++i) table[i] = ColourEntry{mapping[i], mapping[i], mapping[i], 0};
    return table;
}

}  // namespace tarkemo
