#include "ops/border_extension.h"

namespace tarkemo {
// Placeholder until border extension lands.
int32_t NormaliseFillRule(int32_t fillRule) { return fillRule; }
std::optional<GrayBitmap> ExtendBorder(const GrayBitmap&, int32_t, int32_t, int32_t, int32_t, int32_t) {
    return std::nullopt;
}
bool ExtendBorderInPlace(GrayBitmap&, int32_t, int32_t, int32_t, int32_t, int32_t) { return false; }
}  // namespace tarkemo
