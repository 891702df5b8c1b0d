// The entries of the dialog of the local normalisation and the rank filter: one record shared by
// both, so values entered for one are offered to the other next time, and the rules by which the
// dialog lists window sizes and checks its numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarkemo {

struct LocalOpSettings {
    int32_t windowWidth = 0;     // odd
    int32_t windowHeight = 0;    // odd; below 1 the record counts as unset
    int32_t rankOrContrast = 0;  // rank filter: the rank (1 = smallest); normalisation: minimum contrast
    int32_t compareWith = 0;     // normalisation: threshold where the contrast is too small
};

enum class LocalOpKind { kNormalize, kRank };

// The adjustments made when the dialog opens for a width x height image: an unset record becomes
// 5, 5, 30, 20; a window side larger than the image's becomes 1; for the rank filter a rank above
// the window's pixel count is lowered to that count.
void AdjustLocalOpSettings(LocalOpSettings& settings, LocalOpKind kind, int32_t width, int32_t height);

// The odd window sides the dialog offers for an image side: 1, 3, 5, ... up to side / 2 + 1.
std::vector<int32_t> OddWindowSizes(int32_t side);

// The list position of a stored window side (side / 2), or none when the list does not hold it.
std::optional<int> WindowListPosition(int32_t size, int32_t imageSide);

// An unsigned decimal number field as a value within 32 bits; none for anything else.
std::optional<int64_t> UnsignedField(const std::string& text);

// Rank filter: OK needs a window chosen in both lists that is larger than 1 x 1 and a rank of
// 1 ... width * height.
bool RankInputValid(std::optional<int32_t> windowWidth, std::optional<int32_t> windowHeight,
                    const std::string& rank);

// Local normalisation: OK needs a window chosen in both lists and the field edited last holding a
// value of 1 ... 255.
bool NormalizeInputValid(std::optional<int32_t> windowWidth, std::optional<int32_t> windowHeight,
                         const std::string& lastEdited);

}  // namespace tarkemo
