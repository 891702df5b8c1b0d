#include "image/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>

#include "image/staged_cleanup.h"

namespace tarkemo {

namespace {

// What the target's current state asks of a new version.
struct TargetState {
    bool usable = false;    // not a folder or special file, and a name that can be replaced
    bool keepMode = false;  // an existing regular file whose permission bits carry over
    mode_t mode = 0;
};

bool IsSpecialMode(mode_t mode) {
    return S_ISFIFO(mode) || S_ISCHR(mode) || S_ISBLK(mode) || S_ISSOCK(mode);
}

// A folder of the target's name would only make the final rename fail, after other staged files
// may already have been committed, so it fails the write instead; a FIFO or device must never be
// replaced by a regular file.
TargetState InspectTarget(const std::string& target) {
    TargetState state;
    if (target.empty() || target.back() == '/') return state;
    struct stat info {};
    if (stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode) || IsSpecialMode(info.st_mode)) return state;
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

// The name of the file a chain of symbolic links leads to (also when that file does not exist
// yet); `path` itself when it is no link. A relative link is taken from the link's own folder.
std::string ResolveLinks(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string link(4096, '\0');
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<size_t>(length) >= link.size()) return path;
        link.resize(static_cast<size_t>(length));
        path = link.front() == '/' ? link : FolderOf(path) + link;
    }
    return path;  // a loop: the write fails at open()
}

std::string TemporaryName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    return folder + ".tarkemo-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

// Creates a new file with a short hidden name in `folder` and hands its name over in `name` only
// when the file is ours, so a name another process holds is never removed. -1 when none can be made.
int CreateTemporary(const std::string& folder, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = TemporaryName(folder);
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

// An exclusive advisory lock on a folder for as long as the object lives; without one (a folder
// that cannot be opened) the commit goes on unlocked.
class FolderLock {
  public:
    explicit FolderLock(const std::string& folder)
        : fd_(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) close(fd_);  // closing releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_;
};

// The old file of one target of a set, kept until the whole set is in place.
struct KeptOld {
    std::string name;       // empty: the target did not exist
    bool linked = false;    // a hard link (the target stays); otherwise renamed aside
    bool replaced = false;  // the new file is in place
};

// Keeps the current file of `target` under a hidden name beside it. False when it exists but can
// be kept neither as a link nor renamed aside.
bool KeepOld(const std::string& target, KeptOld& kept) {
    struct stat info {};
    if (lstat(target.c_str(), &info) != 0) return errno == ENOENT;
    if (!S_ISREG(info.st_mode)) return false;  // a folder or device that took the name meanwhile
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryName(FolderOf(target));
        if (link(target.c_str(), name.c_str()) == 0) {
            kept = {std::move(name), true, false};
            return true;
        }
        if (errno == EEXIST) continue;
        // File systems without hard links (FAT): the old file steps aside for the few calls until
        // the new one is in place.
        struct stat taken {};
        if (lstat(name.c_str(), &taken) == 0) continue;
        if (std::rename(target.c_str(), name.c_str()) != 0) return false;
        kept = {std::move(name), false, false};
        return true;
    }
    return false;
}

bool KeepOldSafely(const std::string& target, KeptOld& kept) noexcept {
    try {
        return KeepOld(target, kept);
    } catch (const std::bad_alloc&) {  // a name could not be built: nothing was changed
        return false;
    }
}

// Puts the old file back over a target that was already replaced, or removes a new target that
// had no old file; a file renamed aside but not yet replaced goes back as well.
void RestoreOld(const std::string& target, const KeptOld& kept) {
    if (kept.name.empty()) {
        if (kept.replaced) unlink(target.c_str());
    } else if (kept.replaced || !kept.linked) {
        std::rename(kept.name.c_str(), target.c_str());
    } else {
        unlink(kept.name.c_str());
    }
}

}  // namespace

bool StagedFile::Write(std::initializer_list<std::span<const uint8_t>> parts) {
    Discard();
    if (parts.size() > kMaxFileParts) return false;
    int fd = -1;
    TargetState target;
    try {
        target_ = ResolveLinks(target_);
        target = InspectTarget(target_);
        if (!target.usable) return false;
        std::string temporary;
        const std::string folder = FolderOf(target_);
        // Held back until the new file's name is remembered, so a signal never strands it.
        const SignalsHeld held;
        fd = CreateTemporary(folder, temporary);
        if (fd >= 0) Adopt(std::move(temporary));
    } catch (const std::bad_alloc&) {
        if (fd >= 0) close(fd);
        Discard();
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
    Release();
    return true;
}

void StagedFile::Discard() {
    if (!temporary_.empty()) unlink(temporary_.c_str());
    Release();
}

void StagedFile::Adopt(std::string temporary) {
    temporary_ = std::move(temporary);
    cleanupSlot_ = RememberStagedPath(temporary_.c_str());
}

void StagedFile::Release() {
    ForgetStagedPath(cleanupSlot_);
    cleanupSlot_ = -1;
    temporary_.clear();
}

bool CommitTogether(std::span<StagedFile* const> files) {
    if (files.empty() || files.size() > kMaxFilesTogether) return false;
    for (StagedFile* file : files) {
        if (file->temporary_.empty()) {
            for (StagedFile* other : files) other->Discard();
            return false;
        }
    }
    try {
        const FolderLock lock(FolderOf(files.front()->target_));
        const SignalsHeld held;
        std::array<KeptOld, kMaxFilesTogether> kept;
        size_t done = 0;
        for (; done < files.size(); ++done) {
            StagedFile& file = *files[done];
            if (!KeepOldSafely(file.target_, kept[done])) break;
            if (std::rename(file.temporary_.c_str(), file.target_.c_str()) != 0) break;
            kept[done].replaced = true;
            file.Release();
        }
        const bool complete = done == files.size();
        for (size_t i = 0; i < files.size() && i <= done; ++i) {
            if (complete) {
                if (!kept[i].name.empty()) unlink(kept[i].name.c_str());
            } else {
                RestoreOld(files[i]->target_, kept[i]);
            }
        }
        for (StagedFile* file : files) file->Discard();
        return complete;
    } catch (const std::bad_alloc&) {  // only the folder's name, before any rename
        for (StagedFile* file : files) file->Discard();
        return false;
    }
}

bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && IsSpecialMode(info.st_mode);
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
