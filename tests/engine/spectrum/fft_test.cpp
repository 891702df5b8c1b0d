#include "spectrum/fft.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "spectrum/fft_plan.h"

namespace tarkemo {
namespace {

struct Grid {
    int width, height;
    std::vector<float> re, im;
    size_t Size() const { return re.size(); }
};

Grid RandomGrid(int width, int height, unsigned seed) {
    Grid g{width, height, std::vector<float>(size_t(width) * height),
           std::vector<float>(size_t(width) * height)};
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    for (size_t i = 0; i < g.Size(); ++i) g.re[i] = uniform(random), g.im[i] = uniform(random);
    return g;
}

bool Transform(Grid& g, int sign) {
    return Fft2D(g.re.data(), g.im.data(), g.width, g.height, sign);
}

// The literal radix-2 recurrence (bit reversal, twiddles w ← w + w·wp in double, double
// butterflies stored as float): the accuracy yardstick.
void Radix2(float* data, int n, int sign) {
    for (int i = 0, j = 0; i < n; ++i) {
        if (j > i) std::swap(data[2 * i], data[2 * j]), std::swap(data[2 * i + 1], data[2 * j + 1]);
        int bit = n >> 1;
        for (; bit >= 1 && (j & bit); bit >>= 1) j ^= bit;
        j |= bit;
    }
    for (int len = 2; len <= n; len <<= 1) {
        const double theta = -sign * 2.0 * M_PI / len, s = std::sin(0.5 * theta);
        const double wpr = -2.0 * s * s, wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (int k = 0; k < len / 2; ++k) {
            for (int g = k; g < n; g += len) {
                float* a = data + 2 * g;
                float* b = data + 2 * (g + len / 2);
                const double tr = wr * b[0] - wi * b[1], ti = wr * b[1] + wi * b[0];
                b[0] = float(a[0] - tr), b[1] = float(a[1] - ti);
                a[0] = float(a[0] + tr), a[1] = float(a[1] + ti);
            }
            const double t = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + t * wpi + wi;
        }
    }
}

// Applies `line` to every row, then every column, then scales the forward transform.
template <typename T, typename Line>
void Separable(std::vector<T>& re, std::vector<T>& im, int w, int h, int sign, Line line) {
    std::vector<T> buffer;
    for (int pass = 0; pass < 2; ++pass) {
        const int n = pass == 0 ? w : h, count = pass == 0 ? h : w;
        const size_t step = pass == 0 ? 1 : size_t(w), next = pass == 0 ? size_t(w) : 1;
        buffer.resize(2 * size_t(n));
        for (int c = 0; c < count; ++c) {
            for (int k = 0; k < n; ++k)
                buffer[2 * k] = re[c * next + k * step], buffer[2 * k + 1] = im[c * next + k * step];
            line(buffer.data(), n, sign);
            for (int k = 0; k < n; ++k)
                re[c * next + k * step] = buffer[2 * k], im[c * next + k * step] = buffer[2 * k + 1];
        }
    }
    if (sign > 0) {
        for (size_t i = 0; i < re.size(); ++i) re[i] /= T(double(w) * h), im[i] /= T(double(w) * h);
    }
}

// Double-precision radix-2 with every twiddle from its exact angle.
void ExactLine(double* data, int n, int sign) {
    std::vector<std::complex<double>> x(size_t(n), 0.0);
    for (int i = 0, j = 0; i < n; ++i) {
        x[j] = {data[2 * i], data[2 * i + 1]};
        int bit = n >> 1;
        for (; bit >= 1 && (j & bit); bit >>= 1) j ^= bit;
        j |= bit;
    }
    for (int len = 2; len <= n; len <<= 1) {
        for (int k = 0; k < len / 2; ++k) {
            const std::complex<double> w = std::polar(1.0, -sign * 2.0 * M_PI * k / len);
            for (int g = k; g < n; g += len) {
                const std::complex<double> t = w * x[g + len / 2];
                x[g + len / 2] = x[g] - t;
                x[g] += t;
            }
        }
    }
    for (int i = 0; i < n; ++i) data[2 * i] = x[i].real(), data[2 * i + 1] = x[i].imag();
}

// The plain sum of the definition, in long double.
void DirectLine(long double* data, int n, int sign) {
    std::vector<long double> out(2 * size_t(n));
    for (int k = 0; k < n; ++k) {
        for (int m = 0; m < n; ++m) {
            const long double angle = -sign * 2.0L * M_PI * ((int64_t(k) * m) % n) / n;
            out[2 * k] += data[2 * m] * std::cos(angle) - data[2 * m + 1] * std::sin(angle);
            out[2 * k + 1] += data[2 * m] * std::sin(angle) + data[2 * m + 1] * std::cos(angle);
        }
    }
    std::copy(out.begin(), out.end(), data);
}

template <typename T, typename Line>
std::pair<std::vector<T>, std::vector<T>> Reference(const Grid& g, int sign, Line line) {
    std::vector<T> re(g.re.begin(), g.re.end()), im(g.im.begin(), g.im.end());
    Separable(re, im, g.width, g.height, sign, line);
    return {re, im};
}

struct Errors {
    double rms, max;  // both relative to the RMS magnitude of the reference
};

template <typename T>
Errors Compare(const Grid& g, const std::pair<std::vector<T>, std::vector<T>>& ref) {
    double sum = 0, norm = 0, max = 0;
    for (size_t i = 0; i < g.Size(); ++i) {
        const double dr = double(g.re[i]) - double(ref.first[i]),
                     di = double(g.im[i]) - double(ref.second[i]);
        sum += dr * dr + di * di;
        norm += double(ref.first[i]) * double(ref.first[i]) + double(ref.second[i]) * double(ref.second[i]);
        max = std::max(max, std::hypot(dr, di));
    }
    return {std::sqrt(sum / norm), max / std::sqrt(norm / double(g.Size()))};
}

bool SameBytes(const Grid& a, const Grid& b) {
    return std::memcmp(a.re.data(), b.re.data(), a.Size() * 4) == 0 &&
           std::memcmp(a.im.data(), b.im.data(), a.Size() * 4) == 0;
}

const std::vector<std::pair<int, int>> kShapes = {{2, 2},    {2, 4},    {4, 2},     {8, 8},
                                                  {16, 4},   {4, 32},   {2, 4096},  {4096, 2},
                                                  {64, 128}, {256, 64}, {2, 16384}, {16384, 2}};

TEST(Fft2D, ForwardThenInverseGivesTheInputBack) {
    for (const auto& [w, h] : kShapes) {
        Grid g = RandomGrid(w, h, 7);
        const Grid input = g;
        ASSERT_TRUE(Transform(g, +1));
        ASSERT_TRUE(Transform(g, -1));
        const Errors e = Compare<float>(g, {input.re, input.im});
        EXPECT_LT(e.rms, 1e-6) << w << "x" << h;
        EXPECT_LT(e.max, 5e-6) << w << "x" << h;
    }
}

TEST(Fft2D, ConstantGridGivesItsValueAtTheOrigin) {
    for (const auto& [w, h] : kShapes) {
        Grid g{w, h, std::vector<float>(size_t(w) * h, 37.25f), std::vector<float>(size_t(w) * h, -3.0f)};
        ASSERT_TRUE(Transform(g, +1));
        EXPECT_EQ(g.re[0], 37.25f) << w << "x" << h;
        EXPECT_EQ(g.im[0], -3.0f) << w << "x" << h;
        for (size_t i = 1; i < g.Size(); ++i)
            ASSERT_TRUE(g.re[i] == 0 && g.im[i] == 0) << w << "x" << h << " @" << i;
    }
}

// A tone e^(+2πi(u0·x/W + v0·y/H)) gives 1 at (u0, v0) forward; an impulse at the origin gives the
// unscaled all-ones grid backward. Non-square sizes catch swapped axes, the sign and the scale.
TEST(Fft2D, SignAndScaling) {
    struct Case {
        int w, h, u0, v0;
    };
    for (const Case& c : {Case{8, 4, 3, 1}, Case{4, 16, 1, 13}, Case{32, 2, 29, 1}}) {
        Grid g{c.w, c.h, std::vector<float>(size_t(c.w) * c.h), std::vector<float>(size_t(c.w) * c.h)};
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const double a = 2 * M_PI * (double(c.u0 * x) / c.w + double(c.v0 * y) / c.h);
                g.re[size_t(y) * c.w + x] = float(std::cos(a)),
                                       g.im[size_t(y) * c.w + x] = float(std::sin(a));
            }
        }
        ASSERT_TRUE(Transform(g, +1));
        for (size_t i = 0; i < g.Size(); ++i) {
            const bool peak = i == size_t(c.v0) * c.w + c.u0;
            EXPECT_NEAR(g.re[i], peak ? 1.0 : 0.0, 1e-6) << i;
            EXPECT_NEAR(g.im[i], 0.0, 1e-6) << i;
        }
        Grid impulse{c.w, c.h, std::vector<float>(size_t(c.w) * c.h), std::vector<float>(size_t(c.w) * c.h)};
        impulse.re[0] = 1;
        ASSERT_TRUE(Transform(impulse, -1));
        for (size_t i = 0; i < g.Size(); ++i) ASSERT_TRUE(impulse.re[i] == 1 && impulse.im[i] == 0);
    }
}

