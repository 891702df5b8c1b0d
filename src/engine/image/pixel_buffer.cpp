#include "image/pixel_buffer.h"

#include <cstring>
#include <utility>

#include "image/large_buffer.h"

namespace tarkemo {

PixelBuffer::PixelBuffer(size_t size, bool zeroed)
    : data_(size == 0 ? nullptr : static_cast<uint8_t*>(AllocateLargeBuffer(size))), size_(size) {
    if (zeroed && size_ != 0) std::memset(data_, 0, size_);
}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : PixelBuffer(other.size_, false) {
    if (size_ != 0) std::memcpy(data_, other.data_, size_);
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
    if (this != &other) *this = PixelBuffer(other);
    return *this;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this != &other) {
        ReleaseLargeBuffer(data_, size_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

PixelBuffer::~PixelBuffer() {
    ReleaseLargeBuffer(data_, size_);
}

}  // namespace tarkemo
