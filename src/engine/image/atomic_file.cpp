#include "image/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>

namespace tarkemo {

namespace {

// What the target's current state asks of a new version.
struct TargetState {
    bool usable = false;    // not a folder and a name that can be replaced
    bool keepMode = false;  // an existing regular file whose permission bits carry over
    mode_t mode = 0;
};

// A folder of the target's name would only make the final rename fail, after other staged files
// may already have been committed, so it fails the write instead.
TargetState InspectTarget(const std::string& target) {
    TargetState state;
    if (target.empty() || target.back() == '/') return state;
    struct stat info {};
    if (stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return state;
        state.keepMode = S_ISREG(info.st_mode);
        state.mode = info.st_mode & 07777;
    }
    state.usable = true;
    return state;
}

// The folder part of `path` including its final slash, or empty for a bare name.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Creates a new file with a short hidden name in `folder` and hands its name over in `name` only
// when the file is ours, so a name another process holds is never removed. -1 when none can be made.
int CreateTemporary(const std::string& folder, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate =
            folder + ".tarkemo-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) name = std::move(candidate);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Loops only when the system writes fewer bytes than asked (signals, writes above 2 GiB).
bool WriteAll(int fd, std::initializer_list<std::span<const uint8_t>> parts) {
    std::array<iovec, kMaxFileParts> pending{};
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

}  // namespace

bool StagedFile::Write(std::initializer_list<std::span<const uint8_t>> parts) {
    Discard();
    if (parts.size() > kMaxFileParts) return false;
    const TargetState target = InspectTarget(target_);
    if (!target.usable) return false;
    int fd = -1;
    try {
        fd = CreateTemporary(FolderOf(target_), temporary_);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (fd < 0) return false;
    // Nothing below allocates, so the temporary file is always removed on failure. A new file
    // keeps the usual 0666 minus the umask.
    if (target.keepMode) fchmod(fd, target.mode);
    const bool written = WriteAll(fd, parts);
    const bool closed = close(fd) == 0;
    if (written && closed) return true;
    Discard();
    return false;
}

bool StagedFile::Write(std::string_view text) {
    return Write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool StagedFile::Commit() {
    if (temporary_.empty()) return false;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void StagedFile::Discard() {
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}

bool WriteFileAtomically(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    try {
        StagedFile file(path);
        return file.Write(parts) && file.Commit();
    } catch (const std::bad_alloc&) {  // only copying the path can throw
        return false;
    }
}

bool WriteFileAtomically(const std::string& path, std::string_view text) {
    return WriteFileAtomically(path, {std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())});
}

}  // namespace tarkemo