TEST(Fft2D, MatchesTheDefinitionAtSmallSizes) {
    for (const auto& [w, h] :
         std::vector<std::pair<int, int>>{{2, 2}, {4, 2}, {2, 8}, {8, 8}, {32, 4}, {16, 64}}) {
        for (const int sign : {+1, -1}) {
            Grid g = RandomGrid(w, h, unsigned(w * 100 + h));
            const auto direct = Reference<long double>(g, sign, DirectLine);
            // The double reference agrees with the definition far below float rounding.
            const auto ref = Reference<double>(g, sign, ExactLine);
            for (size_t i = 0; i < g.Size(); ++i) ASSERT_NEAR(ref.first[i], double(direct.first[i]), 1e-12);
            ASSERT_TRUE(Transform(g, sign));
            const Errors e = Compare<long double>(g, direct);
            EXPECT_LT(e.rms, 3e-7) << w << "x" << h << " sign " << sign;
            EXPECT_LT(e.max, 1.5e-6) << w << "x" << h << " sign " << sign;
        }
    }
}

TEST(Fft2D, RefusesSizesThatAreNoPowerOfTwo) {
    for (const auto& [w, h] :
         std::vector<std::pair<int, int>>{{1, 4}, {4, 1}, {0, 2}, {6, 8}, {8, 12}, {-4, 4}}) {
        std::vector<float> re(64, 1.0f), im(64, 2.0f);
        EXPECT_FALSE(Fft2D(re.data(), im.data(), w, h, +1)) << w << "x" << h;
        EXPECT_EQ(re, std::vector<float>(64, 1.0f));
        EXPECT_EQ(im, std::vector<float>(64, 2.0f));
    }
}

