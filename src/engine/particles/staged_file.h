// Files written beside their target under a temporary name and renamed over it only when
// complete: a failed write never leaves a partial file and never destroys the previous one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarkemo {

class StagedFile {
  public:
    explicit StagedFile(std::string target) : target_(std::move(target)) {}
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes the whole content into a new temporary file in the target's folder. False when the
    // file cannot be created or written; nothing is left behind then.
    bool Write(std::span<const uint8_t> bytes);
    bool Write(std::string_view text);

    // Renames the written temporary file over the target. False (temporary file removed) on failure.
    bool Commit();

  private:
    void Discard();

    std::string target_;
    std::string temporary_;  // empty when no temporary file exists
};

// Writes the content to `path` through a StagedFile.
bool WriteFileAtomically(const std::string& path, std::string_view text);

}  // namespace tarkemo
