// The packed word stream of IMX files (image type 19): a thumbnail to skip, then one continuous
// difference code over every line of every frame. Four codes: a signed byte difference, 0x80 with
// one absolute little-endian word, 0x7F with a count of absolute words (0 counts as 256, as in the
// acquisition software), and 0x81 switching to 4-bit differences, two to a byte, high nibble first,
// until a low nibble of 8. Sums wrap modulo 65536. Nothing resets at line or frame boundaries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarkemo {

enum class PackedMode : uint8_t {
    kByte,        // the next byte is a code or a byte difference
    kNibbleHigh,  // the next sample is the high nibble of a fresh byte
    kNibbleLow,   // the next sample is the low nibble of `held`
    kWords,       // `wordsLeft` absolute words follow
};

// Where the decoder stands, so a stream can be decoded in pieces (the first frame into the sample
// array, the rest into scratch space only to check that it is complete).
struct PackedStreamState {
    size_t pos = 0;  // offset of the next unread byte of the stream
    uint16_t prev = 0;
    PackedMode mode = PackedMode::kByte;
    uint8_t held = 0;
    uint32_t wordsLeft = 0;
};

// Offset of the packed stream within the bytes that follow the header: the two thumbnail sides as
// stored plus the thumbnail itself. None when the thumbnail does not fit in `data`.
std::optional<size_t> PackedStreamStart(std::span<const uint8_t> data);

// Decodes the next `count` samples into `out`, continuing from `state`. False when the stream ends
// first; `out` is then only partly written and `state` must not be used again. Never reads outside
// `stream`. Afterwards state.pos is the end of the stream read so far.
bool DecodePackedWords(std::span<const uint8_t> stream, PackedStreamState& state, uint16_t* out,
                       size_t count);

}  // namespace tarkemo
