// Opening a file of outside data for reading. Every reader goes through here, so none of them can
// be stalled by a named pipe or a device: the file is opened without blocking and anything but a
// regular file is refused before a byte is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarkemo {

// A regular file open for reading; closed when the object goes away.
class InputFile {
  public:
    // Opens `path` without blocking; ok() is false when it cannot be opened or is no regular file
    // (a folder, FIFO, socket or device).
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    // The size at opening time.
    uint64_t size() const { return size_; }

    // Reads exactly `count` bytes at `offset`; false on an error or when the file ends first.
    bool ReadAt(void* out, size_t count, uint64_t offset) const;

  private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

}  // namespace tarkemo
