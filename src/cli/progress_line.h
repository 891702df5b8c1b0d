// A one-line count of finished inputs ("123/4000 Bilder") on standard error while a batch runs,
// drawn only when standard error is a terminal, at most ten times a second, and erased at the end,
// so that scripts reading the output see nothing of it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

namespace tarkemo::cli {

class ProgressLine {
  public:
    // Draws nothing unless `enabled`; Enabled() gives the usual choice.
    ProgressLine(size_t total, bool enabled);
    ~ProgressLine() { Erase(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // True when standard error is a terminal and there is more than one input.
    static bool Enabled(size_t total);

    // Shows `done` of the total, unless the last drawing is less than 100 ms old.
    void Update(size_t done);

    // Clears the line before the program writes to `stream` (stdout only when it is the terminal
    // too); AfterOutput() puts the same count back below what was written.
    void BeforeOutput(std::FILE* stream);
    void AfterOutput();

    // Removes the line if it is shown.
    void Erase();

  private:
    void Draw(size_t done);

    using Clock = std::chrono::steady_clock;
    size_t total_;
    bool enabled_;
    bool shown_ = false;
    bool hiddenForOutput_ = false;
    size_t lastDone_ = 0;
    bool stdoutIsTerminal_ = false;
    Clock::time_point lastDrawn_;
};

}  // namespace tarkemo::cli
