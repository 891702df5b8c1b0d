#include "spectrum/fft.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace tarkemo {
namespace {

bool IsPowerOfTwo(int n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

// Radix-2 transform of n interleaved complex points with the twiddle recurrence.
void Transform1D(float* data, int n, int sign) {
    for (int i = 0, j = 0; i < n; ++i) {
        if (j > i) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
        int bit = n >> 1;
        while (bit >= 1 && (j & bit)) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
    for (int len = 2; len <= n; len <<= 1) {
        const double theta = -sign * 2.0 * M_PI / len;
        const double s = std::sin(0.5 * theta);
        const double wpr = -2.0 * s * s, wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        const int half = len / 2;
        for (int k = 0; k < half; ++k) {
            for (int g = k; g < n; g += len) {
                float* a = data + 2 * g;
                float* b = data + 2 * (g + half);
                const double tr = wr * b[0] - wi * b[1];
                const double ti = wr * b[1] + wi * b[0];
                b[0] = static_cast<float>(a[0] - tr);
                b[1] = static_cast<float>(a[1] - ti);
                a[0] = static_cast<float>(a[0] + tr);
                a[1] = static_cast<float>(a[1] + ti);
            }
            const double t = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + t * wpi + wi;
        }
    }
}

}  // namespace

bool Fft2D(float* re, float* im, int width, int height, int sign, Progress* progress) {
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) return false;
    std::vector<float> scratch;
    try {
        scratch.resize(2 * static_cast<size_t>(std::max(width, height)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t w = static_cast<size_t>(width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            scratch[2 * x] = re[y * w + x];
            scratch[2 * x + 1] = im[y * w + x];
        }
        Transform1D(scratch.data(), width, sign);
        for (int x = 0; x < width; ++x) {
            re[y * w + x] = scratch[2 * x];
            im[y * w + x] = scratch[2 * x + 1];
        }
        if (ReportProgress(progress, y + 1, 2 * int64_t{height})) return false;
    }
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            scratch[2 * y] = re[y * w + x];
            scratch[2 * y + 1] = im[y * w + x];
        }
        Transform1D(scratch.data(), height, sign);
        for (int y = 0; y < height; ++y) {
            re[y * w + x] = scratch[2 * y];
            im[y * w + x] = scratch[2 * y + 1];
        }
    }
    if (sign > 0) {
        const float n = static_cast<float>(static_cast<double>(width) * height);
        for (size_t i = 0; i < w * height; ++i) {
            re[i] /= n;
            im[i] /= n;
        }
    }
    return true;
}

void ShiftSpectrum(float* re, float* im, float* scratch, int width, int height, int direction) {
    (void)direction;  // W and H are even: both directions are the same permutation
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    for (float* array : {re, im}) {
        std::memcpy(scratch, array, w * h * sizeof(float));
        for (size_t y = 0; y < h; ++y) {
            const float* from = scratch + ((y + h / 2) % h) * w;
            float* to = array + y * w;
            std::memcpy(to, from + w / 2, (w / 2) * sizeof(float));
            std::memcpy(to + w / 2, from, (w / 2) * sizeof(float));
        }
    }
}

}  // namespace tarkemo
