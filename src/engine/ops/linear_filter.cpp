#include "ops/linear_filter.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

#include "image/memory_limits.h"
#include "ops/border_extension.h"
#include "ops/linear_filter_rows.h"

namespace tarkemo {
namespace {

struct Geometry {
    int32_t width = 0;  // image
    int32_t height = 0;
    int32_t kernelWidth = 0;
    int32_t kernelHeight = 0;
    int32_t halfWidth = 0;
    int32_t halfHeight = 0;
};

bool FilterValid(const GrayBitmap& bitmap, const LinearFilter& filter) {
    if (bitmap.width < 1 || bitmap.height < 1) return false;
    if (filter.width < 1 || filter.height < 1 || filter.width % 2 == 0 || filter.height % 2 == 0)
        return false;
    if (filter.kernel.size() != static_cast<size_t>(filter.width) * static_cast<size_t>(filter.height)) {
        return false;
    }
    for (float c : filter.kernel) {
        if (!std::isfinite(c)) return false;
    }
    return std::isfinite(filter.divBy) && std::isfinite(filter.addOffset);
}

// The divisor of every pixel on the coefficient-sum path: the sum, in kernel order, of the
// coefficients whose source pixel lies inside the image. It depends only on how far the pixel is
// from each edge, so it is computed once per distinct clipping of the kernel's rows and columns.
class CoefficientSums {
  public:
    // False when some pixel's sum is exactly 0: that pixel cannot be divided by it.
    bool Build(const Geometry& g, const std::vector<float>& kernel) {
        const auto rows = Clippings(g.height, g.halfHeight, g.kernelHeight, rowIndex_);
        const auto columns = Clippings(g.width, g.halfWidth, g.kernelWidth, columnIndex_);
        columnCount_ = columns.size();
        sums_.resize(rows.size() * columns.size());
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < columns.size(); ++c) {
                double sum = 0.0;
                for (int32_t i = rows[r].first; i < rows[r].second; ++i) {
                    const float* row = kernel.data() + static_cast<size_t>(i) * g.kernelWidth;
                    for (int32_t j = columns[c].first; j < columns[c].second; ++j) sum += row[j];
                }
                if (sum == 0.0) return false;
                sums_[r * columnCount_ + c] = sum;
            }
        }
        return true;
    }

    void FillRow(int32_t y, double* divisors) const {
        const double* sums = sums_.data() + static_cast<size_t>(rowIndex_[y]) * columnCount_;
        for (size_t x = 0; x < columnIndex_.size(); ++x) divisors[x] = sums[columnIndex_[x]];
    }

  private:
    using Range = std::pair<int32_t, int32_t>;

    // The range of kernel indices inside the image for each position 0 ... size-1; `index`
    // receives the number of each position's range among the distinct ones returned.
    static std::vector<Range> Clippings(int32_t size, int32_t half, int32_t side,
                                        std::vector<int32_t>& index) {
        std::vector<Range> ranges;
        std::map<Range, int32_t> known;
        index.resize(static_cast<size_t>(size));
        for (int32_t p = 0; p < size; ++p) {
            const Range range{std::max(0, half - p),
                              static_cast<int32_t>(std::min<int64_t>(side, int64_t{size} + half - p))};
            const auto [it, added] = known.emplace(range, static_cast<int32_t>(ranges.size()));
            if (added) ranges.push_back(range);
            index[static_cast<size_t>(p)] = it->second;
        }
        return ranges;
    }

    std::vector<int32_t> rowIndex_;
    std::vector<int32_t> columnIndex_;
    std::vector<double> sums_;
    size_t columnCount_ = 0;
};

// Dividing by a power of two and multiplying by its reciprocal (exact in double precision) round
// the same real number, so the cheaper multiplication gives the same result.
bool IsPowerOfTwo(double value) {
    int exponent = 0;
    return std::fabs(std::frexp(value, &exponent)) == 0.5;
}

// Everything one thread needs to filter a band of rows in precision T; allocated before the
// threads start.
template <typename T>
struct Workspace {
    explicit Workspace(const Geometry& g)
        : rowLength(RoundedRowLength(g.width) + g.kernelWidth - 1),
          slots(static_cast<size_t>(g.kernelHeight) + kRowsAtOnce - 1),
          ring(slots * rowLength, T{0}),
          rows(slots),
          sums(kRowsAtOnce * RoundedRowLength(g.width)),
          divisors(static_cast<size_t>(g.width)) {
        for (size_t r = 0; r < kRowsAtOnce; ++r) sumRows[r] = sums.data() + r * RoundedRowLength(g.width);
    }
    static size_t RoundedRowLength(int32_t width) {
        return (static_cast<size_t>(width) + kCorrelationBlock - 1) / kCorrelationBlock * kCorrelationBlock;
    }
    static size_t Bytes(const Geometry& g) {
        const size_t rowLength = RoundedRowLength(g.width) + static_cast<size_t>(g.kernelWidth);
        return ((static_cast<size_t>(g.kernelHeight) + kRowsAtOnce - 1) * rowLength +
                kRowsAtOnce * RoundedRowLength(g.width)) *
                   sizeof(T) +
               static_cast<size_t>(g.width) * sizeof(double);
    }
    T* Slot(int32_t sourceRow) { return ring.data() + static_cast<size_t>(sourceRow) % slots * rowLength; }

