// Feeds arbitrary bytes to the linear filter file parser; an accepted filter must be usable.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "image/gray_bitmap.h"
#include "ops/filter_file.h"
#include "ops/linear_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarkemo::LinearFilter filter;
    const auto result =
        tarkemo::ParseLinearFilterText(std::string_view(reinterpret_cast<const char*>(data), size), filter);
    // Small accepted kernels run over a small image, so the settings the parser let through are used.
    if (result.outcome == tarkemo::FilterFileOutcome::kRejected || filter.kernel.size() > 81) return 0;
    auto image = tarkemo::CreateGrayBitmap(9, 7);
    if (!image) return 0;
    for (size_t i = 0; i < image->pixels.size(); ++i) image->pixels[i] = static_cast<uint8_t>(i * 37);
    tarkemo::ApplyLinearFilter(*image, filter);
    return 0;
}
