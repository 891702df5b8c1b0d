// Labelling of the marked pixels into 8-connected components. Every pixel of a component gets
// the label of the component's root, its pixel with the largest linear index (the rightmost
// pixel of its topmost row), written as that index + 1.
#pragma once

#include <cstdint>
#include <optional>

#include "image/gray_bitmap.h"
#include "particles/label_map.h"

namespace tarkemo {

// Replaces every nonzero entry of a marked map (columns below the width) by its component's
// root index + 1 and returns the number of components, N. Runs in one forward and one backward
// pass whatever the components' shapes. None (map untouched) when the map does not fit.
std::optional<int32_t> LabelComponents(const GrayBitmap& bitmap, LabelMap& map);

}  // namespace tarkemo
