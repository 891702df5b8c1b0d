#include "image/pixel_buffer.h"

#include <cstring>

namespace tarkemo {

PixelBuffer::PixelBuffer(size_t size, bool zeroed)
    : data_(zeroed ? std::make_unique<uint8_t[]>(size) : std::make_unique_for_overwrite<uint8_t[]>(size)),
      size_(size) {}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : PixelBuffer(other.size_, false) {
    if (size_ != 0) std::memcpy(data_.get(), other.data_.get(), size_);
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
    if (this != &other) *this = PixelBuffer(other);
    return *this;
}

}  // namespace tarkemo
