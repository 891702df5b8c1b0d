// A whole particle count in one call: marking (maxima or threshold), labelling, numbering with
// statistics and the area filter; optionally also the displayed result, a copy of the image
// with the particle centres marked. The image itself is never changed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "image/gray_bitmap.h"
#include "image/progress.h"
#include "particles/particle.h"
#include "particles/particle_params.h"

namespace tarkemo {

// The title of the count's messages, for all three methods.
inline constexpr const char* kCountTitle = "Tarkemo - Maxima zählen";

// The message for a count that did not get its memory.
inline constexpr const char* kCountOutOfMemoryText = "Nicht genügend Speicher vorhanden!";

// The question after a count: "Insgesamt gezählte Maxima: N" and whether to export.
inline std::string CountQuestionText(size_t count) {
    return "Insgesamt gezählte Maxima: " + std::to_string(count) + "\n\nWollen Sie die Daten exportieren?";
}

struct CountResult {
    // The image as the count displays it: 255 turned into 254, a plus sign of 255 on each
    // particle's centre, and colour entry 255 cyan or red (see MarkerColour).
    GrayBitmap marked;
    std::vector<Particle> particles;  // after the area filter, particle 1 first
};

// Counts the particles of the image by the method with the threshold minGray (taken as an 8-bit
// value) and keeps those within the area range. None when the memory for the label map or the
// particle list cannot be had, or when the optional Progress (asked between the phases of the
// count) said stop.
std::optional<std::vector<Particle>> CountParticles(const GrayBitmap& image, CountMethod method,
                                                    const ParticleParams& params,
                                                    Progress* progress = nullptr);

// As CountParticles, and also makes the marked copy of the image. None for lack of memory.
std::optional<CountResult> CountAndMarkParticles(const GrayBitmap& image, CountMethod method,
                                                 const ParticleParams& params, Progress* progress = nullptr);

// As CountAndMarkParticles, but marks the image itself, for callers that need no unmarked image
// afterwards. On failure the image is unchanged.
std::optional<std::vector<Particle>> CountAndMarkInPlace(GrayBitmap& image, CountMethod method,
                                                         const ParticleParams& params,
                                                         Progress* progress = nullptr);

}  // namespace tarkemo
