// tarkemo-cli count: counts the particles of one or many images, optionally exporting the three
// files of each. Images are counted by a few worker threads, each holding one image at a time;
// the lines are printed in input order, so the output never depends on the number of jobs.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

#include "cli/count_options.h"
#include "cli/progress_line.h"
#include "particles/count_run.h"
#include "particles/export.h"
#include "particles/export_targets.h"

namespace tarkemo::cli {
namespace {

struct Outcome {
    size_t count = 0;
    Status status;
};

bool IsFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Status OutOfMemory() noexcept {
    return Status::OutOfMemory();
}

Status ExportFailure(unsigned failed) {
    std::string message;
    for (unsigned bit : {kExportBmpFailed, kExportDatFailed, kExportTxtFailed}) {
        if (!(failed & bit)) continue;
        if (!message.empty()) message += '\n';
        message += ExportFailureText(bit);
    }
    return {kOutputFailed, message};
}

Outcome CountAndExport(const CountOptions& options, size_t index, GrayBitmap& image) {
    const auto particles = CountAndMarkInPlace(image, options.method, options.params);
    if (!particles) return {0, OutOfMemory()};
    const ExportRequest request{ExportBaseFor(options, index),
                                options.germanNumbers,
                                options.method,
                                static_cast<uint8_t>(options.params.minGray),
                                options.params.minArea,
                                options.params.maxArea,
                                &image,
                                *particles};
    const unsigned failed = ExportParticlesAllOrNothing(request);
    if (failed != 0) return {0, ExportFailure(failed)};
    return {particles->size(), Status::Ok()};
}

Outcome CountOne(const CountOptions& options, size_t index) {
    Outcome outcome;
    auto loaded = LoadInputImage(options.inputs[index], outcome.status);
    if (!loaded) return outcome;
    if (options.Exporting()) return CountAndExport(options, index, loaded->bitmap);
    const auto particles = CountParticles(loaded->bitmap, options.method, options.params);
    if (!particles) return {0, OutOfMemory()};
    return {particles->size(), Status::Ok()};
}

// Lack of memory anywhere in one image ends that image only; its report allocates nothing.
Outcome CountOneSafely(const CountOptions& options, size_t index) noexcept {
    try {
        return CountOne(options, index);
    } catch (...) {
        return {0, OutOfMemory()};
    }
}

// The outcomes by input index; the printer waits for each in turn.
class OrderedOutcomes {
  public:
    explicit OrderedOutcomes(size_t count) : slots_(count) {}

    void Put(size_t index, Outcome outcome) noexcept {
        {
            std::lock_guard lock(mutex_);
            slots_[index] = std::move(outcome);
            ++finished_;
        }
        ready_.notify_all();
    }

    // The outcome of `index` once it is there, or none after `wait`.
    std::optional<Outcome> TakeWithin(size_t index, std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        if (!ready_.wait_for(lock, wait, [&] { return slots_[index].has_value(); })) return std::nullopt;
        std::optional<Outcome> outcome = std::move(slots_[index]);
        slots_[index].reset();
        return outcome;
    }

    // How many images have been counted so far, in any order.
    size_t Finished() {
        std::lock_guard lock(mutex_);
        return finished_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::optional<Outcome>> slots_;
    size_t finished_ = 0;
};

// Prints the line of a counted image, or its message on stderr; returns its exit status.
int PrintOutcome(const std::string& path, const Outcome& outcome) {
    if (!outcome.status.ok() && outcome.status.message.empty()) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(),
                     outcome.status.fixedText ? outcome.status.fixedText : "");
        return outcome.status.code;
    }
    if (!outcome.status.ok()) {
        const std::string& message = outcome.status.message;
        for (size_t start = 0; start <= message.size();) {
            const size_t end = std::min(message.find('\n', start), message.size());
            std::fprintf(stderr, "%s: %.*s\n", path.c_str(), static_cast<int>(end - start),
                         message.data() + start);
            start = end + 1;
        }
        return outcome.status.code;
    }
    std::printf("%s\t%zu\n", path.c_str(), outcome.count);
    std::fflush(stdout);
    return kDone;
}

// Prints the outcomes in input order as they arrive, with the progress line in between when
// stderr is a terminal; returns the exit status of the first image that failed.
int PrintInOrder(const std::vector<std::string>& inputs, OrderedOutcomes& outcomes) {
    ProgressLine progress(inputs.size(), ProgressLine::Enabled(inputs.size()));
    int exitCode = kDone;
    for (size_t i = 0; i < inputs.size(); ++i) {
        std::optional<Outcome> outcome;
        while (!(outcome = outcomes.TakeWithin(i, std::chrono::milliseconds(50)))) {
            progress.Update(outcomes.Finished());
        }
        progress.BeforeOutput(outcome->status.ok() ? stdout : stderr);
        const int code = PrintOutcome(inputs[i], *outcome);
        progress.AfterOutput();
        if (exitCode == kDone) exitCode = code;
        progress.Update(outcomes.Finished());
    }
    return exitCode;
}

}  // namespace

int RunCount(Arguments args) {
    Status status;
    const auto options = ParseCountOptions(args, status);
    if (!options) return Report(status);
    if (!options->exportDir.empty() && !IsFolder(options->exportDir)) {
        return Report({kOutputFailed, "Der Exportordner \"" + options->exportDir + "\" existiert nicht!"});
    }
    const size_t n = options->inputs.size();
    OrderedOutcomes outcomes(n);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < n; i = next++) outcomes.Put(i, CountOneSafely(*options, i));
    };
    std::vector<std::thread> workers;
    try {
        workers.reserve(std::min<size_t>(options->jobs, n));
        while (workers.size() < std::min<size_t>(options->jobs, n)) workers.emplace_back(work);
    } catch (...) {  // no further thread (or no memory for one): the started ones do all the work
        if (workers.empty()) work();  // none at all: count everything here
    }
    const int exitCode = PrintInOrder(options->inputs, outcomes);
    for (std::thread& worker : workers) worker.join();
    return exitCode;
}

}  // namespace tarkemo::cli
