// tarkemo-cli under hostile conditions: FIFOs and devices as inputs and outputs, names that would
// make the output ambiguous, lack of memory anywhere (an allocator that fails after N allocations,
// an address-space limit), signals during a write and two processes exporting the same set.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "generator/particle_image.h"
#include "image/bmp_file.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoMemory = "Nicht genügend Speicher vorhanden!";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer reserves terabytes and must be loaded first
#else
constexpr bool kSanitized = false;
#endif

struct ShellResult {
    int status = -1;  // the shell's exit status: 128 + N when the program died of signal N
    std::string out;
};

std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Cli(const std::vector<std::string>& args) {
    std::string command = Quoted(TARKEMO_CLI_PATH);
    for (const std::string& arg : args) {
        command += ' ';
        command += Quoted(arg);
    }
    return command;
}

// Runs a shell script with stdout and stderr together; every program in it gets 20 s at most.
ShellResult RunShell(const std::string& script) {
    ShellResult result;
    FILE* pipe = popen(("(" + script + ") 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return result;
}

std::string Timed(const std::vector<std::string>& args) {
    std::string command = "timeout -s KILL 20 ";
    command += Cli(args);
    return command;
}

class CliHardeningTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarkemo_cli_hardening_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        image_ = Image("image.bmp", 200, 150, 40);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Image(const std::string& name, int32_t width, int32_t height, int32_t spots) const {
        const testimages::ParticleImageSpec spec{
            .width = width, .height = height, .spotCount = spots, .seed = 7};
        EXPECT_TRUE(WriteBmpFile(testimages::MakeParticleImage(spec), Path(name)));
        return Path(name);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
            const std::string name = entry.path().filename();
            if (name.starts_with(".tarkemo-")) names.push_back(name);
        }
        return names;
    }

    fs::path dir_;
    std::string image_;
};

