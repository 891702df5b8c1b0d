#include "image/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarkemo {

InputFile::InputFile(const std::string& path) {
    // O_NONBLOCK keeps open() from waiting for a writer on a FIFO; it does not change reads of a
    // regular file, the only kind kept.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(info.st_size);
}

InputFile::~InputFile() {
    if (fd_ >= 0) close(fd_);
}

bool InputFile::ReadAt(void* out, size_t count, uint64_t offset) const {
    if (fd_ < 0) return false;
    auto* bytes = static_cast<uint8_t*>(out);
    size_t done = 0;
    while (done < count) {
        const ssize_t got = pread(fd_, bytes + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;  // an error, or the file shrank since it was opened
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace tarkemo
