#include "document/local_op_settings.h"

#include "document/number_text.h"

namespace tarkemo {

void AdjustLocalOpSettings(LocalOpSettings& settings, LocalOpKind kind, int32_t width, int32_t height) {
    if (settings.windowHeight < 1) settings = LocalOpSettings{5, 5, 30, 20};
    if (settings.windowWidth > width) settings.windowWidth = 1;
    if (settings.windowHeight > height) settings.windowHeight = 1;
    if (kind == LocalOpKind::kRank) {
        const int64_t count = int64_t{settings.windowWidth} * settings.windowHeight;
        if (settings.rankOrContrast > count) settings.rankOrContrast = static_cast<int32_t>(count);
    }
}

std::vector<int32_t> OddWindowSizes(int32_t side) {
    std::vector<int32_t> sizes;
    for (int32_t size = 1; size <= side / 2 + 1; size += 2) sizes.push_back(size);
    return sizes;
}

std::optional<int> WindowListPosition(int32_t size, int32_t imageSide) {
    if (size < 1 || size % 2 == 0 || size > imageSide / 2 + 1) return std::nullopt;
    return size / 2;
}

std::optional<int64_t> UnsignedField(const std::string& text) {
    return ParseDigitText(text);
}

bool RankInputValid(std::optional<int32_t> windowWidth, std::optional<int32_t> windowHeight,
                    const std::string& rank) {
    if (!windowWidth || !windowHeight) return false;
    const int64_t count = int64_t{*windowWidth} * *windowHeight;
    const std::optional<int64_t> value = UnsignedField(rank);
    return count > 1 && value && *value >= 1 && *value <= count;
}

bool NormalizeInputValid(std::optional<int32_t> windowWidth, std::optional<int32_t> windowHeight,
                         const std::string& lastEdited) {
    if (!windowWidth || !windowHeight) return false;
    const std::optional<int64_t> value = UnsignedField(lastEdited);
    return value && *value >= 1 && *value <= 255;
}

}  // namespace tarkemo