TEST_F(CliHardeningTest, FifoInputsAreRefusedAtOnce) {
    for (const char* name : {"f.imx", "f.bmp", "f.lft", "f.rgb", "f.pal", "f.fft"})
        ASSERT_EQ(mkfifo(Path(name).c_str(), 0600), 0);
    const std::string out = Path("out.bmp");
    const struct {
        const char* id;
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {"info imx", {"info", Path("f.imx")}, 3},
        {"info bmp", {"info", Path("f.bmp")}, 3},
        {"convert imx", {"convert", Path("f.imx"), out}, 3},
        {"filter file", {"apply", image_, out, "filter=" + Path("f.lft")}, 3},
        {"rgb palette", {"apply", image_, out, "palette-file=" + Path("f.rgb")}, 3},
        {"gray mapping", {"apply", image_, out, "gray-map=" + Path("f.pal")}, 3},
        {"frequency filter", {"spectrum", image_, out, "load-filter=" + Path("f.fft")}, 3},
        {"count batch", {"count", "--jobs", "2", image_, Path("f.imx"), image_, Path("f.bmp")}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const ShellResult result = RunShell(Timed(c.args));
        EXPECT_EQ(result.status, c.status) << result.out;
        EXPECT_FALSE(fs::exists(out));
    }
    const ShellResult batch = RunShell(Timed(cases[7].args));
    EXPECT_EQ(std::count(batch.out.begin(), batch.out.end(), '\t'), 2) << "the readable images are counted";
}

TEST_F(CliHardeningTest, SpecialOutputsAreNeverReplacedAndLinksAreWrittenThrough) {
    ASSERT_EQ(mkfifo(Path("fifo.bmp").c_str(), 0600), 0);
    ShellResult result = RunShell(Timed({"apply", image_, Path("fifo.bmp"), "not"}));
    EXPECT_EQ(result.status, 4) << result.out;
    EXPECT_NE(result.out.find("FIFO"), std::string::npos) << result.out;
    EXPECT_TRUE(fs::is_fifo(Path("fifo.bmp")));

    ASSERT_EQ(mkfifo(Path("set.dat").c_str(), 0600), 0);
    result = RunShell(Timed({"count", "--export", Path("set"), image_}));
    EXPECT_EQ(result.status, 4) << result.out;
    EXPECT_TRUE(fs::is_fifo(Path("set.dat")));
    EXPECT_FALSE(fs::exists(Path("set.bmp"))) << "the set is written whole or not at all";

    fs::create_directory(Path("real"));
    fs::create_symlink("real/kept.bmp", Path("link.bmp"));
    result = RunShell(Timed({"apply", image_, Path("link.bmp"), "not"}));
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_TRUE(fs::is_symlink(Path("link.bmp")));
    EXPECT_EQ(fs::file_size(Path("real/kept.bmp")), fs::file_size(image_));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(CliHardeningTest, NamesThatWouldMakeTheLinesAmbiguousAreRefused) {
    for (const std::string name : {"tab\tname.bmp", "line\nbreak.bmp", "carriage\rreturn.bmp"}) {
        SCOPED_TRACE(name);
        fs::copy_file(image_, Path(name));
        const ShellResult result = RunShell(Timed({"count", image_, Path(name)}));
        EXPECT_EQ(result.status, 2) << result.out;
        EXPECT_EQ(result.out.find(image_ + "\t"), std::string::npos) << "nothing counted";
    }
}

TEST_F(CliHardeningTest, ApplyTakesTheEndOfOptions) {
    fs::copy_file(image_, Path("--odd.bmp"));
    const std::string dashed = Path("--odd.bmp");
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"apply", "--", image_, Path("a.bmp"), "not"}, 0},
        {{"apply", "--yes", "--", image_, Path("b.bmp"), "not"}, 0},
        {{"apply", "--", "--odd.bmp", Path("c.bmp"), "not"}, 0},
        {{"apply", "--odd.bmp", Path("d.bmp"), "not"}, 2},
    };
    for (const auto& c : cases) {
        const ShellResult result = RunShell("cd " + Quoted(dir_.string()) + " && " + Timed(c.args));
        EXPECT_EQ(result.status, c.status) << c.args[1] << "\n" << result.out;
    }
    EXPECT_EQ(Read(Path("a.bmp")), Read(Path("c.bmp")));
}

// Every allocation after the first N fails. Whatever N, the program ends with a status of its
// own: never an abort from an exception that escaped (134), and exit 5 always comes with the message.
TEST_F(CliHardeningTest, AllocationsFailingAnywhereNeverAbort) {
    if (kSanitized) GTEST_SKIP() << "the preloaded allocator cannot run beside the sanitizers";
    std::vector<std::string> images;
    for (int i = 0; i < 6; ++i) images.push_back(Image("many" + std::to_string(i) + ".bmp", 120 + i, 90, 30));
    fs::create_directory(Path("export"));
    std::vector<std::string> count = {"count", "--jobs", "8", "--export-dir", Path("export")};
    count.insert(count.end(), images.begin(), images.end());
    const std::vector<std::vector<std::string>> commands = {
        {"info", image_}, {"apply", image_, Path("out.bmp"), "rank=3,3,5", "not"}, count};
    int outOfMemory = 0;
    for (const auto& command : commands) {
        for (const int n : {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 377, 610, 987, 1597}) {
            SCOPED_TRACE(command[0] + " failing after " + std::to_string(n));
            const ShellResult result =
                RunShell("LD_PRELOAD=" + Quoted(TARKEMO_FAIL_ALLOC_PATH) +
                         " TARKEMO_FAIL_ALLOC_AFTER=" + std::to_string(n) + " " + Timed(command));
            // The OpenMP runtime allocates while the program is loaded, before main(); it ends
            // with status 1 and its own message when that fails.
            const bool beforeMain =
                result.status == 1 && result.out.find("libgomp: Out of memory") != std::string::npos;
            EXPECT_TRUE(beforeMain || result.status == 0 || (result.status >= 2 && result.status <= 5))
                << result.status << "\n"
                << result.out;
            EXPECT_EQ(result.out.find("terminate"), std::string::npos) << result.out;
            if (result.status == 5) {
                EXPECT_NE(result.out.find(kNoMemory), std::string::npos) << result.out;
            }
            outOfMemory += result.out.find(kNoMemory) != std::string::npos;
        }
    }
    EXPECT_GT(outOfMemory, 10);
    EXPECT_TRUE(Leftovers().empty());
}

