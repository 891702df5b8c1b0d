#include "spectrum/spectrum_size.h"

namespace tarkemo {

int64_t AutomaticSpectrumSide(int64_t side) {
    const int64_t enlarged = side + side / 2;
    int64_t size = 2;
    while (size <= enlarged) size *= 2;
    return size;
}

SpectrumLayout AutomaticSpectrumLayout(int64_t imageWidth, int64_t imageHeight) {
    return SpectrumLayout{AutomaticSpectrumSide(imageWidth), AutomaticSpectrumSide(imageHeight), 0, 0, 0};
}

std::optional<SpectrumLayout> ManualSpectrumLayout(const SizeSettings& settings, int64_t imageWidth,
                                                   int64_t imageHeight, SpectrumSizeError& error) {
    const int64_t width = settings.width;
    const int64_t height = settings.height;
    if (imageWidth > width || imageHeight > height) {
        error = SpectrumSizeError::kTooSmall;
        return std::nullopt;
    }
    const int64_t offsetX = settings.centreX ? (width - imageWidth) / 2 : int64_t{settings.offsetX};
    const int64_t offsetY = settings.centreY ? (height - imageHeight) / 2 : int64_t{settings.offsetY};
    // Negative offsets cannot come from the dialog; they are refused like too large ones.
    if (offsetX < 0 || offsetY < 0 || imageWidth + offsetX > width || imageHeight + offsetY > height) {
        error = SpectrumSizeError::kOffsetTooLarge;
        return std::nullopt;
    }
    error = SpectrumSizeError::kNone;
    return SpectrumLayout{width, height, offsetX, offsetY, settings.fillRule};
}

bool IsSpectrumSide(int64_t n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

}  // namespace tarkemo
