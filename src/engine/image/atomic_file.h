// Replacing a file so that a failed save never destroys what was there: the content goes into a
// new temporary file in the target's folder, which is renamed over the target only when every
// byte was written. Every writer of the program saves through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace tarkemo {

// The most parts one write takes; more are refused.
inline constexpr size_t kMaxFileParts = 8;

// The most files one CommitTogether takes.
inline constexpr size_t kMaxFilesTogether = 8;

// True when `path`, its symbolic links followed, names a FIFO, socket or device: such a name is
// never replaced by a regular file.
bool IsSpecialFile(const std::string& path);

// One file staged beside its target: Write puts the whole content into a temporary file with a
// short hidden name in the target's folder (so long target names still work and the rename never
// crosses file systems), Commit renames it over the target. Several files can be written first
// and committed together, so a failure while writing any of them replaces none. An uncommitted
// temporary file is removed when the object goes away. A target that is a symbolic link is
// written through: the file the link leads to is replaced and the link stays. FIFOs, sockets and
// devices are refused. While a temporary file exists its name is remembered for removal on
// SIGINT, SIGTERM and SIGHUP (see staged_cleanup.h).
class StagedFile {
  public:
    explicit StagedFile(std::string target) : target_(std::move(target)) {}
    ~StagedFile() { Discard(); }
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes the parts one after the other (in one gathered write call for the usual case) as the
    // new content, replacing what an earlier Write staged. False when the folder is missing or not
    // writable, the disk is full, the target is a folder or there are more than kMaxFileParts
    // parts, or the target is a FIFO, socket or device; then no temporary file remains. A replaced
    // file keeps its permission bits.
    bool Write(std::initializer_list<std::span<const uint8_t>> parts);
    bool Write(std::span<const uint8_t> bytes) { return Write({bytes}); }
    bool Write(std::string_view text);

    // Renames the written temporary file over the target. False when nothing was written or the
    // rename fails; the temporary file is removed then and the target is untouched.
    bool Commit();

    // Removes the temporary file, if any.
    void Discard();

  private:
    friend bool CommitTogether(std::span<StagedFile* const> files);
    void Adopt(std::string temporary);
    void Release();

    std::string target_;     // symbolic links resolved by Write
    std::string temporary_;  // empty when no temporary file of ours exists
    int cleanupSlot_ = -1;
};

// Renames the written files over their targets as one set: either all are replaced or, when one
// rename fails, those already replaced get their old content back (a target that did not exist is
// removed again) and false is returned. Every old file is kept as a hard link (or renamed aside
// where the file system has no links) until the whole set is in place. The renames run under an
// exclusive flock on the first target's folder, so two writers of the same set (other processes
// or threads) never interleave, and with SIGINT, SIGTERM and SIGHUP held back. What remains: a
// crash or SIGKILL between two renames (a window of a few system calls) leaves the set mixed, with
// the old versions still beside it as hidden .tarkemo-*.tmp files; nothing is synced to disk.
bool CommitTogether(std::span<StagedFile* const> files);

// Writes the parts as the file `path` through a StagedFile. False (old file untouched, no
// temporary file left) when anything fails.
bool WriteFileAtomically(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts);
bool WriteFileAtomically(const std::string& path, std::string_view text);

}  // namespace tarkemo
