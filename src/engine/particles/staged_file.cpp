#include "particles/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace tarkemo {
namespace {

// A name no other writer of this process or another uses at the same moment.
std::string TemporaryNameFor(const std::string& target, int attempt) {
    static std::atomic<uint64_t> counter{0};
    return target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt);
}

// A folder of the target's name would make the final rename fail after the other files of an
// export were already in place, so it fails the write instead.
bool TargetIsFolder(const std::string& target) {
    struct stat info;
    return ::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

StagedFile::~StagedFile() {
    Discard();
}

void StagedFile::Discard() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool StagedFile::Write(std::span<const uint8_t> bytes) {
    Discard();
    if (TargetIsFolder(target_)) return false;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary_ = TemporaryNameFor(target_, attempt);
        fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        temporary_.clear();
        return false;
    }
    const bool written = WriteAll(fd, bytes.data(), bytes.size());
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        Discard();
        return false;
    }
    return true;
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

bool WriteFileAtomically(const std::string& path, std::string_view text) {
    StagedFile file(path);
    return file.Write(text) && file.Commit();
}

}  // namespace tarkemo
