#include "image/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <new>

namespace tarkemo {

namespace {

constexpr size_t kMaxParts = 8;

// The folder part of `path` including its final slash, or empty for a bare name.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A short hidden name in the target's folder, so that long target names cannot push the
// temporary name past the platform's limit and a rename never crosses file systems.
int CreateTemporary(const std::string& folder, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + ".tarkemo-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Loops only when the system writes fewer bytes than asked (signals, writes above 2 GiB).
bool WriteAll(int fd, std::initializer_list<std::span<const uint8_t>> parts) {
    std::array<iovec, kMaxParts> pending{};
    size_t count = 0;
    for (const auto& part : parts) {
        if (!part.empty()) pending[count++] = {const_cast<uint8_t*>(part.data()), part.size()};
    }
    size_t first = 0;
    while (first < count) {
        const ssize_t written = writev(fd, pending.data() + first, static_cast<int>(count - first));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        auto left = static_cast<size_t>(written);
        while (first < count && left >= pending[first].iov_len) left -= pending[first++].iov_len;
        if (first < count) {
            pending[first].iov_base = static_cast<uint8_t*>(pending[first].iov_base) + left;
            pending[first].iov_len -= left;
        }
    }
    return true;
}

// A replaced file keeps its permission bits; a new one gets the usual 0666 minus the umask.
void KeepPermissions(int fd, const std::string& path) {
    struct stat old {};
    if (stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    if (path.empty() || path.back() == '/' || parts.size() > kMaxParts) return false;
    std::string temporary;
    int fd = -1;
    try {
        fd = CreateTemporary(FolderOf(path), temporary);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (fd < 0) return false;
    // Nothing below allocates, so the temporary file is always removed on failure.
    KeepPermissions(fd, path);
    const bool written = WriteAll(fd, parts);
    const bool closed = close(fd) == 0;
    if (written && closed && rename(temporary.c_str(), path.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace tarkemo
