#include "document/size_settings.h"

#include <algorithm>

#include "document/number_text.h"
#include "image/gray_bitmap.h"

namespace tarkemo {
namespace {

constexpr int64_t kLargestSpectrumSide = int64_t{1} << 30;

// A field of decimal digits only, 1 ... maxDigits of them, as a value within 32 bits.
std::optional<int64_t> DigitsValue(const std::string& text, size_t maxDigits) {
    return ParseDigitText(text, maxDigits);
}

// An offset or gray field: empty counts as 0; anything but digits within 32 bits is none.
std::optional<int64_t> FieldOrZero(const std::string& text) {
    if (text.empty()) return 0;
    return DigitsValue(text, text.size());
}

bool OffsetFits(const std::string& text, bool centred, int64_t room) {
    if (centred) return true;
    const std::optional<int64_t> offset = FieldOrZero(text);
    return offset && *offset <= room;
}

bool FillValid(const SizeDialogFields& fields) {
    if (fields.algorithm) return fields.rulePosition >= 0 && fields.rulePosition <= 3;
    if (fields.meanGray) return true;
    // An unreadable gray field counts as 0.
    const std::optional<int64_t> gray = FieldOrZero(fields.gray);
    return !gray || *gray <= 255;
}

}  // namespace

std::vector<int32_t> SizeListEntries(std::optional<int32_t> side) {
    std::vector<int32_t> entries;
    if (side) entries.push_back(*side);
    for (int32_t power = 16; power <= 32768; power *= 2) {
        if (!side || power >= *side) entries.push_back(power);
    }
    return entries;
}

int32_t DialogFillRule(int32_t rule) {
    return rule < -4 || rule > 256 ? 0 : rule;
}

bool SizeFieldsValid(const SizeDialogFields& fields, std::optional<ImageExtent> image) {
    const std::optional<int64_t> width = DigitsValue(fields.width, 98);
    const std::optional<int64_t> height = DigitsValue(fields.height, 98);
    if (!width || !height || *width < 4 || *height < 4) return false;
    if (image) {
        if (*width < image->width || *height < image->height) return false;
        if (!BitmapSizeAllowed(*width, *height)) return false;
        if (!OffsetFits(fields.offsetX, fields.centreX, *width - image->width)) return false;
        if (!OffsetFits(fields.offsetY, fields.centreY, *height - image->height)) return false;
    } else {
        if (*width > kLargestSpectrumSide || *height > kLargestSpectrumSide) return false;
        if (!OffsetFits(fields.offsetX, fields.centreX, *width)) return false;
        if (!OffsetFits(fields.offsetY, fields.centreY, *height)) return false;
    }
    return FillValid(fields);
}

int64_t RaiseToPowerOfTwo(int64_t value) {
    if (value < 1) return 1;
    if ((value & (value - 1)) == 0) return value;
    int64_t power = 1;
    while (power <= value) power *= 2;
    return power;
}

SizeSettings SettingsFromFields(const SizeDialogFields& fields) {
    SizeSettings settings;
    settings.width = static_cast<int32_t>(DigitsValue(fields.width, 98).value_or(0));
    settings.height = static_cast<int32_t>(DigitsValue(fields.height, 98).value_or(0));
    settings.offsetX = static_cast<int32_t>(FieldOrZero(fields.offsetX).value_or(0));
    settings.offsetY = static_cast<int32_t>(FieldOrZero(fields.offsetY).value_or(0));
    settings.centreX = fields.centreX;
    settings.centreY = fields.centreY;
    int64_t rule = 0;
    if (fields.algorithm) {
        rule = -(fields.rulePosition + 1);
    } else if (fields.meanGray) {
        rule = 256;
    } else {
        rule = FieldOrZero(fields.gray).value_or(0);
    }
    settings.fillRule = rule < -4 || rule > 256 ? 0 : static_cast<int32_t>(rule);
    return settings;
}

ImageExtent ResizeOffsets(const SizeSettings& settings, ImageExtent image) {
    return ImageExtent{settings.centreX ? (settings.width - image.width) / 2 : settings.offsetX,
                       settings.centreY ? (settings.height - image.height) / 2 : settings.offsetY};
}

}  // namespace tarkemo
