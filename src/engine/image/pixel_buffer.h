// An owned byte buffer that can be allocated without clearing, for pixel data that is
// written completely right after allocation. Copies are deep. Large buffers come from
// large_buffer.h (huge pages, reuse of released buffers).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarkemo {

class PixelBuffer {
  public:
    PixelBuffer() = default;
    // Throws std::bad_alloc like any allocation; CreateGrayBitmap turns that into a failure.
    explicit PixelBuffer(size_t size, bool zeroed = true);
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    ~PixelBuffer();

    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    uint8_t* begin() { return data_; }
    uint8_t* end() { return data_ + size_; }
    const uint8_t* begin() const { return data_; }
    const uint8_t* end() const { return data_ + size_; }
    uint8_t& operator[](size_t i) { return data_[i]; }
    uint8_t operator[](size_t i) const { return data_[i]; }

  private:
    uint8_t* data_ = nullptr;  // owned; null when size_ is 0
    size_t size_ = 0;
};

}  // namespace tarkemo
