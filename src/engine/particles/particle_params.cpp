#include "particles/particle_params.h"

#include <algorithm>

namespace tarkemo {

ColourTable ThresholdPreviewTable(const ColourTable& saved, uint32_t minGray) {
    ColourTable preview = saved;
    const uint32_t dark = std::min<uint32_t>(minGray, 256);
    for (uint32_t i = 0; i < dark; ++i) preview[i] = ColourEntry{50, 0, 0, 0};
    return preview;
}

}  // namespace tarkemo
