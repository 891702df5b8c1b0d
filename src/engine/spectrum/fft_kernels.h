// The FFT kernels, written once over a vector type V of L double lanes and compiled once per
// instruction set. Every lane holds its own transform (a row or a column), so the lanes never
// interact and share each twiddle factor. The float data is widened to double when it enters the
// scratch and rounded once when it leaves, so each pass rounds every element once. In the
// scratch, element k of lane l is at [k·L + l] (real and imaginary part in two blocks).
// Everything here has internal linkage, so that nothing compiled for a wider instruction set can
// be merged into the form of a narrower one.
//
// V provides: R (a register of L doubles), F (a register holding L floats), kLanes, Load/Store
// (aligned doubles), LoadF/StoreF (L unaligned floats), Widen/Narrow between F and R, Set1, and
// TransposeF(F t[kLanes]) (an L × L transpose of float registers).
#pragma once

#include <cstddef>
#include <cstdint>

#include "spectrum/fft_plan.h"

namespace tarkemo::fft {
namespace {

// The real and imaginary block of a thread's scratch; the imaginary block is skewed by one cache
// line so that the two never map to the same cache sets.
template <class V>
inline double* ImagBlock(const Job& job, double* scratch) {
    return scratch + job.block + 8;
}

// Four-point transform in place: X[q] = Σ x[r]·(−i)^(rq).
template <class R>
inline void Dft4(R& ar, R& ai, R& br, R& bi, R& cr, R& ci, R& dr, R& di) {
    const R pr = ar + cr, pi = ai + ci, mr = ar - cr, mi = ai - ci;
    const R qr = br + dr, qi = bi + di, er = br - dr, ei = bi - di;
    ar = pr + qr, ai = pi + qi;
    cr = pr - qr, ci = pi - qi;
    br = mr + ei, bi = mi - er;
    dr = mr - ei, di = mi + er;
}

// Eight-point transform in registers of the residues x[r] (r = 0 .. 7, multiplied by w^(rk) =
// (w[2r − 2], w[2r − 1]) first when kTwiddle), giving X[q] in x[q].
template <class V, bool kTwiddle>
inline void Dft8(typename V::R* xr, typename V::R* xi, const double* w) {
    using R = typename V::R;
    if constexpr (kTwiddle) {
        for (int r = 1; r < 8; ++r) {
            const R wr = V::Set1(w[2 * r - 2]), wi = V::Set1(w[2 * r - 1]);
            const R tr = xr[r] * wr - xi[r] * wi;
            xi[r] = xr[r] * wi + xi[r] * wr;
            xr[r] = tr;
        }
    }
    Dft4(xr[0], xi[0], xr[2], xi[2], xr[4], xi[4], xr[6], xi[6]);
    Dft4(xr[1], xi[1], xr[3], xi[3], xr[5], xi[5], xr[7], xi[7]);
    // The odd half times e^(−2πi·q/8) for q = 1, 2, 3.
    const R half = V::Set1(0.70710678118654752440);
    const R o1r = (xr[3] + xi[3]) * half, o1i = (xi[3] - xr[3]) * half;
    const R o2r = xi[5], o2i = -xr[5];
    const R o3r = (xi[7] - xr[7]) * half, o3i = (xr[7] + xi[7]) * -half;
    const R oddR[4] = {xr[1], o1r, o2r, o3r}, oddI[4] = {xi[1], o1i, o2i, o3i};
    const R evenR[4] = {xr[0], xr[2], xr[4], xr[6]}, evenI[4] = {xi[0], xi[2], xi[4], xi[6]};
    for (int q = 0; q < 4; ++q) {
        xr[q] = evenR[q] + oddR[q], xi[q] = evenI[q] + oddI[q];
        xr[q + 4] = evenR[q] - oddR[q], xi[q + 4] = evenI[q] - oddI[q];
    }
}

// The transform of the first pass, of radix 2, 4 or 8, without twiddles.
template <class V, int kRadix>
inline void FirstDft(typename V::R* xr, typename V::R* xi) {
    if constexpr (kRadix == 2) {
        const auto ar = xr[0], ai = xi[0];
        xr[0] = ar + xr[1], xi[0] = ai + xi[1];
        xr[1] = ar - xr[1], xi[1] = ai - xi[1];
    } else if constexpr (kRadix == 4) {
        Dft4(xr[0], xi[0], xr[1], xi[1], xr[2], xi[2], xr[3], xi[3]);
    } else {
        Dft8<V, false>(xr, xi, nullptr);
    }
}

// In bit-reversed order, point p of a group of kRadix holds the residue BitReversed(p).
template <int kRadix>
constexpr int BitReversed(int p) {
    return kRadix == 2 ? p : kRadix == 4 ? ((p & 1) << 1 | p >> 1) : ((p & 1) << 2 | (p & 2) | p >> 2);
}

template <class V, int kRadix>
inline void FirstPassOf(double* re, double* im, size_t n) {
    constexpr size_t L = V::kLanes;
    typename V::R xr[8], xi[8];
    for (size_t j = 0; j < n; j += kRadix) {
        for (int p = 0; p < kRadix; ++p) {
            xr[BitReversed<kRadix>(p)] = V::Load(re + (j + p) * L);
            xi[BitReversed<kRadix>(p)] = V::Load(im + (j + p) * L);
        }
        FirstDft<V, kRadix>(xr, xi);
        for (int t = 0; t < kRadix; ++t) V::Store(re + (j + t) * L, xr[t]), V::Store(im + (j + t) * L, xi[t]);
    }
}

template <class V>
inline void FirstPass(double* re, double* im, const Tables& t) {
    const size_t n = static_cast<size_t>(t.n);
    if (t.firstRadix == 2) FirstPassOf<V, 2>(re, im, n);
    if (t.firstRadix == 4) FirstPassOf<V, 4>(re, im, n);
    if (t.firstRadix == 8) FirstPassOf<V, 8>(re, im, n);
}

// The radix-8 passes of span h = from, 8·from ... while 8h ≤ limit; `twiddles` moves past them.
template <class V>
inline void Radix8Passes(double* re, double* im, size_t n, size_t from, size_t limit,
                         const double*& twiddles) {
    constexpr size_t L = V::kLanes;
    typename V::R xr[8], xi[8];
    for (size_t h = from; 8 * h <= limit; h *= 8) {
        for (size_t j = 0; j < n; j += 8 * h) {
            for (size_t k = 0; k < h; ++k) {
                double* r = re + (j + k) * L;
                double* i = im + (j + k) * L;
                for (int m = 0; m < 8; ++m) {
                    xr[BitReversed<8>(m)] = V::Load(r + m * h * L);
                    xi[BitReversed<8>(m)] = V::Load(i + m * h * L);
                }
                Dft8<V, true>(xr, xi, twiddles + 14 * k);
                for (int q = 0; q < 8; ++q) V::Store(r + q * h * L, xr[q]), V::Store(i + q * h * L, xi[q]);
            }
        }
        twiddles += 14 * h;
    }
}

// Transforms the L lanes of the scratch, whose input is already in bit-reversed order.
template <class V>
inline void LaneFft(double* re, double* im, const Tables& t) {
    const double* twiddles = t.twiddles;
    FirstPass<V>(re, im, t);
    Radix8Passes<V>(re, im, static_cast<size_t>(t.n), static_cast<size_t>(t.firstRadix),
                    static_cast<size_t>(t.n), twiddles);
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

// Row tiles are kTileFloats wide (kTileFloats / L transposes side by side), so that each row
// access of the fused passes below covers a whole cache line.
constexpr size_t kTileFloats = 16;

// L full rows whose first pass (of radix kRadix, M = n / kRadix ≥ kTileFloats) is done on the way
// in: the tiles at columns k0 + r·M are transposed so that each lane holds its own row.
template <class V, int kRadix>
inline void GatherRowsFirst(const float* re0, const float* im0, size_t stride, const Tables& t, double* re,
                            double* im) {
    constexpr size_t L = V::kLanes;
    const size_t m = static_cast<size_t>(t.n) / kRadix;
    typename V::F tileR[kRadix][kTileFloats], tileI[kRadix][kTileFloats];
    typename V::R xr[8], xi[8];
    for (size_t k0 = 0; k0 < m; k0 += kTileFloats) {
        for (int r = 0; r < kRadix; ++r) {
            for (size_t l = 0; l < L; ++l) {
                for (size_t c0 = 0; c0 < kTileFloats; c0 += L) {
                    tileR[r][c0 + l] = V::LoadF(re0 + l * stride + k0 + c0 + r * m);
                    tileI[r][c0 + l] = V::LoadF(im0 + l * stride + k0 + c0 + r * m);
                }
            }
            for (size_t c0 = 0; c0 < kTileFloats; c0 += L) {
                V::TransposeF(tileR[r] + c0);
                V::TransposeF(tileI[r] + c0);
            }
        }
        for (size_t c = 0; c < kTileFloats; ++c) {
            for (int r = 0; r < kRadix; ++r) xr[r] = V::Widen(tileR[r][c]), xi[r] = V::Widen(tileI[r][c]);
            FirstDft<V, kRadix>(xr, xi);
            const size_t to = static_cast<size_t>(t.bitReverse[k0 + c]) * L;
            for (int u = 0; u < kRadix; ++u)
                V::Store(re + to + u * L, xr[u]), V::Store(im + to + u * L, xi[u]);
        }
    }
}

// The last radix-8 pass (span h = n/8 ≥ kTileFloats) on the way out, transposed back into L full
// rows.
template <class V>
inline void ScatterRowsLast(const double* re, const double* im, const Tables& t, const double* twiddles,
                            size_t stride, float* re0, float* im0) {
    constexpr size_t L = V::kLanes;
    const size_t h = static_cast<size_t>(t.n) / 8;
    typename V::F outR[8][kTileFloats], outI[8][kTileFloats];
    typename V::R xr[8], xi[8];
    for (size_t k0 = 0; k0 < h; k0 += kTileFloats) {
        for (size_t c = 0; c < kTileFloats; ++c) {
            const size_t k = k0 + c;
            for (int m = 0; m < 8; ++m) {
                xr[BitReversed<8>(m)] = V::Load(re + (k + m * h) * L);
                xi[BitReversed<8>(m)] = V::Load(im + (k + m * h) * L);
            }
            Dft8<V, true>(xr, xi, twiddles + 14 * k);
            for (int q = 0; q < 8; ++q) outR[q][c] = V::Narrow(xr[q]), outI[q][c] = V::Narrow(xi[q]);
        }
        for (size_t q = 0; q < 8; ++q) {
            for (size_t c0 = 0; c0 < kTileFloats; c0 += L) {
                V::TransposeF(outR[q] + c0);
                V::TransposeF(outI[q] + c0);
            }
            for (size_t l = 0; l < L; ++l) {
                for (size_t c0 = 0; c0 < kTileFloats; c0 += L) {
                    V::StoreF(re0 + l * stride + k0 + c0 + q * h, outR[q][c0 + l]);
                    V::StoreF(im0 + l * stride + k0 + c0 + q * h, outI[q][c0 + l]);
                }
            }
        }
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
    const Tables& t = job.rows;
    const size_t n = static_cast<size_t>(t.n);
    const bool full = count == L && t.n >= L;
    const bool fuseFirst = full && static_cast<size_t>(t.n / t.firstRadix) >= kTileFloats;
    const bool fuseLast = full && t.n >= 16 && static_cast<size_t>(t.n / 8) >= kTileFloats;
    if (fuseFirst) {
        if (t.firstRadix == 2) GatherRowsFirst<V, 2>(parts[0], parts[1], stride, t, lanes[0], lanes[1]);
        if (t.firstRadix == 4) GatherRowsFirst<V, 4>(parts[0], parts[1], stride, t, lanes[0], lanes[1]);
        if (t.firstRadix == 8) GatherRowsFirst<V, 8>(parts[0], parts[1], stride, t, lanes[0], lanes[1]);
    } else {
        for (int p = 0; p < 2; ++p) {
            if (full) {
                GatherRowsTransposed<V>(parts[p], stride, t, lanes[p]);
            } else {
                GatherRowsPlain<V>(parts[p], stride, count, t, lanes[p]);
            }
        }
        FirstPass<V>(lanes[0], lanes[1], t);
    }
    const double* twiddles = t.twiddles;
    Radix8Passes<V>(lanes[0], lanes[1], n, static_cast<size_t>(t.firstRadix), fuseLast ? n / 8 : n, twiddles);
    if (fuseLast) {
        ScatterRowsLast<V>(lanes[0], lanes[1], t, twiddles, stride, parts[0], parts[1]);
        return;
    }
    for (int p = 0; p < 2; ++p) {
        if (full) {
            ScatterRowsTransposed<V>(lanes[p], stride, job.width, parts[p]);
        } else {
            ScatterRowsPlain<V>(lanes[p], stride, count, job.width, parts[p]);
        }
    }
}

// Every row of a strip lies on its own page, beyond the reach of the hardware prefetchers, so the
// rows a few steps ahead are asked for explicitly (into the second-level cache: the rows of a strip
// all map to the same few first-level sets).
constexpr size_t kPrefetchRows = 8;

template <class V>
inline void PrefetchStrip(const float* row, size_t floats, bool write) {
    for (size_t i = 0; i < floats; i += 16) {
        if (write) {
            __builtin_prefetch(row + i, 1, 2);
        } else {
            __builtin_prefetch(row + i, 0, 2);
        }
    }
}

// The kRadix × 2 strip pieces one butterfly step reads or writes are copied through a small
// buffer, so that each cache line of the big arrays is touched once and whole.
template <class V>
inline void CopyFloats(const float* from, size_t count, float* to) {
    constexpr size_t L = V::kLanes;
    for (size_t i = 0; i < count; i += L) V::StoreF(to + i, V::LoadF(from + i));
}

// The strip's columns go to the scratch in groups of L, each group a contiguous block of
// height·L doubles, so that every pass walks one compact block. The first pass is done on the
// way in: its kRadix inputs q + r·M (M = n / kRadix) are whole rows of the strip, and its outputs
// land together at the bit-reversed place of q.
template <class V, int kRadix>
inline void GatherColumnsFirst(const Job& job, size_t col0, int groups, double* re, double* im) {
    constexpr size_t L = V::kLanes;
    const Tables& t = job.columns;
    const size_t n = static_cast<size_t>(t.n), m = n / kRadix, stride = static_cast<size_t>(job.width);
    const size_t strip = static_cast<size_t>(groups) * L;
    alignas(64) float stage[2][kRadix][kMaxStripFloats];
    typename V::R xr[8], xi[8];
    for (size_t q = 0; q < m; ++q) {
        for (int r = 0; r < kRadix; ++r) {
            const size_t from = (q + r * m) * stride + col0;
            if (q + kPrefetchRows < m) {
                PrefetchStrip<V>(job.re + from + kPrefetchRows * stride, strip, false);
                PrefetchStrip<V>(job.im + from + kPrefetchRows * stride, strip, false);
            }
            CopyFloats<V>(job.re + from, strip, stage[0][r]);
            CopyFloats<V>(job.im + from, strip, stage[1][r]);
        }
        const size_t to = static_cast<size_t>(t.bitReverse[q]) * L;
        for (size_t g = 0; g < static_cast<size_t>(groups); ++g) {
            for (int r = 0; r < kRadix; ++r) {
                xr[r] = V::Widen(V::LoadF(stage[0][r] + g * L));
                xi[r] = V::Widen(V::LoadF(stage[1][r] + g * L));
            }
            FirstDft<V, kRadix>(xr, xi);
            double* blockR = re + g * n * L + to;
            double* blockI = im + g * n * L + to;
            for (int u = 0; u < kRadix; ++u) V::Store(blockR + u * L, xr[u]), V::Store(blockI + u * L, xi[u]);
        }
    }
}

// The last radix-8 pass (span h = n/8) on the way out: its outputs k + q·h are whole rows of the
// strip, scaled and rounded to float.
template <class V>
inline void ScatterColumnsLast(const Job& job, size_t col0, int groups, const double* twiddles,
                               const double* re, const double* im) {
    constexpr size_t L = V::kLanes;
    const size_t n = static_cast<size_t>(job.columns.n), h = n / 8, stride = static_cast<size_t>(job.width);
    const size_t strip = static_cast<size_t>(groups) * L;
    const auto factor = V::Set1(job.scale);
    alignas(64) float stage[2][8][kMaxStripFloats];
    typename V::R xr[8], xi[8];
    for (size_t k = 0; k < h; ++k) {
        for (size_t g = 0; g < static_cast<size_t>(groups); ++g) {
            const double* blockR = re + g * n * L + k * L;
            const double* blockI = im + g * n * L + k * L;
            for (int m = 0; m < 8; ++m) {
                xr[BitReversed<8>(m)] = V::Load(blockR + m * h * L);
                xi[BitReversed<8>(m)] = V::Load(blockI + m * h * L);
            }
            Dft8<V, true>(xr, xi, twiddles + 14 * k);
            for (size_t q = 0; q < 8; ++q) {
                V::StoreF(stage[0][q] + g * L, V::Narrow(xr[q] * factor));
                V::StoreF(stage[1][q] + g * L, V::Narrow(xi[q] * factor));
            }
        }
        for (size_t q = 0; q < 8; ++q) {
            const size_t to = (k + q * h) * stride + col0;
            if (k + kPrefetchRows < h) {
                PrefetchStrip<V>(job.re + to + kPrefetchRows * stride, strip, true);
                PrefetchStrip<V>(job.im + to + kPrefetchRows * stride, strip, true);
            }
            CopyFloats<V>(stage[0][q], strip, job.re + to);
            CopyFloats<V>(stage[1][q], strip, job.im + to);
        }
    }
}

template <class V>
inline void ScatterColumns(const double* src, size_t stride, int groups, int n, double scale, float* dst) {
    constexpr size_t L = V::kLanes;
    const size_t groupSize = static_cast<size_t>(n) * L;
    const auto factor = V::Set1(scale);
    for (size_t r = 0; r < static_cast<size_t>(n); ++r) {
        for (int g = 0; g < groups; ++g) {
            V::StoreF(dst + r * stride + g * L, V::Narrow(V::Load(src + g * groupSize + r * L) * factor));
        }
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
    const Tables& t = job.columns;
    if (t.firstRadix == 2) GatherColumnsFirst<V, 2>(job, col0, groups, lanes[0], lanes[1]);
    if (t.firstRadix == 4) GatherColumnsFirst<V, 4>(job, col0, groups, lanes[0], lanes[1]);
    if (t.firstRadix == 8) GatherColumnsFirst<V, 8>(job, col0, groups, lanes[0], lanes[1]);
    if (n == t.firstRadix) {
        for (int p = 0; p < 2; ++p) ScatterColumns<V>(lanes[p], job.width, groups, n, job.scale, parts[p]);
        return;
    }
    const double* twiddles = t.twiddles;
    for (int g = 0; g < groups; ++g) {
        twiddles = t.twiddles;
        Radix8Passes<V>(lanes[0] + g * groupSize, lanes[1] + g * groupSize, static_cast<size_t>(n),
                        static_cast<size_t>(t.firstRadix), static_cast<size_t>(n) / 8, twiddles);
    }
    ScatterColumnsLast<V>(job, col0, groups, twiddles, lanes[0], lanes[1]);
}

}  // namespace
}  // namespace tarkemo::fft
