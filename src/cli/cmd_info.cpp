#include <cstdio>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "image/davis_convert.h"

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

// The file's own description: sizes by the header rules, the sample kind and the range of the
// first frame's samples that the conversion to 8 bits scales between.
Status PrintDavisInfo(const std::string& path) {
    DavisError error = DavisError::kNone;
    const auto image = ReadDavisFile(path, error);
    if (!image) return {kInputRefused, DavisErrorMessage(error).text};
    const DavisHeader& h = image->header;
    const bool floats = image->kind == DavisSampleKind::kFloats;
    const DavisSampleRange range = FindDavisSampleRange(*image);
    std::printf("format\tdavis\nimage-type\t%d\nversion\t%d\n", h.imageType, h.version);
    std::printf("nx\t%d\nny\t%d\nframes\t%d\nplanes\t%d\n", h.nx, h.ny, h.nf, h.nz);
    std::printf("samples\t%s\n", floats ? "float32" : "uint16");
    std::printf("sample-min\t%.9g\nsample-max\t%.9g\n", range.min, range.max);
    if (floats) std::printf("non-finite\t%lld\n", static_cast<long long>(range.nonFiniteCount));
    return Status::Ok();
}

}  // namespace

int RunInfo(Arguments args) {
    if (args.size() != 1) return Report({kBadUsage, ""});
    Status status;
    const auto loaded = LoadInputImage(args[0], status);
    if (!loaded) return Report(status);
    if (IsDavisFileName(args[0])) {
        // The lines of the 8-bit image follow those of the samples it was made from.
        status = PrintDavisInfo(args[0]);
        if (!status.ok()) return Report(status);
    } else {
        std::printf("format\tbmp\n");
    }
    PrintBitmapInfo(*loaded);
    return kDone;
}

}  // namespace tarkemo::cli