    size_t rowLength;
    size_t slots;
    std::vector<T> ring;  // source rows of the margin-extended image, by row number modulo slots
    std::vector<const T*> rows;
    std::vector<T> sums;
    T* sumRows[kRowsAtOnce] = {};
    std::vector<double> divisors;
};

struct FilterRun {
    Geometry g;
    const GrayBitmap* extended = nullptr;
    const LinearFilter* filter = nullptr;
    std::vector<double> coefficients;
    std::vector<float> singleCoefficients;             // set when single-precision sums are exact
    const CoefficientSums* coefficientSums = nullptr;  // null: divide by divBy
    bool multiply = false;                             // divBy is a power of two: multiply by 1 / divBy
    GrayBitmap* output = nullptr;                      // without normalisation: written directly
    std::vector<float>* buffer = nullptr;              // with normalisation: the W x H values
    std::vector<float> rowMinimum;
    std::vector<float> rowMaximum;
    ProgressCounter* counter = nullptr;

    template <typename T>
    const T* Coefficients() const {
        if constexpr (std::is_same_v<T, float>) {
            return singleCoefficients.data();
        } else {
            return coefficients.data();
        }
    }
};

// With whole-number coefficients whose magnitudes add up to at most 2^24 / 255, every product and
// every partial sum is a whole number below 2^24 in magnitude: single precision holds them exactly,
// so its sums equal the double-precision sums bit for bit, at twice the vector width.
bool SinglePrecisionIsExact(const std::vector<float>& kernel) {
    double magnitude = 0.0;
    for (const float c : kernel) {
        if (c != std::trunc(c)) return false;
        magnitude += std::fabs(c);
    }
    return magnitude <= 65793.0;
}

// Divides, offsets and folds the sums of output row y, then writes its pixels or buffers its values.
template <typename T>
void FinishRow(FilterRun& run, Workspace<T>& ws, const T* sums, int32_t y) {
    const int32_t width = run.g.width;
    if (run.coefficientSums) run.coefficientSums->FillRow(y, ws.divisors.data());
    float* values = run.buffer ? run.buffer->data() + static_cast<size_t>(y) * width : nullptr;
    ScaleRow(sums, ws.divisors.data(), run.multiply, run.filter->addOffset, run.filter->sign, width, values,
             run.buffer ? nullptr : run.output->Row(y));
    // The values are never NaN (finite coefficients and divisors), so the range of each row, and
    // the range of these, is the range found by scanning all values in order.
    if (run.buffer)
        RowRange(values, width, run.rowMinimum[static_cast<size_t>(y)],
                 run.rowMaximum[static_cast<size_t>(y)]);
}

// Output rows firstRow ... endRow-1, a few at a time. Output row y reads rows y ... y + kh - 1 of
// the extended image; each is converted once.
template <typename T>
void FilterBand(FilterRun& run, Workspace<T>& ws, int32_t firstRow, int32_t endRow) {
    if (firstRow >= endRow) return;
    if (run.coefficientSums == nullptr) {
        const double divBy = run.filter->divBy;
        std::fill(ws.divisors.begin(), ws.divisors.end(), run.multiply ? 1.0 / divBy : divBy);
    }
    const Geometry& g = run.g;
    const int32_t sourceWidth = g.width + g.kernelWidth - 1;
    const auto convert = [&](int32_t row) { ConvertRow(run.extended->Row(row), sourceWidth, ws.Slot(row)); };
    for (int32_t row = firstRow; row < firstRow + g.kernelHeight - 1; ++row) convert(row);
    for (int32_t y = firstRow; y < endRow; y += kRowsAtOnce) {
        if (run.counter->Stopped()) return;
        const int32_t count = std::min(kRowsAtOnce, endRow - y);
        for (int32_t row = y + g.kernelHeight - 1; row < y + count + g.kernelHeight - 1; ++row) convert(row);
        for (int32_t s = 0; s < g.kernelHeight + count - 1; ++s)
            ws.rows[static_cast<size_t>(s)] = ws.Slot(y + s);
        CorrelateRows(ws.rows.data(), run.Coefficients<T>(), g.kernelWidth, g.kernelHeight, count,
                      static_cast<int32_t>(Workspace<T>::RoundedRowLength(g.width)), ws.sumRows);
        for (int32_t r = 0; r < count; ++r) FinishRow(run, ws, ws.sumRows[r], y + r);
        run.counter->Add(count);
    }
}

bool WorthThreads(const Geometry& g) {
    return int64_t{g.width} * g.height * g.kernelWidth * g.kernelHeight > 2'000'000;
}

