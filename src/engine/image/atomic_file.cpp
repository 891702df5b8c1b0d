#include "image/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

namespace tarkemo {

namespace {

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
    std::vector<iovec> pending;
    for (const auto& part : parts) {
        if (!part.empty()) pending.push_back({const_cast<uint8_t*>(part.data()), part.size()});
    }
    size_t first = 0;
    while (first < pending.size()) {
        const ssize_t written = writev(fd, pending.data() + first, static_cast<int>(pending.size() - first));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        auto left = static_cast<size_t>(written);
        while (first < pending.size() && left >= pending[first].iov_len) left -= pending[first++].iov_len;
        if (first < pending.size()) {
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
    if (path.empty() || path.back() == '/') return false;
    std::string temporary;
    const int fd = CreateTemporary(FolderOf(path), temporary);
    if (fd < 0) return false;
    KeepPermissions(fd, path);
    const bool written = WriteAll(fd, parts);
    const bool closed = close(fd) == 0;
    if (written && closed && rename(temporary.c_str(), path.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace tarkemo