// Every thread count and every instruction set computes each transform the same way.
TEST(Fft2D, SameBytesForEveryThreadCountAndInstructionSet) {
    const int defaultThreads = omp_get_max_threads();
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{
             {512, 256}, {4096, 32}, {16, 2048}, {8, 8}, {4, 64}, {2, 512}, {512, 4}, {128, 2}}) {
        Grid expected = RandomGrid(w, h, 3);
        fft::ForceIsa(fft::Isa::kSse);
        omp_set_num_threads(1);
        ASSERT_TRUE(Transform(expected, +1));
        for (const fft::Isa isa : {fft::Isa::kSse, fft::Isa::kAvx2, fft::Isa::kAvx512}) {
            if (!fft::IsaSupported(isa)) continue;
            fft::ForceIsa(isa);
            for (const int threads : {1, 2, 3}) {
                omp_set_num_threads(threads);
                Grid g = RandomGrid(w, h, 3);
                ASSERT_TRUE(Transform(g, +1));
                EXPECT_TRUE(SameBytes(g, expected))
                    << w << "x" << h << " isa " << int(isa) << " threads " << threads;
            }
        }
    }
    fft::UseBestIsa();
    omp_set_num_threads(defaultThreads);
}

// Arrays that start one float past a cache line (as any float array may) give the same bytes.
TEST(Fft2D, SameBytesForUnalignedArrays) {
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{256, 128}, {64, 512}, {2, 64}}) {
        Grid expected = RandomGrid(w, h, 9);
        const size_t n = expected.Size();
        std::vector<float> re(n + 1), im(n + 3);
        std::copy(expected.re.begin(), expected.re.end(), re.begin() + 1);
        std::copy(expected.im.begin(), expected.im.end(), im.begin() + 3);
        ASSERT_TRUE(Transform(expected, -1));
        ASSERT_TRUE(Fft2D(re.data() + 1, im.data() + 3, w, h, -1));
        EXPECT_TRUE(std::equal(expected.re.begin(), expected.re.end(), re.begin() + 1)) << w << "x" << h;
        EXPECT_TRUE(std::equal(expected.im.begin(), expected.im.end(), im.begin() + 3)) << w << "x" << h;
    }
}

