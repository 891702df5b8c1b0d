// Progress of a long engine operation: the operation reports how much of its work is done and
// asks whether to stop. Long operations take a nullable `Progress*`; the CLI passes none. An
// operation that stops leaves its input unchanged; one that runs to the end gives the same bytes
// as a run without a Progress, for any thread count.
#pragma once

#include <atomic>
#include <cstdint>

namespace tarkemo {

class Progress {
  public:
    virtual ~Progress() = default;

    // Called by the operation, from any of its threads, after a block of work. Returns true when
    // the operation is to stop as soon as it can.
    bool Report(int64_t done, int64_t total) {
        done_.store(done, std::memory_order_relaxed);
        total_.store(total, std::memory_order_relaxed);
        return Cancelled();
    }

    // True once Cancel() was called; operations may also ask it without reporting.
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    // Asked by the waiting side (the progress dialog), from any thread.
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    int64_t Done() const { return done_.load(std::memory_order_relaxed); }
    int64_t Total() const { return total_.load(std::memory_order_relaxed); }

  private:
    std::atomic<int64_t> done_{0};
    std::atomic<int64_t> total_{0};
    std::atomic<bool> cancelled_{false};
};

// Reports through `progress` when there is one; false (go on) when there is none.
inline bool ReportProgress(Progress* progress, int64_t done, int64_t total) {
    return progress != nullptr && progress->Report(done, total);
}

// Shared by the threads of one operation: adds up the finished units of work and reports the sum.
// Once the Progress asks to stop, every thread skips its remaining blocks. Without a Progress it
// costs one comparison per block.
class ProgressCounter {
  public:
    ProgressCounter(Progress* progress, int64_t total) : progress_(progress), total_(total) {}

    // Asked before each block: true when the operation is to stop.
    bool Stopped() const { return progress_ != nullptr && progress_->Cancelled(); }

    // Called after a block of `amount` units.
    void Add(int64_t amount) {
        if (progress_ == nullptr) return;
        const int64_t done = done_.fetch_add(amount, std::memory_order_relaxed) + amount;
        progress_->Report(done, total_);
    }

  private:
    Progress* progress_;
    int64_t total_;
    std::atomic<int64_t> done_{0};
};

}  // namespace tarkemo
