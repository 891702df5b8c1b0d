#include "document/measuring_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "document/marking_edit.h"

namespace tarkemo {
namespace {

constexpr size_t kPieceLimit = 100;

void Append(std::string& text, std::string piece) {
    if (piece.size() > kPieceLimit) piece.resize(kPieceLimit);
    text += piece;
}

std::string Number(int64_t value) {
    return std::to_string(value);
}

struct GrayStatistics {
    int minimum = 255;
    int maximum = 0;
    double mean = 0.0;
};

GrayStatistics Statistics(const GrayBitmap& bitmap, const Marking& m) {
    GrayStatistics stats;
    const int64_t h = static_cast<int64_t>(m.top) - m.bottom + 1;
    const int64_t w = static_cast<int64_t>(m.right) - m.left + 1;
    // Column sums in 64 bits, each column's mean first, then the mean of the column means.
    std::vector<int64_t> columnSums(static_cast<size_t>(w), 0);
    for (int32_t y = m.bottom; y <= m.top; ++y) {
        const uint8_t* row = bitmap.Row(y) + m.left;
        for (int64_t i = 0; i < w; ++i) {
            const int v = row[i];
            columnSums[static_cast<size_t>(i)] += v;
            stats.minimum = std::min(stats.minimum, v);
            stats.maximum = std::max(stats.maximum, v);
        }
    }
    double sumOfMeans = 0.0;
    for (const int64_t sum : columnSums) sumOfMeans += static_cast<double>(sum) / static_cast<double>(h);
    stats.mean = sumOfMeans / static_cast<double>(w);
    return stats;
}

}  // namespace

std::string TwoDecimals(double value) {
    if (!(value >= 0.0)) value = 0.0;
    const auto hundredths = static_cast<uint64_t>(std::llround(std::min(value, 9.0e15) * 100.0));
    const uint64_t whole = hundredths / 100;
    char decimals[8];
    std::snprintf(decimals, sizeof decimals, ".%02u", static_cast<unsigned>(hundredths % 100));
    return (whole == 0 ? std::string() : std::to_string(whole)) + decimals;
}

std::string MeasuringText(const GrayBitmap& bitmap, const Marking& marking, bool grayRamp) {
    if (bitmap.width < 1 || bitmap.height < 1) return {};
    const Marking m = ClampedMarking(marking, bitmap.width, bitmap.height);
    const int64_t h = static_cast<int64_t>(m.top) - m.bottom + 1;
    const int64_t w = static_cast<int64_t>(m.right) - m.left + 1;
    const double diagonal = std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h);
    std::string text;
    Append(text, "H\xC3\xB6he:\t" + Number(h));
    Append(text, "\nBreite:\t" + Number(w));
    Append(text,
           "\nFl\xC3\xA4"
           "che:\t" +
               Number(h * w));
    Append(text, "\nDiag.:\t" + TwoDecimals(diagonal));
    if (!grayRamp) {
        Append(text, "\n\nKeine reine Grauwertetabelle!");
        return text;
    }
    const GrayStatistics stats = Statistics(bitmap, m);
    Append(text, "\n\nGrauwerte:\nMinimal:\t" + Number(stats.minimum));
    Append(text, "\nMittel:\t" + TwoDecimals(stats.mean));
    Append(text, "\nMaximal:\t" + Number(stats.maximum));
    return text;
}

}  // namespace tarkemo
