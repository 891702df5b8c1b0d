#include "image/gray_histogram_avx512.h"

#include <immintrin.h>

// GCC 12 reports the deliberately undefined operands inside its own AVX-512 intrinsics
// (_mm512_undefined_*) as uninitialised wherever they are inlined.
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)  // clang has no such warning and would warn about the unknown name
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <array>

#define TARKEMO_AVX512_HISTOGRAM __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vpopcntdq,gfni")))

namespace tarkemo::detail {
namespace {

// Two blocks of 512 pixels are split side by side, so each node of the split costs one pass over
// the tree for 1024 pixels.
constexpr size_t kBlock = 512;
constexpr size_t kStep = 2 * kBlock;

// Bit m of every pixel of a block: bit i of plane m belongs to the same pixel for every m.
struct Planes {
    __m512i bit[8];
    __m512i clear[8];  // the complements: pixels whose bit m is 0
};

// Byte (m * 8 + q) takes byte (q * 8 + m): gathers byte m of each 64-bit word into word m.
constexpr std::array<uint8_t, 64> GatherByPlane() {
    std::array<uint8_t, 64> index{};
    for (int m = 0; m < 8; ++m) {
        for (int q = 0; q < 8; ++q) index[static_cast<size_t>(m * 8 + q)] = static_cast<uint8_t>(q * 8 + m);
    }
    return index;
}
alignas(64) constexpr std::array<uint8_t, 64> kGatherByPlane = GatherByPlane();

// Transposes the 8 x 8 matrix of 64-bit words in r: out[m] word j = r[j] word m.
TARKEMO_AVX512_HISTOGRAM inline void TransposeWords(const __m512i (&r)[8], __m512i (&out)[8]) {
    __m512i t[8];
    for (int j = 0; j < 8; j += 2) {
        t[j] = _mm512_unpacklo_epi64(r[j], r[j + 1]);
        t[j + 1] = _mm512_unpackhi_epi64(r[j], r[j + 1]);
    }
    const __m512i lo2 = _mm512_setr_epi64(0, 1, 8, 9, 4, 5, 12, 13);
    const __m512i hi2 = _mm512_setr_epi64(2, 3, 10, 11, 6, 7, 14, 15);
    __m512i s[8];
    for (int base : {0, 4}) {
        s[base + 0] = _mm512_permutex2var_epi64(t[base + 0], lo2, t[base + 2]);
        s[base + 2] = _mm512_permutex2var_epi64(t[base + 0], hi2, t[base + 2]);
        s[base + 1] = _mm512_permutex2var_epi64(t[base + 1], lo2, t[base + 3]);
        s[base + 3] = _mm512_permutex2var_epi64(t[base + 1], hi2, t[base + 3]);
    }
    const __m512i lo4 = _mm512_setr_epi64(0, 1, 2, 3, 8, 9, 10, 11);
    const __m512i hi4 = _mm512_setr_epi64(4, 5, 6, 7, 12, 13, 14, 15);
    for (int m = 0; m < 4; ++m) {
        out[m] = _mm512_permutex2var_epi64(s[m], lo4, s[m + 4]);
        out[m + 4] = _mm512_permutex2var_epi64(s[m], hi4, s[m + 4]);
    }
}

TARKEMO_AVX512_HISTOGRAM inline void LoadPlanes(const uint8_t* block, Planes& planes) {
    // As a matrix over GF(2), each 64-bit word of the input is transposed: byte m of the result
    // holds bit m of the word's eight pixels.
    const __m512i unitBytes = _mm512_set1_epi64(static_cast<long long>(0x8040201008040201ULL));
    const __m512i gather = _mm512_load_si512(kGatherByPlane.data());
    __m512i words[8];
    for (int j = 0; j < 8; ++j) {
        const __m512i pixels = _mm512_loadu_si512(block + 64 * j);
        words[j] = _mm512_permutexvar_epi8(gather, _mm512_gf2p8affine_epi64_epi8(unitBytes, pixels, 0));
    }
    TransposeWords(words, planes.bit);
    const __m512i all = _mm512_set1_epi64(-1);
    for (int m = 0; m < 8; ++m) planes.clear[m] = _mm512_xor_si512(planes.bit[m], all);
}

// Splits the pixel sets a and b (masks) by value bit L. The pixels with the bit set are counted
// under the smallest value they can still have (prefix | 2^L), so every value 1 ... 255 names exactly
// one counted set; the others follow by subtraction at the end.
template <int L>
TARKEMO_AVX512_HISTOGRAM inline void Split(__m512i a, __m512i b, const Planes& pa, const Planes& pb,
                                           __m512i* sums, int prefix) {
    const __m512i setA = _mm512_and_si512(a, pa.bit[L]);
    const __m512i setB = _mm512_and_si512(b, pb.bit[L]);
    const int named = prefix | (1 << L);
    sums[named] =
        _mm512_add_epi64(sums[named], _mm512_add_epi64(_mm512_popcnt_epi64(setA), _mm512_popcnt_epi64(setB)));
    if constexpr (L > 0) {
        Split<L - 1>(_mm512_andnot_si512(pa.bit[L], a), _mm512_andnot_si512(pb.bit[L], b), pa, pb, sums,
                     prefix);
        Split<L - 1>(setA, setB, pa, pb, sums, named);
    }
}

// The count of every value whose bits above `level` equal prefix's, from the counted sets.
void Resolve(const std::array<uint64_t, 256>& named, uint64_t total, int prefix, int level,
             GrayCounts& counts) {
    if (level == 0) {
        counts[static_cast<size_t>(prefix)] += total;
        return;
    }
    const int upper = prefix | (1 << (level - 1));
    const uint64_t withBit = named[static_cast<size_t>(upper)];
    Resolve(named, total - withBit, prefix, level - 1, counts);
    Resolve(named, withBit, upper, level - 1, counts);
}

}  // namespace

bool HistogramAvx512Available() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vpopcntdq") &&
           __builtin_cpu_supports("gfni");
}

TARKEMO_AVX512_HISTOGRAM void CountBytesAvx512(const uint8_t* bytes, size_t size, GrayCounts& counts) {
    alignas(64) __m512i sums[256];
    for (__m512i& sum : sums) sum = _mm512_setzero_si512();
    const __m512i all = _mm512_set1_epi64(-1);
    size_t done = 0;
    for (; done + kStep <= size; done += kStep) {
        Planes a;
        Planes b;
        LoadPlanes(bytes + done, a);
        LoadPlanes(bytes + done + kBlock, b);
        Split<7>(all, all, a, b, sums, 0);
    }
    std::array<uint64_t, 256> named{};
    for (size_t v = 1; v < named.size(); ++v)
        named[v] = static_cast<uint64_t>(_mm512_reduce_add_epi64(sums[v]));
    Resolve(named, done, 0, 8, counts);
    for (size_t i = done; i < size; ++i) ++counts[bytes[i]];
}

}  // namespace tarkemo::detail
