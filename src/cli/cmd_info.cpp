#include <cstdio>

#include "cli/cli_common.h"
#include "cli/commands.h"

namespace tarkemo::cli {
namespace {

void PrintBitmapInfo(const LoadedBitmap& loaded) {
    const GrayBitmap& b = loaded.bitmap;
    int lo = 255, hi = 0;
    double sum = 0;
    for (int32_t y = 0; y < b.height; ++y) {
        const uint8_t* row = b.Row(y);
        uint64_t rowSum = 0;
        for (int32_t x = 0; x < b.width; ++x) {
            lo = row[x] < lo ? row[x] : lo;
            hi = row[x] > hi ? row[x] : hi;
            rowSum += row[x];
        }
        sum += static_cast<double>(rowSum);
    }
    std::printf("width\t%d\nheight\t%d\nstride\t%d\n", b.width, b.height, b.stride);
    std::printf("resolution\t%d\t%d\n", b.xPelsPerMeter, b.yPelsPerMeter);
    std::printf("gray-ramp\t%s\n", loaded.grayRamp ? "yes" : "no");
    std::printf("min\t%d\nmax\t%d\nmean\t%.4f\n", lo, hi, sum / (double(b.width) * b.height));
}

}  // namespace

int RunInfo(Arguments args) {
    if (args.size() != 1) return Report({kBadUsage, "Aufruf: tarkemo-cli info BILD"});
    Status status;
    const auto loaded = LoadInputImage(args[0], status);
    if (!loaded) return Report(status);
    std::printf("format\tbmp\n");
    PrintBitmapInfo(*loaded);
    return kDone;
}

}  // namespace tarkemo::cli
