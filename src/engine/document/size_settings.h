// The entries of the size dialog and the rules that check them: the resize command keeps one
// instance of SizeSettings, the manual spectrum size another. The dialog's fields arrive here as
// text, so what may be confirmed is decided without any window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarkemo {

struct SizeSettings {
    int32_t width = 0;
    int32_t height = 0;
    int32_t offsetX = 0;  // distance of the old image from the new left edge
    int32_t offsetY = 0;  // distance of the old image from the new bottom edge
    bool centreX = true;
    bool centreY = true;
    int32_t fillRule = 0;  // margin fill rule of the border extension (-4 ... 256)
};

// The state of the size dialog's controls. `image` is the size of the image to be resized; none
// in spectrum mode, where both sides must be powers of two.
struct SizeDialogFields {
    std::string width;
    std::string height;
    std::string offsetX;
    std::string offsetY;
    bool centreX = true;
    bool centreY = true;
    bool algorithm = false;  // "Algorithmus:" chosen instead of "Grauwert:"
    int rulePosition = -1;   // chosen entry of the rule list, -1 for none
    bool meanGray = false;   // "Mittlerer Grauwert der bisherigen Bitmap"
    std::string gray;
};

struct ImageExtent {
    int32_t width = 0;
    int32_t height = 0;
};

// The entries of a size list: the current side followed by the powers of two 16 ... 32768 that are
// at least as large (resize mode), or all of those powers (spectrum mode, no side).
std::vector<int32_t> SizeListEntries(std::optional<int32_t> side);

// A fill rule outside -4 ... 256 counts as 0.
int32_t DialogFillRule(int32_t rule);

// True when the dialog may be confirmed: sides of 1 ... 98 digits with values of at least 4 that fit
// 32 bits; in resize mode at least the image's sides, a bitmap of that size allowed, and every offset
// whose box is not ticked at most the growth; in spectrum mode sides of at most 2^30 and offsets at
// most the sides; and a fill that is a chosen rule, the mean gray value or a gray value up to 255.
// Empty or unreadable offsets and gray values count as 0.
bool SizeFieldsValid(const SizeDialogFields& fields, std::optional<ImageExtent> image);

// The next power of two at or above `value` (1 ... 2^30): 100 gives 128, 1024 stays.
int64_t RaiseToPowerOfTwo(int64_t value);

// The settings of valid fields (SizeFieldsValid): the fill rule is -(position + 1) with "Algorithmus:",
// 256 with the mean gray value, the gray value otherwise.
SizeSettings SettingsFromFields(const SizeDialogFields& fields);

// Where the old image lands in the new size: the centred offset (truncated halves) where the box is
// ticked, the stored offset otherwise.
ImageExtent ResizeOffsets(const SizeSettings& settings, ImageExtent image);

}  // namespace tarkemo
