#include "spectrum/filter_constructions.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace tarkemo {
namespace {

// The normalised squared distance from the marking's centre, e(x, y) = (x − cx)²/ax² + (y − cy)²/ay²,
// with its column terms computed once per grid: the same operations per element, fewer of them.
class Ellipse {
  public:
    Ellipse(const Marking& m, int32_t width)
        : cy_((m.bottom + m.top) / 2.0), ay_((m.top - m.bottom + 1) / 2.0), columnTerms_(width) {
        const double cx = (m.left + m.right) / 2.0, ax = (m.right - m.left + 1) / 2.0;
        for (int32_t x = 0; x < width; ++x) {
            const double dx = x - cx;
            columnTerms_[x] = dx * dx / (ax * ax);
        }
    }
    double RowTerm(int32_t y) const {
        const double dy = y - cy_;
        return dy * dy / (ay_ * ay_);
    }
    double E(int32_t x, double rowTerm) const { return columnTerms_[x] + rowTerm; }

  private:
    double cy_, ay_;
    std::vector<double> columnTerms_;
};

void SetElement(ComplexField filter, size_t i, float value) {
    filter.re[i] = value;
    filter.im[i] = 0.0f;
}

bool InsideRect(const Marking& m, int32_t x, int32_t y) {
    return x >= m.left && x <= m.right && y >= m.bottom && y <= m.top;
}

// Sets `value` at every grid point where `selected(x, y, e)` holds.
template <typename Select>
void SetWhere(ComplexField filter, const Marking& marking, float value, Select selected) {
    const Ellipse ellipse(marking, filter.width);
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < filter.height; ++y) {
        const double rowTerm = ellipse.RowTerm(y);
        for (int32_t x = 0; x < filter.width; ++x) {
            if (selected(x, y, ellipse.E(x, rowTerm))) SetElement(filter, filter.Index(x, y), value);
        }
    }
}

}  // namespace

void ResetFilter(ComplexField filter) {
    std::fill_n(filter.re, filter.Count(), 1.0f);
    std::fill_n(filter.im, filter.Count(), 0.0f);
}

void CopyField(ComplexField filter, ConstComplexField source) {
    std::memcpy(filter.re, source.re, filter.Count() * sizeof(float));
    std::memcpy(filter.im, source.im, filter.Count() * sizeof(float));
}

void ApplyGaussFilter(ComplexField filter, const Marking& marking) {
    const Ellipse ellipse(marking, filter.width);
#pragma omp parallel for schedule(static)
    for (int32_t y = 0; y < filter.height; ++y) {
        const double rowTerm = ellipse.RowTerm(y);
        for (int32_t x = 0; x < filter.width; ++x) {
            SetElement(filter, filter.Index(x, y), static_cast<float>(std::exp(-ellipse.E(x, rowTerm))));
        }
    }
}

void ApplyFilterShape(ComplexField filter, const Marking& marking, FilterShape shape) {
    const Marking& m = marking;
    const auto insideEllipse = [&m](int32_t x, int32_t y, double e) {
        return InsideRect(m, x, y) && e <= 1.0;
    };
    const auto insideRect = [&m](int32_t x, int32_t y, double) { return InsideRect(m, x, y); };
    const auto outsideEllipse = [](int32_t, int32_t, double e) { return e >= 1.0; };
    const auto outsideRect = [&m](int32_t x, int32_t y, double) { return !InsideRect(m, x, y); };
    switch (shape) {
        case FilterShape::kPassInsideEllipse:
            return SetWhere(filter, m, 1.0f, insideEllipse);
        case FilterShape::kPassInsideRect:
            return SetWhere(filter, m, 1.0f, insideRect);
        case FilterShape::kPassOutsideEllipse:
            return SetWhere(filter, m, 1.0f, outsideEllipse);
        case FilterShape::kPassOutsideRect:
            return SetWhere(filter, m, 1.0f, outsideRect);
        case FilterShape::kHighPassEllipse:
            return SetWhere(filter, m, 0.0f, insideEllipse);
        case FilterShape::kHighPassRect:
            return SetWhere(filter, m, 0.0f, insideRect);
        case FilterShape::kLowPassEllipse:
            return SetWhere(filter, m, 0.0f, outsideEllipse);
        case FilterShape::kLowPassRect:
            return SetWhere(filter, m, 0.0f, outsideRect);
    }
}

bool MultiplyFilter(ComplexField filter, float a, float b) {
    if (a == 1.0f && b == 0.0f) return false;
    const double da = a, db = b;
    for (size_t i = 0; i < filter.Count(); ++i) {
        const double c = filter.re[i], d = filter.im[i];
        filter.re[i] = static_cast<float>(da * c - db * d);
        filter.im[i] = static_cast<float>(db * c + da * d);
    }
    return true;
}

void ReflectFilter(ComplexField filter) {
    // The mapping is its own inverse, so swapping every pair once reflects in place.
    const int32_t w = filter.width, h = filter.height;
    for (int32_t y = 0; y < h; ++y) {
        const int32_t py = (h - y) % h;
        for (int32_t x = 0; x < w; ++x) {
            const size_t i = filter.Index(x, y), p = filter.Index((w - x) % w, py);
            if (p <= i) continue;
            std::swap(filter.re[i], filter.re[p]);
            std::swap(filter.im[i], filter.im[p]);
        }
    }
}

void ConjugateFilter(ComplexField filter) {
    for (size_t i = 0; i < filter.Count(); ++i) filter.im[i] = -filter.im[i];
}

bool ReciprocalFilter(ComplexField filter, float* work) {
    const size_t count = filter.Count();
    for (size_t i = 0; i < count; ++i) {
        const double c = filter.re[i], d = filter.im[i];
        work[i] = static_cast<float>(c * c + d * d);
        // The stored float is the divisor, so a magnitude that vanishes in float counts as zero too.
        if (work[i] == 0.0f) return false;
    }
    for (size_t i = 0; i < count; ++i) {
        const double m = work[i];
        filter.re[i] = static_cast<float>(filter.re[i] / m);
        filter.im[i] = static_cast<float>(-filter.im[i] / m);
    }
    return true;
}

bool ImportFilterBitmap(ComplexField filter, const GrayBitmap& bitmap, FilterImportPart part) {
    if (bitmap.width != filter.width || bitmap.height != filter.height) return false;
    for (int32_t y = 0; y < filter.height; ++y) {
        const uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < filter.width; ++x) {
            const size_t i = filter.Index(x, y);
            const float value = static_cast<float>(row[x] / 255.0);
            if (part != FilterImportPart::kImaginary) filter.re[i] = value;
            if (part == FilterImportPart::kWhole) filter.im[i] = 0.0f;
            if (part == FilterImportPart::kImaginary) filter.im[i] = value;
        }
    }
    return true;
}

}  // namespace tarkemo