// A valid image that does not fit into the address space left is lack of memory, not a wrong format.
TEST_F(CliHardeningTest, AnImageTooLargeForTheMemoryLeftIsReportedAsSuch) {
    if (kSanitized) GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
    const std::string big = Image("big.bmp", 8192, 8192, 10);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", big}, {"apply", big, Path("out.bmp"), "not"}, {"count", big}}) {
        SCOPED_TRACE(args[0]);
        const ShellResult result = RunShell("ulimit -v 48000; " + Timed(args));
        EXPECT_EQ(result.status, 5) << result.out;
        EXPECT_NE(result.out.find(kNoMemory), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find("falsches Format"), std::string::npos) << result.out;
    }
}

// A signal while the output is being written removes the temporary file and ends the program with
// the signal's status. The signal is sent as soon as the temporary file shows up.
TEST_F(CliHardeningTest, SignalsDuringAWriteLeaveNoTemporaryFile) {
    const std::string big = Image("big.bmp", 8192, 4096, 10);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        bool caughtMidWrite = false;
        for (int attempt = 0; attempt < 40 && !caughtMidWrite; ++attempt) {
            const std::string out = Path("out.bmp");
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                execl(TARKEMO_CLI_PATH, TARKEMO_CLI_PATH, "apply", big.c_str(), out.c_str(), "not", nullptr);
                _exit(127);
            }
            const auto start = std::chrono::steady_clock::now();
            while (Leftovers().empty() &&
                   std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
                int raw = 0;
                if (waitpid(child, &raw, WNOHANG) == child) break;
            }
            kill(child, signal);
            int raw = 0;
            waitpid(child, &raw, 0);
            if (WIFSIGNALED(raw)) {
                caughtMidWrite = true;
                EXPECT_EQ(WTERMSIG(raw), signal);
                EXPECT_TRUE(Leftovers().empty());
            }
            fs::remove(out);
        }
        EXPECT_TRUE(caughtMidWrite) << "the write was never caught";
    }
}

// Two processes export two images under one base name at once: the three files always come from
// one of the two runs. Small images keep the two runs in step, so their renames meet often.
TEST_F(CliHardeningTest, TwoExportsOfOneSetNeverMix) {
    const std::string first = Image("first.bmp", 512, 512, 300);
    const testimages::ParticleImageSpec spec{.width = 512, .height = 512, .spotCount = 200, .seed = 99};
    ASSERT_TRUE(WriteBmpFile(testimages::MakeParticleImage(spec), Path("second.bmp")));
    const std::string base = Path("set");
    auto files = [&] { return Read(base + ".bmp") + "|" + Read(base + ".dat") + "|" + Read(base + ".txt"); };
    const std::vector<std::string> a = {"count", "--export", base, first};
    const std::vector<std::string> b = {"count", "--export", base, Path("second.bmp")};
    ASSERT_EQ(RunShell(Timed(a)).status, 0);
    const std::string setA = files();
    ASSERT_EQ(RunShell(Timed(b)).status, 0);
    const std::string setB = files();
    for (const char* extension : {".bmp", ".dat", ".txt"}) {
        fs::remove(base + extension);
    }
    int mixed = 0;
    for (int round = 0; round < 60; ++round) {
        RunShell(Timed(a) + " & " + Timed(b) + " & wait");
        const std::string set = files();
        mixed += set != setA && set != setB;
    }
    EXPECT_EQ(mixed, 0);
    EXPECT_TRUE(Leftovers().empty());
}

}  // namespace
}  // namespace tarkemo
