#include "document/manual_marking.h"

#include <limits>

namespace tarkemo {
namespace {

constexpr size_t kFieldLengthLimit = 79;

}  // namespace

std::optional<int64_t> ReadDigitField(std::string_view text) {
    if (text.size() >= kFieldLengthLimit) return std::nullopt;
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    }
    return value;
}

ManualFields ManualFieldsFor(const Marking& entry) {
    return ManualFields{std::to_string(entry.left), std::to_string(entry.bottom),
                        std::to_string(static_cast<int64_t>(entry.right) - entry.left + 1),
                        std::to_string(static_cast<int64_t>(entry.top) - entry.bottom + 1)};
}

ManualMarking ManualMarkingFromFields(const ManualFields& fields, int32_t imageWidth, int32_t imageHeight) {
    const ManualMarking invalid{WholeImageMarking(imageWidth, imageHeight), false};
    const std::optional<int64_t> x = ReadDigitField(fields.x);
    const std::optional<int64_t> y = ReadDigitField(fields.y);
    const std::optional<int64_t> w = ReadDigitField(fields.width);
    const std::optional<int64_t> h = ReadDigitField(fields.height);
    if (!x || !y || !w || !h || *w == 0 || *h == 0) return invalid;
    const int64_t right = *x + *w - 1;
    const int64_t top = *y + *h - 1;
    if (right > static_cast<int64_t>(imageWidth) - 1 || top > static_cast<int64_t>(imageHeight) - 1) {
        return invalid;
    }
    return ManualMarking{Marking{static_cast<int32_t>(*x), static_cast<int32_t>(top),
                                 static_cast<int32_t>(right), static_cast<int32_t>(*y)},
                         true};
}

}  // namespace tarkemo
