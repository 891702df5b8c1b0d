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
    std::fprintf(stderr, "\r%zu/%zu Bilder\033[K", done, total_);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::BeforeOutput(std::FILE* stream) {
    if (stream == stderr || stdoutIsTerminal_) Erase();
}

void ProgressLine::Erase() {
    if (!shown_) return;
    std::fputs(kEraseLine, stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace tarkemo::cli