// Filters every row, the rows split into one band per thread. False when the workspaces do not fit.
template <typename T>
bool FilterAllRows(FilterRun& run) {
    const int threads = WorthThreads(run.g) ? std::min(omp_get_max_threads(), run.g.height) : 1;
    if (!AllocationFits(Workspace<T>::Bytes(run.g) * static_cast<size_t>(threads))) return false;
    std::vector<Workspace<T>> spaces;
    spaces.reserve(static_cast<size_t>(threads));
    for (int t = 0; t < threads; ++t) spaces.emplace_back(run.g);
#pragma omp parallel num_threads(threads) if (threads > 1)
    {
        const int64_t count = omp_get_num_threads();
        const int64_t t = omp_get_thread_num();
        const int64_t h = run.g.height;
        FilterBand(run, spaces[static_cast<size_t>(t)], static_cast<int32_t>(h * t / count),
                   static_cast<int32_t>(h * (t + 1) / count));
    }
    return true;
}

// Stretches the buffered values to 0 ... 255 (when their range is not empty) and writes them back.
void StretchAndWrite(FilterRun& run, GrayBitmap& bitmap) {
    const int32_t width = run.g.width;
    const int32_t height = run.g.height;
    float low = run.rowMinimum[0];
    float high = run.rowMaximum[0];
    for (int32_t y = 1; y < height; ++y) {
        if (run.rowMaximum[static_cast<size_t>(y)] > high) high = run.rowMaximum[static_cast<size_t>(y)];
        if (run.rowMinimum[static_cast<size_t>(y)] < low) low = run.rowMinimum[static_cast<size_t>(y)];
    }
    const bool stretch = low != high;
    const double factor = 255.0 / (static_cast<double>(high) - static_cast<double>(low));
    const std::vector<float>& buffer = *run.buffer;
#pragma omp parallel for schedule(static) if (WorthThreads(run.g))
    for (int32_t y = 0; y < height; ++y) {
        const float* values = buffer.data() + static_cast<size_t>(y) * width;
        if (stretch) {
            StretchRow(values, width, low, factor, bitmap.Row(y));
        } else {
            ValuesToPixels(values, width, bitmap.Row(y));
        }
    }
}

// A run stopped by its Progress may have written some rows directly into the image: they are put
// back from the extended copy, which holds the image unchanged at (halfWidth, halfHeight).
void RestoreRows(const FilterRun& run, GrayBitmap& bitmap) {
    if (run.output == nullptr) return;
    for (int32_t y = 0; y < bitmap.height; ++y) {
        const uint8_t* source = run.extended->Row(y + run.g.halfHeight) + run.g.halfWidth;
        std::copy(source, source + bitmap.width, bitmap.Row(y));
    }
}

bool Filter(GrayBitmap& bitmap, const LinearFilter& filter, Progress* progress) {
    FilterRun run;
    ProgressCounter counter(progress, bitmap.height);
    run.counter = &counter;
    run.g = Geometry{bitmap.width,  bitmap.height,    filter.width,
                     filter.height, filter.width / 2, filter.height / 2};
    run.filter = &filter;
    const bool coefficientSum = filter.divBy == 0.0f;
    run.multiply = !coefficientSum && IsPowerOfTwo(filter.divBy);
    const int64_t extendedWidth = int64_t{bitmap.width} + 2 * run.g.halfWidth;
    const int64_t extendedHeight = int64_t{bitmap.height} + 2 * run.g.halfHeight;
    if (!BitmapSizeAllowed(extendedWidth, extendedHeight)) return false;
    CoefficientSums sums;
    if (coefficientSum) {
        if (!sums.Build(run.g, filter.kernel)) return false;
        run.coefficientSums = &sums;
    }
    // On the coefficient-sum path the margin is 0: a product with 0 leaves the running sum as it
    // is, so the sums equal those taken over the pixels inside the image only.
    const auto extended =
        ExtendBorder(bitmap, static_cast<int32_t>(extendedWidth), static_cast<int32_t>(extendedHeight),
                     run.g.halfWidth, run.g.halfHeight, coefficientSum ? 0 : filter.border);
    if (!extended) return false;
    run.extended = &*extended;
    const bool single = SinglePrecisionIsExact(filter.kernel);
    if (single) {
        run.singleCoefficients = filter.kernel;
    } else {
        run.coefficients.assign(filter.kernel.begin(), filter.kernel.end());
    }

    std::vector<float> buffer;
    if (filter.normalize == kNormalizeGlobal) {
        const size_t count = static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height);
        if (!AllocationFits(count * sizeof(float))) return false;
        buffer.resize(count);
        run.buffer = &buffer;
        run.rowMinimum.resize(static_cast<size_t>(bitmap.height));
        run.rowMaximum.resize(static_cast<size_t>(bitmap.height));
    } else {
        run.output = &bitmap;
    }
    if (!(single ? FilterAllRows<float>(run) : FilterAllRows<double>(run))) return false;
    if (counter.Stopped()) {
        RestoreRows(run, bitmap);
        return false;
    }
    if (run.buffer) StretchAndWrite(run, bitmap);
    return true;
}

}  // namespace

bool ApplyLinearFilter(GrayBitmap& bitmap, const LinearFilter& filter, Progress* progress) {
    if (!FilterValid(bitmap, filter)) return false;
    try {
        return Filter(bitmap, filter, progress);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

}  // namespace tarkemo
