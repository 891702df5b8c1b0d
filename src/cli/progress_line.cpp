#include "cli/progress_line.h"

#include <unistd.h>

namespace tarkemo::cli {
namespace {

constexpr auto kMinInterval = std::chrono::milliseconds(100);
constexpr const char* kEraseLine = "\r\033[K";

}  // namespace

ProgressLine::ProgressLine(size_t total, bool enabled)
    : total_(total),
      enabled_(enabled),
      stdoutIsTerminal_(::isatty(STDOUT_FILENO) == 1),
      lastDrawn_(Clock::now()) {}

bool ProgressLine::Enabled(size_t total) {
    return total > 1 && ::isatty(STDERR_FILENO) == 1;
}

// The first drawing also waits 100 ms, so a short run shows nothing at all.
void ProgressLine::Update(size_t done) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < kMinInterval) return;
    lastDrawn_ = now;
    Draw(done);
}

void ProgressLine::Draw(size_t done) {
    std::fprintf(stderr, "\r%zu/%zu Bilder\033[K", done, total_);
    std::fflush(stderr);
    lastDone_ = done;
    shown_ = true;
}

void ProgressLine::BeforeOutput(std::FILE* stream) {
    if (!shown_ || (stream != stderr && !stdoutIsTerminal_)) return;
    Erase();
    hiddenForOutput_ = true;
}

void ProgressLine::AfterOutput() {
    if (hiddenForOutput_) Draw(lastDone_);
    hiddenForOutput_ = false;
}

void ProgressLine::Erase() {
    if (!shown_) return;
    std::fputs(kEraseLine, stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace tarkemo::cli
