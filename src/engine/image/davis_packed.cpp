#include "image/davis_packed.h"

#include <algorithm>

namespace tarkemo {
namespace {

constexpr uint8_t kWordCode = 0x80;
constexpr uint8_t kWordRunCode = 0x7F;
constexpr unsigned kNibbleEnd = 8;

// The 4-bit two's-complement difference: 0..7 -> 0..7, 8..15 -> -8..-1.
inline unsigned Nibble(unsigned n) {
    return (n ^ 8u) - 8u;
}

// The decoder's registers while it runs; written back to the state when it stops.
struct Cursor {
    const uint8_t* p;
    const uint8_t* end;
    uint16_t* o;
    uint16_t* oEnd;
    unsigned prev;  // only the low 16 bits count: sums wrap like the 16-bit register of the writer
};

inline void Emit(Cursor& c, unsigned value) {
    c.prev = value;
    *c.o++ = static_cast<uint16_t>(value);
}

// Byte mode: runs of plain differences, then one code. False when the stream ends first.
bool DecodeBytes(Cursor& c, PackedStreamState& s) {
    const size_t n = std::min<size_t>(static_cast<size_t>(c.oEnd - c.o), static_cast<size_t>(c.end - c.p));
    const uint8_t* const stop = c.p + n;
    const uint8_t* p = c.p;
    uint16_t* o = c.o;
    unsigned prev = c.prev;
    // 0x7F, 0x80 and 0x81 are the only bytes that are not differences.
    while (p != stop && static_cast<uint8_t>(*p - kWordRunCode) >= 3) {
        prev += static_cast<unsigned>(static_cast<int8_t>(*p++));
        *o++ = static_cast<uint16_t>(prev);
    }
    c.p = p;
    c.o = o;
    c.prev = prev;
    if (c.o == c.oEnd) return true;
    if (c.p == c.end) return false;
    const uint8_t code = *c.p++;
    if (code == kWordCode) {
        if (c.end - c.p < 2) return false;
        Emit(c, c.p[0] | static_cast<unsigned>(c.p[1]) << 8);
        c.p += 2;
    } else if (code == kWordRunCode) {
        if (c.p == c.end) return false;
        s.wordsLeft = *c.p != 0 ? *c.p : 256;
        ++c.p;
        s.mode = PackedMode::kWords;
    } else {
        s.mode = PackedMode::kNibbleHigh;
    }
    return true;
}

// Nibble mode from a fresh byte until the end marker or the last wanted sample.
bool DecodeNibbles(Cursor& c, PackedStreamState& s) {
    while (c.o != c.oEnd) {
        if (c.p == c.end) return false;
        const unsigned byte = *c.p++;
        Emit(c, c.prev + Nibble(byte >> 4));
        if ((byte & 15u) == kNibbleEnd) {
            s.mode = PackedMode::kByte;
            return true;
        }
        if (c.o == c.oEnd) {
            s.held = static_cast<uint8_t>(byte);
            s.mode = PackedMode::kNibbleLow;
            return true;
        }
        Emit(c, c.prev + Nibble(byte & 15u));
    }
    return true;
}

// The low nibble of a byte whose high nibble ended the previous piece.
void DecodeHeldNibble(Cursor& c, PackedStreamState& s) {
    const unsigned n = s.held & 15u;
    s.mode = n == kNibbleEnd ? PackedMode::kByte : PackedMode::kNibbleHigh;
    if (n != kNibbleEnd) Emit(c, c.prev + Nibble(n));
}

bool DecodeWords(Cursor& c, PackedStreamState& s) {
    while (s.wordsLeft != 0 && c.o != c.oEnd) {
        if (c.end - c.p < 2) return false;
        Emit(c, c.p[0] | static_cast<unsigned>(c.p[1]) << 8);
        c.p += 2;
        --s.wordsLeft;
    }
    if (s.wordsLeft == 0) s.mode = PackedMode::kByte;
    return true;
}

}  // namespace

std::optional<size_t> PackedStreamStart(std::span<const uint8_t> data) {
    if (data.size() < 2) return std::nullopt;
    const size_t start = 2 + static_cast<size_t>(data[0]) * data[1];
    if (start > data.size()) return std::nullopt;
    return start;
}

bool DecodePackedWords(std::span<const uint8_t> stream, PackedStreamState& state, uint16_t* out,
                       size_t count) {
    if (state.pos > stream.size()) return false;
    Cursor c{stream.data() + state.pos, stream.data() + stream.size(), out, out + count, state.prev};
    bool ok = true;
    while (ok && c.o != c.oEnd) {
        switch (state.mode) {
            case PackedMode::kByte:
                ok = DecodeBytes(c, state);
                break;
            case PackedMode::kNibbleHigh:
                ok = DecodeNibbles(c, state);
                break;
            case PackedMode::kNibbleLow:
                DecodeHeldNibble(c, state);
                break;
            case PackedMode::kWords:
                ok = DecodeWords(c, state);
                break;
        }
    }
    state.pos = static_cast<size_t>(c.p - stream.data());
    state.prev = static_cast<uint16_t>(c.prev);
    return ok;
}

}  // namespace tarkemo
