// The FFT kernels, written once over a vector type V of L double lanes and compiled once per
// instruction set. Every lane holds its own transform (a row or a column), so the lanes never
// interact and share each twiddle factor. The float data is widened to double when it enters the
// scratch and rounded once when it leaves, so each pass rounds every element once. In the
// scratch, element k of lane l is at [k·L + l] (real and imaginary part in two blocks). Every
// function here is a template on V, and each V lives in an anonymous namespace of its instruction
// set's source: nothing compiled for a wider instruction set can be merged into a narrower form.
//
// V provides: R (a register of L doubles), F (a register holding L floats), kLanes, Load/Store
// (aligned doubles), LoadF/StoreF (L unaligned floats), Widen/Narrow between F and R, Set1, and
// TransposeF(F t[kLanes]) (an L × L transpose of float registers).
#pragma once

#include <cstddef>
#include <cstdint>

#include "spectrum/fft_plan.h"

namespace tarkemo::fft {

// The real and imaginary block of a thread's scratch; the imaginary block is skewed by one cache
// line so that the two never map to the same cache sets.
template <class V>
inline double* ImagBlock(const Job& job, double* scratch) {
    return scratch + job.block + 8;
}

template <class V>
inline void Radix2Pass(double* re, double* im, int n) {
    constexpr size_t L = V::kLanes;
    for (size_t j = 0; j < static_cast<size_t>(n); j += 2) {
        double* r = re + j * L;
        double* i = im + j * L;
        const auto ar = V::Load(r), ai = V::Load(i), br = V::Load(r + L), bi = V::Load(i + L);
        V::Store(r, ar + br);
        V::Store(i, ai + bi);
        V::Store(r + L, ar - br);
        V::Store(i + L, ai - bi);
    }
}

// One radix-4 butterfly of a decimation in time on bit-reversed input. Its four inputs are the
// transforms of the residues 0, 2, 1, 3 (mod 4) at distance s; the twiddles w^k, w^2k, w^3k (or
// none) go to the residues 1, 2, 3.
template <class V, bool kTwiddle>
inline void Butterfly4(double* re, double* im, size_t s, const double* w) {
    auto a0r = V::Load(re), a0i = V::Load(im);
    auto a2r = V::Load(re + s), a2i = V::Load(im + s);
    auto a1r = V::Load(re + 2 * s), a1i = V::Load(im + 2 * s);
    auto a3r = V::Load(re + 3 * s), a3i = V::Load(im + 3 * s);
    if constexpr (kTwiddle) {
        const auto w1r = V::Set1(w[0]), w1i = V::Set1(w[1]);
        const auto w2r = V::Set1(w[2]), w2i = V::Set1(w[3]);
        const auto w3r = V::Set1(w[4]), w3i = V::Set1(w[5]);
        const auto t1r = a1r * w1r - a1i * w1i, t1i = a1r * w1i + a1i * w1r;
        const auto t2r = a2r * w2r - a2i * w2i, t2i = a2r * w2i + a2i * w2r;
        const auto t3r = a3r * w3r - a3i * w3i, t3i = a3r * w3i + a3i * w3r;
        a1r = t1r, a1i = t1i, a2r = t2r, a2i = t2i, a3r = t3r, a3i = t3i;
    }
    const auto pr = a0r + a2r, pi = a0i + a2i, mr = a0r - a2r, mi = a0i - a2i;
    const auto qr = a1r + a3r, qi = a1i + a3i, dr = a1r - a3r, di = a1i - a3i;
    V::Store(re, pr + qr);
    V::Store(im, pi + qi);
    V::Store(re + 2 * s, pr - qr);
    V::Store(im + 2 * s, pi - qi);
    // X[k + h] = (a0 − t2) − i·(t1 − t3), X[k + 3h] = (a0 − t2) + i·(t1 − t3)
    V::Store(re + s, mr + di);
    V::Store(im + s, mi - dr);
    V::Store(re + 3 * s, mr - di);
    V::Store(im + 3 * s, mi + dr);
}

template <class V>
inline void Radix4Pass(double* re, double* im, int n, int h, const double* twiddles) {
    constexpr size_t L = V::kLanes;
    const size_t s = static_cast<size_t>(h) * L;
    for (size_t j = 0; j < static_cast<size_t>(n); j += 4 * static_cast<size_t>(h)) {
        for (int k = 0; k < h; ++k) {
            const size_t at = (j + static_cast<size_t>(k)) * L;
            Butterfly4<V, true>(re + at, im + at, s, twiddles + 6 * k);
        }
    }
}

template <class V>
inline void Radix4FirstPass(double* re, double* im, int n) {
    constexpr size_t L = V::kLanes;
    for (size_t j = 0; j < static_cast<size_t>(n); j += 4)
        Butterfly4<V, false>(re + j * L, im + j * L, L, nullptr);
}

// Transforms the L lanes of the scratch, whose input is already in bit-reversed order.
template <class V>
inline void LaneFft(double* re, double* im, const Tables& tables) {
    const int n = tables.n;
    int h = 4;
    if (tables.log2n & 1) {
        Radix2Pass<V>(re, im, n);
        h = 2;
    } else {
        Radix4FirstPass<V>(re, im, n);
    }
    const double* twiddles = tables.twiddles;
    for (; 4 * h <= n; h *= 4) {
        Radix4Pass<V>(re, im, n, h, twiddles);
        twiddles += 6 * h;
    }
}

// Rows of length n (count of them, the others 0) into the lanes, bit-reversed, element by element.
template <class V>
inline void GatherRowsPlain(const float* src, size_t stride, int count, const Tables& t, double* dst) {
    constexpr size_t L = V::kLanes;
    for (size_t l = 0; l < L; ++l) {
        for (int k = 0; k < t.n; ++k) {
            dst[static_cast<size_t>(t.bitReverse[k]) * L + l] =
                l < static_cast<size_t>(count) ? src[l * stride + static_cast<size_t>(k)] : 0.0f;
        }
    }
}

template <class V>
inline void ScatterRowsPlain(const double* src, size_t stride, int count, int n, float* dst) {
    constexpr size_t L = V::kLanes;
    for (size_t l = 0; l < static_cast<size_t>(count); ++l) {
        for (size_t k = 0; k < static_cast<size_t>(n); ++k)
            dst[l * stride + k] = static_cast<float>(src[k * L + l]);
    }
}

// L full rows of length n ≥ L, through L × L register transposes.
template <class V>
inline void GatherRowsTransposed(const float* src, size_t stride, const Tables& t, double* dst) {
    constexpr size_t L = V::kLanes;
    typename V::F tile[L];
    for (size_t k0 = 0; k0 < static_cast<size_t>(t.n); k0 += L) {
        for (size_t l = 0; l < L; ++l) tile[l] = V::LoadF(src + l * stride + k0);
        V::TransposeF(tile);
        for (size_t c = 0; c < L; ++c) {
            V::Store(dst + static_cast<size_t>(t.bitReverse[k0 + c]) * L, V::Widen(tile[c]));
        }
    }
}

template <class V>
inline void ScatterRowsTransposed(const double* src, size_t stride, int n, float* dst) {
    constexpr size_t L = V::kLanes;
    typename V::F tile[L];
    for (size_t k0 = 0; k0 < static_cast<size_t>(n); k0 += L) {
        for (size_t c = 0; c < L; ++c) tile[c] = V::Narrow(V::Load(src + (k0 + c) * L));
        V::TransposeF(tile);
        for (size_t l = 0; l < L; ++l) V::StoreF(dst + l * stride + k0, tile[l]);
    }
}

template <class V>
void RowBatch(const Job& job, int row0, double* scratch) {
    constexpr int L = V::kLanes;
    const size_t stride = static_cast<size_t>(job.width);
    const int count = job.height - row0 < L ? job.height - row0 : L;
    float* const parts[2] = {job.re + static_cast<size_t>(row0) * stride,
                             job.im + static_cast<size_t>(row0) * stride};
    double* const lanes[2] = {scratch, ImagBlock<V>(job, scratch)};
    const bool full = count == L && job.width >= L;
    for (int p = 0; p < 2; ++p) {
        if (full) {
            GatherRowsTransposed<V>(parts[p], stride, job.rows, lanes[p]);
        } else {
            GatherRowsPlain<V>(parts[p], stride, count, job.rows, lanes[p]);
        }
    }
    LaneFft<V>(lanes[0], lanes[1], job.rows);
    for (int p = 0; p < 2; ++p) {
        if (full) {
            ScatterRowsTransposed<V>(lanes[p], stride, job.width, parts[p]);
        } else {
            ScatterRowsPlain<V>(lanes[p], stride, count, job.width, parts[p]);
        }
    }
}

// The strip's columns go to the scratch in groups of L, each group a contiguous block of
// height·L doubles, so that every transform pass walks one compact block.
template <class V>
inline void GatherColumns(const float* src, size_t stride, int groups, const Tables& t, double* dst) {
    constexpr size_t L = V::kLanes;
    const size_t groupSize = static_cast<size_t>(t.n) * L;
    for (int r = 0; r < t.n; ++r) {
        const float* row = src + static_cast<size_t>(r) * stride;
        double* to = dst + static_cast<size_t>(t.bitReverse[r]) * L;
        for (int g = 0; g < groups; ++g) V::Store(to + g * groupSize, V::Widen(V::LoadF(row + g * L)));
    }
}

template <class V>
inline void ScatterColumns(const double* src, size_t stride, int groups, int n, double scale, float* dst) {
    constexpr size_t L = V::kLanes;
    const size_t groupSize = static_cast<size_t>(n) * L;
    const auto factor = V::Set1(scale);
    for (size_t r = 0; r < static_cast<size_t>(n); ++r) {
        const double* from = src + r * L;
        float* row = dst + r * stride;
        for (int g = 0; g < groups; ++g)
            V::StoreF(row + g * L, V::Narrow(V::Load(from + g * groupSize) * factor));
    }
}

// Fewer columns than lanes (the whole grid is narrower than one register): missing lanes are 0.
template <class V>
inline void GatherColumnsPlain(const float* src, int width, const Tables& t, double* dst) {
    constexpr size_t L = V::kLanes;
    for (int r = 0; r < t.n; ++r) {
        for (size_t l = 0; l < L; ++l) {
            dst[static_cast<size_t>(t.bitReverse[r]) * L + l] =
                l < static_cast<size_t>(width) ? src[static_cast<size_t>(r) * width + l] : 0.0f;
        }
    }
}

template <class V>
inline void ScatterColumnsPlain(const double* src, int width, int n, double scale, float* dst) {
    constexpr size_t L = V::kLanes;
    for (size_t r = 0; r < static_cast<size_t>(n); ++r) {
        for (size_t l = 0; l < static_cast<size_t>(width); ++l) {
            dst[r * width + l] = static_cast<float>(src[r * L + l] * scale);
        }
    }
}

template <class V>
void ColumnStrip(const Job& job, int col0, double* scratch) {
    constexpr int L = V::kLanes;
    const size_t stride = static_cast<size_t>(job.width);
    const int n = job.height;
    float* const parts[2] = {job.re + col0, job.im + col0};
    double* const lanes[2] = {scratch, ImagBlock<V>(job, scratch)};
    if (job.width < L) {
        for (int p = 0; p < 2; ++p) GatherColumnsPlain<V>(parts[p], job.width, job.columns, lanes[p]);
        LaneFft<V>(lanes[0], lanes[1], job.columns);
        for (int p = 0; p < 2; ++p) ScatterColumnsPlain<V>(lanes[p], job.width, n, job.scale, parts[p]);
        return;
    }
    const int groups = job.strip / L;
    const size_t groupSize = static_cast<size_t>(n) * L;
    for (int p = 0; p < 2; ++p) GatherColumns<V>(parts[p], stride, groups, job.columns, lanes[p]);
    for (int g = 0; g < groups; ++g)
        LaneFft<V>(lanes[0] + g * groupSize, lanes[1] + g * groupSize, job.columns);
    for (int p = 0; p < 2; ++p) ScatterColumns<V>(lanes[p], stride, groups, n, job.scale, parts[p]);
}

}  // namespace tarkemo::fft