TEST(Fft2D, ProgressReportsAndStops) {
    Grid plain = RandomGrid(256, 256, 5), watched = plain, stopped = plain;
    ASSERT_TRUE(Transform(plain, +1));
    Progress progress;
    ASSERT_TRUE(Fft2D(watched.re.data(), watched.im.data(), 256, 256, +1, &progress));
    EXPECT_TRUE(SameBytes(plain, watched));
    EXPECT_EQ(progress.Done(), progress.Total());
    EXPECT_GT(progress.Total(), 1);
    Progress cancelled;
    cancelled.Cancel();
    EXPECT_FALSE(Fft2D(stopped.re.data(), stopped.im.data(), 256, 256, +1, &cancelled));
}

// Mean errors over 10 seeds against the double transform of the same float input, for our
// transform and the radix-2 recurrence, on rows (N × 2) and columns (2 × N), both directions.
TEST(Fft2D, AtLeastAsAccurateAsTheRadix2Recurrence) {
    const bool print = std::getenv("TARKEMO_FFT_ACCURACY") != nullptr;
    for (int n = 2; n <= 4096; n *= 2) {
        for (const bool rows : {true, false}) {
            for (const int sign : {+1, -1}) {
                Errors ours{0, 0}, base{0, 0};
                for (unsigned seed = 1; seed <= 10; ++seed) {
                    Grid g = RandomGrid(rows ? n : 2, rows ? 2 : n, seed);
                    const auto ref = Reference<double>(g, sign, ExactLine);
                    Grid b = g;
                    Separable(b.re, b.im, b.width, b.height, sign, Radix2);
                    ASSERT_TRUE(Transform(g, sign));
                    const Errors e = Compare<double>(g, ref), eb = Compare<double>(b, ref);
                    ours.rms += e.rms / 10, ours.max += e.max / 10, base.rms += eb.rms / 10,
                        base.max += eb.max / 10;
                }
                if (print) {
                    std::printf("%5d %-7s %+d  rms %.3e / %.3e (%.3f)  max %.3e / %.3e (%.3f)\n", n,
                                rows ? "rows" : "columns", sign, ours.rms, base.rms, ours.rms / base.rms,
                                ours.max, base.max, ours.max / base.max);
                }
                EXPECT_LE(ours.rms, 1.05 * base.rms)
                    << n << (rows ? " rows" : " columns") << " sign " << sign;
                EXPECT_LE(ours.max, 1.5 * base.max) << n << (rows ? " rows" : " columns") << " sign " << sign;
            }
        }
    }
}

TEST(ShiftSpectrum, MovesTheOriginToTheMiddleAndBack) {
    struct Case {
        int w, h;
    };
    for (const Case& c : {Case{2, 2}, Case{4, 2}, Case{8, 4}, Case{2, 16}, Case{512, 256}}) {
        const size_t n = size_t(c.w) * c.h;
        std::vector<float> re(n), im(n), scratch(n);
        for (size_t i = 0; i < n; ++i) re[i] = float(i), im[i] = -float(i);
        const std::vector<float> re0 = re, im0 = im;
        ShiftSpectrum(re.data(), im.data(), scratch.data(), c.w, c.h, +1);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const size_t from = size_t(y) * c.w + x;
                const size_t to = size_t((y + c.h / 2) % c.h) * c.w + (x + c.w / 2) % c.w;
                ASSERT_EQ(re[to], re0[from]);
                ASSERT_EQ(im[to], im0[from]);
            }
        }
        EXPECT_EQ(re[size_t(c.h / 2) * c.w + c.w / 2], 0.0f);
        ShiftSpectrum(re.data(), im.data(), scratch.data(), c.w, c.h, -1);
        EXPECT_EQ(re, re0);
        EXPECT_EQ(im, im0);
    }
}

}  // namespace
}  // namespace tarkemo
