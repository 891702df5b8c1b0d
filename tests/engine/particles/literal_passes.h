// A slow, literal counting engine for the tests: the repeated raster passes exactly as the
// program's counting is defined, with no cleverness, to compare the fast engine against.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "image/gray_bitmap.h"
#include "particles/label_map.h"
#include "particles/particle.h"

namespace tarkemo::literal {

using Offsets = std::vector<std::pair<int, int>>;  // (row, column) steps
inline const Offsets kEarlier = {{0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
inline const Offsets kLater = {{0, 1}, {1, 0}, {1, 1}, {1, -1}};

struct Grid {
    const GrayBitmap& b;
    LabelMap& map;
    bool Inside(int r, int c) const { return r >= 0 && r < b.height && c >= 0 && c < b.width; }
    int32_t& At(int r, int c) const { return map[static_cast<size_t>(r) * b.stride + c]; }
    uint8_t Px(int r, int c) const { return b.At(c, r); }
};

// Unmarks marked pixels that have an unmarked neighbour of the same value among `offsets`.
inline bool UnmarkPass(const Grid& g, bool backward, const Offsets& offsets) {
    bool changed = false;
    for (int k = 0; k < g.b.height; ++k) {
        const int r = backward ? g.b.height - 1 - k : k;
        for (int j = 0; j < g.b.width; ++j) {
            const int c = backward ? g.b.width - 1 - j : j;
            if (g.At(r, c) != -1) continue;
            for (auto [dr, dc] : offsets) {
                if (g.Inside(r + dr, c + dc) && g.Px(r + dr, c + dc) == g.Px(r, c) &&
                    g.At(r + dr, c + dc) == 0) {
                    g.At(r, c) = 0;
                    changed = true;
                    break;
                }
            }
        }
    }
    return changed;
}

inline void FindMaxima(const GrayBitmap& b, uint8_t t, LabelMap& map) {
    Grid g{b, map};
    std::fill(map.begin(), map.end(), 0);
    for (int r = 0; r < b.height; ++r) {
        for (int c = 0; c < b.width; ++c) {
            const uint8_t v = g.Px(r, c);
            bool reject = v < t;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc)
                    if (g.Inside(r + dr, c + dc) && g.Px(r + dr, c + dc) > v) reject = true;
            for (auto [dr, dc] : kEarlier)
                if (g.Inside(r + dr, c + dc) && g.Px(r + dr, c + dc) == v && g.At(r + dr, c + dc) == 0)
                    reject = true;
            if (!reject) g.At(r, c) = -1;
        }
    }
    while (UnmarkPass(g, true, kLater) && UnmarkPass(g, false, kEarlier)) {
    }
}

// Every nonzero entry takes the largest of itself and its neighbours among `offsets`.
inline bool SpreadPass(const Grid& g, bool backward, const Offsets& offsets) {
    bool changed = false;
    for (int k = 0; k < g.b.height; ++k) {
        const int r = backward ? g.b.height - 1 - k : k;
        for (int j = 0; j < g.b.width; ++j) {
            const int c = backward ? g.b.width - 1 - j : j;
            if (g.At(r, c) == 0) continue;
            for (auto [dr, dc] : offsets) {
                if (g.Inside(r + dr, c + dc) && g.At(r + dr, c + dc) > g.At(r, c)) {
                    g.At(r, c) = g.At(r + dr, c + dc);
                    changed = true;
                }
            }
        }
    }
    return changed;
}

inline int32_t LabelComponents(const GrayBitmap& b, LabelMap& map) {
    Grid g{b, map};
    for (int r = 0; r < b.height; ++r)
        for (int c = 0; c < b.width; ++c)
            if (g.At(r, c) == -1) g.At(r, c) = r * b.stride + c + 1;
    while (SpreadPass(g, true, kLater) && SpreadPass(g, false, kEarlier)) {
    }
    int32_t n = 0;
    for (size_t i = 0; i < map.size(); ++i) n += map[i] == static_cast<int32_t>(i) + 1;
    return n;
}

inline std::vector<Particle> NumberComponents(const GrayBitmap& b, LabelMap& map) {
    int32_t next = 0;
    for (int64_t i = static_cast<int64_t>(map.size()) - 1; i >= 0; --i) {
        if (map[i] == 0) continue;
        map[i] = map[i] == i + 1 ? ++next : map[map[i] - 1];
    }
    std::vector<Particle> ps(next, Particle{0, 0, b.width, -1, -1, b.height, 0, 0, 0});
    std::vector<double> plainX(next), plainY(next);
    for (int r = 0; r < b.height; ++r) {
        for (int c = 0; c < b.width; ++c) {
            const int32_t k = map[static_cast<size_t>(r) * b.stride + c];
            if (k == 0) continue;
            Particle& p = ps[k - 1];
            const uint8_t v = b.At(c, r);
            p.centroidX += c * v;
            p.centroidY += r * v;
            plainX[k - 1] += c;
            plainY[k - 1] += r;
            p.left = std::min(p.left, c);
            p.right = std::max(p.right, c);
            p.top = std::max(p.top, r);
            p.bottom = std::min(p.bottom, r);
            p.area += 1;
            p.meanGray += v;
            p.maxGray = std::max(p.maxGray, v);
        }
    }
    for (int k = 0; k < next; ++k) {
        Particle& p = ps[k];
        const double sum = p.meanGray;
        p.centroidX = sum != 0 ? p.centroidX / sum : plainX[k] / p.area;
        p.centroidY = sum != 0 ? p.centroidY / sum : plainY[k] / p.area;
        p.meanGray = sum / p.area;
    }
    return ps;
}

}  // namespace tarkemo::literal
