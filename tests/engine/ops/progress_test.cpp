// The long operations with a Progress: a run that is never told to stop gives the same bytes as a
// run without one, for any number of threads; a run told to stop, before it starts or while it
// runs, returns false and leaves its input exactly as it was.
#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "generator/particle_image.h"
#include "image/progress.h"
#include "ops/border_extension.h"
#include "ops/builtin_kernels.h"
#include "ops/linear_filter.h"
#include "ops/local_ops.h"

namespace tarkemo {
namespace {

using testimages::MakeNoiseImage;

// One operation as the desktop runs it: the image is changed in place (or replaced by a new one).
struct LongOp {
    std::string name;
    std::function<bool(GrayBitmap&, Progress*)> run;
};

LinearFilter Kernel(BuiltinKernel kernel) {
    LinearFilter filter;
    EXPECT_TRUE(FillBuiltinKernel(kernel, filter));
    return filter;
}

std::vector<LongOp> Operations() {
    return {
        {"rank 3x3", [](GrayBitmap& b, Progress* p) { return RankFilter(b, 3, 3, 5, p); }},
        {"rank 9x7", [](GrayBitmap& b, Progress* p) { return RankFilter(b, 9, 7, 20, p); }},
        {"local normalize", [](GrayBitmap& b, Progress* p) { return LocalNormalize(b, 7, 5, 30, 20, p); }},
        {"gradient", [](GrayBitmap& b, Progress* p) { return GradientFilter(b, p); }},
        {"gauss 5x5",
         [](GrayBitmap& b, Progress* p) { return ApplyLinearFilter(b, Kernel(BuiltinKernel::kGauss5), p); }},
        {"unsharp 3x3 (stretched)",
         [](GrayBitmap& b, Progress* p) {
             return ApplyLinearFilter(b, Kernel(BuiltinKernel::kUnsharp3), p);
         }},
        {"local-mean resize",
         [](GrayBitmap& b, Progress* p) {
             return ExtendBorderInPlace(b, b.width + 90, b.height + 70, 40, 30, kLocalMean, p);
         }},
    };
}

bool SameImage(const GrayBitmap& a, const GrayBitmap& b) {
    return a.width == b.width && a.height == b.height && a.colours == b.colours &&
           std::equal(a.pixels.begin(), a.pixels.end(), b.pixels.begin(), b.pixels.end());
}

TEST(Progress, RunsThatAreNotStoppedGiveTheSameBytesForAnyThreadCount) {
    const GrayBitmap input = MakeNoiseImage(301, 203, 7);
    const int threadsBefore = omp_get_max_threads();
    for (const LongOp& op : Operations()) {
        SCOPED_TRACE(op.name);
        GrayBitmap reference = input;
        ASSERT_TRUE(op.run(reference, nullptr));
        for (const int threads : {1, 2, 3}) {
            omp_set_num_threads(threads);
            GrayBitmap image = input;
            Progress progress;
            ASSERT_TRUE(op.run(image, &progress)) << threads << " threads";
            EXPECT_TRUE(SameImage(image, reference)) << threads << " threads";
            EXPECT_GT(progress.Total(), 0);
            EXPECT_EQ(progress.Done(), progress.Total()) << threads << " threads";
        }
    }
    omp_set_num_threads(threadsBefore);
}

TEST(Progress, ARunStoppedBeforeItStartsLeavesTheImageUnchanged) {
    const GrayBitmap input = MakeNoiseImage(257, 131, 3);
    for (const LongOp& op : Operations()) {
        SCOPED_TRACE(op.name);
        GrayBitmap image = input;
        Progress progress;
        progress.Cancel();
        EXPECT_FALSE(op.run(image, &progress));
        EXPECT_TRUE(SameImage(image, input));
    }
}

// Stops the run from another thread as soon as it has reported some work, as the progress dialog
// does. Whichever comes first, the run either finishes with the full result or stops with the image
// unchanged; never anything in between.
TEST(Progress, ARunStoppedWhileItRunsEndsWithTheWholeResultOrNone) {
    const GrayBitmap input = MakeNoiseImage(1200, 900, 5);
    for (const LongOp& op : Operations()) {
        SCOPED_TRACE(op.name);
        GrayBitmap reference = input;
        ASSERT_TRUE(op.run(reference, nullptr));
        GrayBitmap image = input;
        Progress progress;
        std::atomic<bool> over{false};
        std::thread canceller([&] {
            while (!over.load() && progress.Done() == 0) std::this_thread::yield();
            progress.Cancel();
        });
        const bool finished = op.run(image, &progress);
        over.store(true);
        canceller.join();
        EXPECT_TRUE(SameImage(image, finished ? reference : input)) << (finished ? "finished" : "stopped");
    }
}

TEST(Progress, CounterAddsUpBlocksAndAsksOnlyWithAProgress) {
    ProgressCounter none(nullptr, 10);
    none.Add(5);
    EXPECT_FALSE(none.Stopped());
    Progress progress;
    ProgressCounter counter(&progress, 10);
    counter.Add(4);
    counter.Add(3);
    EXPECT_EQ(progress.Done(), 7);
    EXPECT_EQ(progress.Total(), 10);
    EXPECT_FALSE(counter.Stopped());
    progress.Cancel();
    EXPECT_TRUE(counter.Stopped());
}

}  // namespace
}  // namespace tarkemo
