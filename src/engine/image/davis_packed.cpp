#include "image/davis_packed.h"

#include <algorithm>

namespace tarkemo {
namespace {

constexpr uint8_t kWordCode = 0x80;
constexpr uint8_t kWordRunCode = 0x7F;
constexpr uint8_t kNibbleCode = 0x81;
constexpr unsigned kNibbleEnd = 8;

// The 4-bit two's-complement difference: 0..7 -> 0..7, 8..15 -> -8..-1.
inline unsigned Nibble(unsigned n) {
    return (n ^ 8u) - 8u;
}

inline unsigned Word(const uint8_t* p) {
    return p[0] | static_cast<unsigned>(p[1]) << 8;
}

inline size_t Budget(size_t a, size_t b) {
    return a < b ? a : b;
}

}  // namespace

std::optional<size_t> PackedStreamStart(std::span<const uint8_t> data) {
    if (data.size() < 2) return std::nullopt;
    const size_t start = 2 + static_cast<size_t>(data[0]) * data[1];
    if (start > data.size()) return std::nullopt;
    return start;
}

// The decoder is one state machine whose modes jump to each other directly, as it runs once per
// sample over images of many million samples. In the byte and nibble modes the
// loops first run unchecked for as many steps as the stream and the output surely have room for
// (a byte-mode step takes at most three bytes and gives one sample, a nibble byte gives at most
// two samples); a checked step then handles the codes near either end.
bool DecodePackedWords(std::span<const uint8_t> stream, PackedStreamState& state, uint16_t* out,
                       size_t count) {
    if (state.pos > stream.size()) return false;
    const uint8_t* p = stream.data() + state.pos;
    const uint8_t* const end = stream.data() + stream.size();
    uint16_t* o = out;
    uint16_t* const oEnd = out + count;
    unsigned prev = state.prev;  // only the low 16 bits count: sums wrap like the writer's 16-bit register
    unsigned left = state.wordsLeft;
    unsigned byte = state.held;
    PackedMode mode = state.mode;
    bool ok = true;
    if (o == oEnd) goto done;
    switch (mode) {
        case PackedMode::kByte:
            goto byteMode;
        case PackedMode::kNibbleHigh:
            goto nibbleMode;
        case PackedMode::kNibbleLow:
            goto heldNibble;
        case PackedMode::kWords:
            goto wordMode;
    }

byteMode:
    for (size_t budget = Budget(static_cast<size_t>(oEnd - o), static_cast<size_t>(end - p) / 3); budget;
         --budget) {
        byte = *p++;
        if (byte == kWordRunCode) goto wordRun;
        if (byte == kNibbleCode) goto nibbleMode;
        // Both readings are formed and one is kept: byte and word codes mix unpredictably in noisy images.
        const bool isWord = byte == kWordCode;
        prev = isWord ? Word(p) : prev + static_cast<unsigned>(static_cast<int8_t>(byte));
        p += isWord ? 2 : 0;
        *o++ = static_cast<uint16_t>(prev);
    }
    mode = PackedMode::kByte;
    if (o == oEnd) goto done;
    if (p == end) goto fail;
    byte = *p++;
    if (byte == kWordRunCode) goto wordRun;
    if (byte == kNibbleCode) goto nibbleMode;
    if (byte == kWordCode) {
        if (end - p < 2) goto fail;
        prev = Word(p);
        p += 2;
    } else {
        prev += static_cast<unsigned>(static_cast<int8_t>(byte));
    }
    *o++ = static_cast<uint16_t>(prev);
    goto byteMode;

wordRun:
    if (p == end) goto fail;
    left = *p != 0 ? *p : 256;  // the software's 8-bit counter wraps: 0 means 256
    ++p;
wordMode:
    mode = PackedMode::kWords;
    {
        const size_t run =
            std::min<size_t>(left, Budget(static_cast<size_t>(oEnd - o), static_cast<size_t>(end - p) / 2));
        for (size_t i = 0; i < run; ++i, p += 2) o[i] = static_cast<uint16_t>(Word(p));
        o += run;
        left -= static_cast<unsigned>(run);
        if (run != 0) prev = o[-1];
    }
    if (left == 0) goto byteMode;
    if (o == oEnd) goto done;
    goto fail;

nibbleMode:
    for (size_t budget = Budget(static_cast<size_t>(oEnd - o) / 2, static_cast<size_t>(end - p)); budget;
         --budget) {
        byte = *p++;
        prev += Nibble(byte >> 4);
        *o++ = static_cast<uint16_t>(prev);
        if ((byte & 15u) == kNibbleEnd) goto byteMode;
        prev += Nibble(byte & 15u);
        *o++ = static_cast<uint16_t>(prev);
    }
    mode = PackedMode::kNibbleHigh;
    if (o == oEnd) goto done;
    if (p == end) goto fail;
    byte = *p++;
    prev += Nibble(byte >> 4);
    *o++ = static_cast<uint16_t>(prev);
heldNibble:
    if ((byte & 15u) == kNibbleEnd) goto byteMode;
    mode = PackedMode::kNibbleLow;
    if (o == oEnd) goto done;
    prev += Nibble(byte & 15u);
    *o++ = static_cast<uint16_t>(prev);
    goto nibbleMode;

fail:
    ok = false;
done:
    state.pos = static_cast<size_t>(p - stream.data());
    state.prev = static_cast<uint16_t>(prev);
    state.wordsLeft = left;
    state.held = static_cast<uint8_t>(byte);
    state.mode = mode;
    return ok;
}

}  // namespace tarkemo
