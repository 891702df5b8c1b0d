// The palette editor's gray-value mapping: a new gray value for every old one, shaped by points
// and drags on the curve, stretched to the values that occur ("Normalisieren"), replaced by a
// power curve ("Potentiell"), or filled from a loaded palette file. A marked colour range of old
// values limits what the shaping touches. Pure functions on plain data; the dialog shows the result.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "image/gray_histogram.h"
#include "image/palettes.h"

namespace tarkemo {

// The marked colour range of old gray values, both ends 0..255 once marked; -1 and -1: none.
struct ColourRange {
    int32_t start = -1;
    int32_t end = -1;
    bool Marked() const { return start >= 0 && end >= 0; }
    friend bool operator==(const ColourRange&, const ColourRange&) = default;
};

// One mouse position in curve coordinates: old value from left to right, new value from the bottom.
struct CurvePoint {
    int32_t oldValue = 0;
    int32_t newValue = 0;
};

// Mapping entry i = i.
GrayLevels IdentityMapping();

// Brings both ends into 0..255 and start <= end (a range without both ends stays unmarked).
ColourRange OrderedRange(const ColourRange& range);

// Sets the point (a, n), both clamped to 0..255. With a range the point is set only when a lies
// inside it for a drag started without Ctrl, or outside it for a drag started with Ctrl
// (`outside`). True when the entry was set.
bool SetCurvePoint(GrayLevels& mapping, const ColourRange& range, bool outside, CurvePoint point);

// One mouse move of a curve drag from `last` to `current`: at the same old value the point itself,
// otherwise the straight line from `last` up to, but not including, current's old value. `last`
// becomes `current`. True when any entry was set.
bool DragCurve(GrayLevels& mapping, const ColourRange& range, bool outside, CurvePoint& last,
               CurvePoint current);

// "Normalisieren": stretches the occurring values between the range's ends (or 0 and 255) to
// 0..255; entries at or below the lower end become 0, at or above the upper end 255. False (the
// caller beeps) when the range's end lies below its start; the mapping is still computed.
bool NormaliseMapping(GrayLevels& mapping, const GrayHistogram& histogram, const ColourRange& range);

// The exponent field: plain decimal text ("2", "0.5", "+1.25"), finite and above 0 as a float.
// None for anything else ("2x", "0", "", "1e3", " 2", "inf").
std::optional<float> ParseExponent(std::string_view text);

// "Potentiell": without a range v -> v^e scaled to 0..255; with a range of at least 4 values the
// entries between its ends become a power curve from mapping[start] to mapping[end]. A narrower
// range changes nothing (false).
bool PowerMapping(GrayLevels& mapping, double exponent, const ColourRange& range);

// How a loaded table goes into a marked range: squeezed to the range's width, its beginning moved
// to the range's beginning, or each entry at its own position.
enum class LoadedTablePlacement { kSqueeze, kMoveToStart, kSamePositions };

// Without a range the loaded table becomes the mapping; with one only the entries start..end change.
void InsertLoadedTable(GrayLevels& mapping, const GrayLevels& table, const ColourRange& range,
                       LoadedTablePlacement placement);

// The preview colour table: entry i is gray mapping[i].
ColourTable MappedGrayTable(const GrayLevels& mapping);

}  // namespace tarkemo
