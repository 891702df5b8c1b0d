#include "particles/area_filter.h"

#include <algorithm>

namespace tarkemo {

void FilterByArea(std::vector<Particle>& particles, uint32_t minArea, uint32_t maxArea) {
    std::erase_if(particles, [&](const Particle& p) {
        const int64_t area = p.area;
        return area < minArea || area > maxArea;
    });
}

}  // namespace tarkemo
