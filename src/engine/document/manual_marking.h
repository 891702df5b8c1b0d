// The rules of the dialog "Markierung manuell eingeben": four digit fields (X and Y of the lower
// left corner, width and height) turned into a marking of the image, valid or not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/marking.h"

namespace tarkemo {

// The four field texts, UTF-8.
struct ManualFields {
    std::string x;
    std::string y;
    std::string width;
    std::string height;
    friend bool operator==(const ManualFields&, const ManualFields&) = default;
};

// A digit field: empty reads 0; none for any other character than 0-9, for 79 characters or
// more, and for a value beyond 32 bits.
std::optional<int64_t> ReadDigitField(std::string_view text);

// The fields that show `entry`: X = left, Y = bottom, width = right - left + 1,
// height = top - bottom + 1 (the all-zero entry shows 0, 0, 1, 1).
ManualFields ManualFieldsFor(const Marking& entry);

// What the fields mean for a width x height image: left = X, bottom = Y, right = X + width - 1,
// top = Y + height - 1, computed in 64 bits. Valid when every field reads, width and height are
// not 0 and the marking ends inside the image; otherwise the marking is the whole image.
struct ManualMarking {
    Marking marking;
    bool valid = false;
};
ManualMarking ManualMarkingFromFields(const ManualFields& fields, int32_t imageWidth, int32_t imageHeight);

}  // namespace tarkemo
