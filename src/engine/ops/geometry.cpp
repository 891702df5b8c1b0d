#include "ops/geometry.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarkemo {
namespace {

// 16 bytes handled as one SIMD register; the compiler maps the shuffles onto pshufb and punpck.
// __builtin_shufflevector takes constant indices and is understood by GCC and Clang alike.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint16_t Words8 __attribute__((vector_size(16)));
typedef uint32_t Dwords4 __attribute__((vector_size(16)));
typedef uint64_t Qwords2 __attribute__((vector_size(16)));

constexpr int32_t kBlock = 16;  // side of the transposed blocks
constexpr int32_t kTile = 64;   // side of the tiles, so every written cache line is filled at once

inline Bytes16 Load(const uint8_t* p) {
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(uint8_t* p, Bytes16 v) {
    std::memcpy(p, &v, sizeof v);
}

inline Bytes16 Reversed(Bytes16 v) {
    return __builtin_shufflevector(v, v, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
}

// Reverses row[0 .. n) in place.
void ReverseRow(uint8_t* row, int32_t n) {
    int32_t left = 0;
    int32_t right = n;
    for (; right - left >= 2 * kBlock; left += kBlock, right -= kBlock) {
        const Bytes16 a = Load(row + left);
        const Bytes16 b = Load(row + right - kBlock);
        Store(row + left, Reversed(b));
        Store(row + right - kBlock, Reversed(a));
    }
    std::reverse(row + left, row + right);
}

// a[x] and b[n - 1 - x] trade places for every x; a and b are different rows.
void SwapReversed(uint8_t* a, uint8_t* b, int32_t n) {
    int32_t x = 0;
    for (; x + kBlock <= n; x += kBlock) {
        const Bytes16 va = Load(a + x);
        const Bytes16 vb = Load(b + n - kBlock - x);
        Store(a + x, Reversed(vb));
        Store(b + n - kBlock - x, Reversed(va));
    }
    for (; x < n; ++x) std::swap(a[x], b[n - 1 - x]);
}

// The punpckl / punpckh pairs: interleave the low (high) halves of a and b in units of 1, 2, 4, 8 bytes.
inline void Interleave8(Bytes16 a, Bytes16 b, Bytes16& low, Bytes16& high) {
    low = __builtin_shufflevector(a, b, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
    high = __builtin_shufflevector(a, b, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
}

inline void Interleave16(Bytes16 a, Bytes16 b, Bytes16& low, Bytes16& high) {
    const auto wa = reinterpret_cast<Words8>(a);
    const auto wb = reinterpret_cast<Words8>(b);
    low = reinterpret_cast<Bytes16>(__builtin_shufflevector(wa, wb, 0, 8, 1, 9, 2, 10, 3, 11));
    high = reinterpret_cast<Bytes16>(__builtin_shufflevector(wa, wb, 4, 12, 5, 13, 6, 14, 7, 15));
}

inline void Interleave32(Bytes16 a, Bytes16 b, Bytes16& low, Bytes16& high) {
    const auto da = reinterpret_cast<Dwords4>(a);
    const auto db = reinterpret_cast<Dwords4>(b);
    low = reinterpret_cast<Bytes16>(__builtin_shufflevector(da, db, 0, 4, 1, 5));
    high = reinterpret_cast<Bytes16>(__builtin_shufflevector(da, db, 2, 6, 3, 7));
}

inline void Interleave64(Bytes16 a, Bytes16 b, Bytes16& low, Bytes16& high) {
    const auto qa = reinterpret_cast<Qwords2>(a);
    const auto qb = reinterpret_cast<Qwords2>(b);
    low = reinterpret_cast<Bytes16>(__builtin_shufflevector(qa, qb, 0, 2));
    high = reinterpret_cast<Bytes16>(__builtin_shufflevector(qa, qb, 1, 3));
}

// Register k and k + 8 take the interleaved halves of registers 2k and 2k + 1.
template <void (*Interleave)(Bytes16, Bytes16, Bytes16&, Bytes16&)>
inline void InterleaveStage(Bytes16 (&v)[16]) {
    Bytes16 out[16];
    for (int k = 0; k < 8; ++k) Interleave(v[2 * k], v[2 * k + 1], out[k], out[k + 8]);
    for (int k = 0; k < 16; ++k) v[k] = out[k];
}

// After the four stages register m holds column BitReversed(m) of the 16 input rows.
constexpr int kColumnRegister[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};

inline void Transpose16(Bytes16 (&v)[16]) {
    InterleaveStage<Interleave8>(v);
    InterleaveStage<Interleave16>(v);
    InterleaveStage<Interleave32>(v);
    InterleaveStage<Interleave64>(v);
}

// One output pixel of a quarter turn: where the source pixel of new (nx, ny) lies.
struct QuarterTurn {
    bool left;
    int32_t width;   // of the source
    int32_t height;  // of the source
    int32_t SourceX(int32_t /*nx*/, int32_t ny) const { return left ? ny : width - 1 - ny; }
    int32_t SourceY(int32_t nx, int32_t /*ny*/) const { return left ? height - 1 - nx : nx; }
};

// Turns the 16 x 16 source block with bottom-left corner (x0, y0).
void TurnBlock(const GrayBitmap& source, GrayBitmap& target, bool left, int32_t x0, int32_t y0) {
    Bytes16 v[16];
    // Turning left reads the rows top-down so that each new row comes out in ascending order.
    for (int j = 0; j < kBlock; ++j) v[j] = Load(source.Row(left ? y0 + kBlock - 1 - j : y0 + j) + x0);
    Transpose16(v);
    for (int i = 0; i < kBlock; ++i) {
        const Bytes16 column = v[kColumnRegister[i]];
        if (left) {
            Store(target.Row(x0 + i) + source.height - kBlock - y0, column);
        } else {
            Store(target.Row(source.width - 1 - x0 - i) + y0, column);
        }
    }
}

// The pixels of the new image whose source lies in columns [fromX, W) or rows [fromY, H), the
// strips the whole blocks leave over.
void TurnRemainder(const GrayBitmap& source, GrayBitmap& target, bool left, int32_t fromX, int32_t fromY) {
    const QuarterTurn turn{left, source.width, source.height};
    const int32_t restY = source.height - fromY;
    for (int32_t ny = 0; ny < target.height; ++ny) {
        // A new row is one source column; the source rows from fromY up lie at one end of it.
        const bool wholeRow = left ? ny >= fromX : ny < source.width - fromX;
        const int32_t begin = wholeRow || left ? 0 : fromY;
        const int32_t end = wholeRow || !left ? target.width : restY;
        uint8_t* row = target.Row(ny);
        for (int32_t nx = begin; nx < end; ++nx)
            row[nx] = source.At(turn.SourceX(nx, ny), turn.SourceY(nx, ny));
    }
}

std::optional<GrayBitmap> Turned(const GrayBitmap& source, bool left) {
    auto target = CreateLike(source, source.height, source.width, false);
    if (!target) return std::nullopt;
    const int32_t fullX = source.width / kBlock * kBlock;
    const int32_t fullY = source.height / kBlock * kBlock;
#pragma omp parallel for schedule(static)
    for (int32_t tileY = 0; tileY < fullY; tileY += kTile) {
        for (int32_t tileX = 0; tileX < fullX; tileX += kTile) {
            for (int32_t y0 = tileY; y0 < std::min(tileY + kTile, fullY); y0 += kBlock) {
                for (int32_t x0 = tileX; x0 < std::min(tileX + kTile, fullX); x0 += kBlock) {
                    TurnBlock(source, *target, left, x0, y0);
                }
            }
        }
    }
    if (fullX < source.width || fullY < source.height) TurnRemainder(source, *target, left, fullX, fullY);
    // The filler bytes at the row ends are not pixels; keep them defined.
    for (int32_t y = 0; y < target->height; ++y) {
        std::memset(target->Row(y) + target->width, 0, static_cast<size_t>(target->stride - target->width));
    }
    return target;
}

}  // namespace

void MirrorLeftRight(GrayBitmap& bitmap) {
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height; ++y) ReverseRow(bitmap.Row(y), bitmap.width);
}

void MirrorTopBottom(GrayBitmap& bitmap) {
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height / 2; ++y) {
        uint8_t* low = bitmap.Row(y);
        std::swap_ranges(low, low + bitmap.width, bitmap.Row(bitmap.height - 1 - y));
    }
}

void Rotate180(GrayBitmap& bitmap) {
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < bitmap.height / 2; ++y) {
        SwapReversed(bitmap.Row(y), bitmap.Row(bitmap.height - 1 - y), bitmap.width);
    }
    if (bitmap.height % 2 == 1) ReverseRow(bitmap.Row(bitmap.height / 2), bitmap.width);
}

std::optional<GrayBitmap> RotatedLeft(const GrayBitmap& bitmap) {
    return Turned(bitmap, true);
}

std::optional<GrayBitmap> RotatedRight(const GrayBitmap& bitmap) {
    return Turned(bitmap, false);
}

bool RotateLeft(GrayBitmap& bitmap) {
    auto turned = RotatedLeft(bitmap);
    if (!turned) return false;
    bitmap = std::move(*turned);
    return true;
}

bool RotateRight(GrayBitmap& bitmap) {
    auto turned = RotatedRight(bitmap);
    if (!turned) return false;
    bitmap = std::move(*turned);
    return true;
}

Marking MirrorMarkingLeftRight(const Marking& m, int32_t width, int32_t /*height*/) {
    return Marking{width - 1 - m.right, m.top, width - 1 - m.left, m.bottom};
}

Marking MirrorMarkingTopBottom(const Marking& m, int32_t /*width*/, int32_t height) {
    return Marking{m.left, height - 1 - m.bottom, m.right, height - 1 - m.top};
}

Marking RotateMarking180(const Marking& m, int32_t width, int32_t height) {
    return MirrorMarkingTopBottom(MirrorMarkingLeftRight(m, width, height), width, height);
}

Marking RotateMarkingLeft(const Marking& m, int32_t /*width*/, int32_t height) {
    return Marking{height - 1 - m.top, m.right, height - 1 - m.bottom, m.left};
}

Marking RotateMarkingRight(const Marking& m, int32_t width, int32_t /*height*/) {
    return Marking{m.bottom, width - 1 - m.left, m.top, width - 1 - m.right};
}

}  // namespace tarkemo
