// Writes DaVis IMX/IMG files the way the acquisition software does, so the reader can be tested
// and measured on realistic files: the 256-byte header, the thumbnail, the packed word stream
// with the writer's choice of codes, raw word and float data, and the closing END record.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "image/gray_bitmap.h"

namespace tarkemo::testimages {

// The header fields the reader looks at; every other header byte is left 0.
struct DavisHeaderFields {
    int16_t imageType = 19;
    int16_t rows = 0;     // -1: use longRows
    int16_t columns = 0;  // -1: use longColumns
    int16_t subtype = 0;
    int16_t frameCount = 1;  // fdim
    uint8_t version = 55;
    int32_t longRows = 0;
    int32_t longColumns = 0;
    int32_t longZDim = 1;
};

// The 256 header bytes.
std::vector<uint8_t> MakeDavisHeader(const DavisHeaderFields& fields);

// Header fields for an nx x ny image of `frames` frames as the software writes them (version 55,
// rows counting one frame, -1 with the long fields for sides above 32767).
DavisHeaderFields DavisImageFields(int16_t imageType, int32_t nx, int32_t ny, int16_t frames = 1);

// The thumbnail block (two side bytes, then the 8-bit thumbnail) of a first frame of nx x ny samples.
std::vector<uint8_t> MakeDavisThumbnail(std::span<const uint16_t> frame, int32_t nx, int32_t ny);

// The packed stream of all samples (nx per line, lines one after another) by the writer's rules:
// byte differences, 0x80 words, nibble runs of odd length >= 7 within a line that never take the
// line's last sample, and three or more consecutive words folded into 0x7F runs (at most 255,
// across line ends, never at the end of the image).
std::vector<uint8_t> EncodeDavisPackedStream(std::span<const uint16_t> samples, int32_t nx);

// Whole files with an END record after the samples. `samples` holds nx * ny * frames samples.
std::vector<uint8_t> MakeDavisPackedFile(std::span<const uint16_t> samples, int32_t nx, int32_t ny,
                                         int16_t frames = 1);
std::vector<uint8_t> MakeDavisWordFile(std::span<const uint16_t> samples, int32_t nx, int32_t ny,
                                       int16_t frames = 1);
std::vector<uint8_t> MakeDavisFloatFile(std::span<const float> samples, int32_t nx, int32_t ny);

// The bitmap's pixels as file samples, top row first, each value * scale + offset.
std::vector<uint16_t> DavisSamplesFromBitmap(const GrayBitmap& bitmap, int32_t scale = 1, int32_t offset = 0);

}  // namespace tarkemo::testimages
