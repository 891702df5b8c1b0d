#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "generator/particle_image.h"
#include "image/bmp_file.h"
#include "ops/builtin_kernels.h"
#include "ops/linear_filter.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;
using testing::RunCli;

class CliFilterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarkemo_cli_filter_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        image_ = testimages::MakeNoiseImage(19, 13, 4);
        input_ = Path("in.bmp");
        ASSERT_TRUE(WriteBmpFile(image_, input_));
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string WriteFilter(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }
    static std::vector<uint8_t> Pixels(const GrayBitmap& image) {
        std::vector<uint8_t> out;
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) out.push_back(image.At(x, y));
        }
        return out;
    }
    std::vector<uint8_t> Filtered(const LinearFilter& filter) const {
        GrayBitmap copy = image_;
        EXPECT_TRUE(ApplyLinearFilter(copy, filter));
        return Pixels(copy);
    }
    std::vector<uint8_t> Output(const std::string& path) const {
        return Pixels(ReadBmpFile(path).value().bitmap);
    }

    fs::path dir_;
    GrayBitmap image_;
    std::string input_;
};

TEST_F(CliFilterTest, KernelNamesSelectTheBuiltInKernelsInMenuOrder) {
    const std::string names[] = {"box3",     "box5",    "gauss3",  "gauss5", "unsharp3",
                                 "unsharp5", "deriv-h", "deriv-v", "deriv-d"};
    for (size_t i = 0; i < std::size(names); ++i) {
        const BuiltinKernelInfo& info = BuiltinKernels()[i];
        const std::string out = Path(names[i] + ".bmp");
        const auto result = RunCli({"apply", input_, out, "kernel=" + names[i]});
        ASSERT_EQ(result.status, 0) << names[i] << ": " << result.out;
        LinearFilter filter;
        ASSERT_TRUE(FillBuiltinKernel(info.kernel, filter));
        EXPECT_EQ(Output(out), Filtered(filter)) << names[i] << " should be " << info.menuText;
    }
}

TEST_F(CliFilterTest, FilterFileIsAppliedAndRefusedFilesWriteNothing) {
    const std::string laplace =
        WriteFilter("laplace.lft",
                    "Tarkemo - Linear Filter: Laplace\r\nMatrix: 3 x 3\r\n 0 -1  0\r\n"
                    "-1  4 -1\r\n 0 -1  0\r\nBorder: FlipExc\r\nAddOffset: 127\r\n");
    const std::string out = Path("out.bmp");
    auto result = RunCli({"apply", input_, out, "filter=" + laplace});
    ASSERT_EQ(result.status, 0) << result.out;
    LinearFilter filter;
    filter.width = filter.height = 3;
    filter.kernel = {0, -1, 0, -1, 4, -1, 0, -1, 0};
    filter.border = -2;
    filter.addOffset = 127;
    EXPECT_EQ(Output(out), Filtered(filter));

    const struct {
        std::string file;
        std::string message;
    } refused[] = {
        {WriteFilter("bad.lft", "Tarkemo - Linear Filter: x\r\nMatrix: 2 x 3\r\n"),
         "Höhe der Matrix ungültig!"},
        {WriteFilter("noline.lft", "Tarkemo - Linear Filter: x"), "erste Zeile"},
        {Path("missing.lft"), "lässt sich nicht lesen"},
    };
    for (const auto& c : refused) {
        const std::string target = Path("refused.bmp");
        result = RunCli({"apply", input_, target, "kernel=box3", "filter=" + c.file});
        EXPECT_EQ(result.status, 3) << c.file;
        EXPECT_NE(result.out.find(c.message), std::string::npos) << result.out;
        EXPECT_FALSE(fs::exists(target)) << c.file;
    }
}

TEST_F(CliFilterTest, DivByQuestionIsAnsweredNoUnlessYes) {
    const std::string file =
        WriteFilter("coeffsum.lft",
                    "Tarkemo - Linear Filter: Mittel\r\nMatrix: 3 x 3\r\n1 1 1\r\n1 1 1\r\n"
                    "1 1 1\r\nBorder: CoeffSum\r\nDivBy: 9\r\n");
    const std::string out = Path("out.bmp");
    auto result = RunCli({"apply", input_, out, "filter=" + file});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.out.find("Wollen Sie die Filter-Operation trotzdem ausführen?"), std::string::npos);
    EXPECT_FALSE(fs::exists(out));

    result = RunCli({"apply", "--yes", input_, out, "filter=" + file});
    ASSERT_EQ(result.status, 0) << result.out;
    LinearFilter filter;
    filter.width = filter.height = 3;
    filter.kernel = std::vector<float>(9, 1.0f);
    filter.divBy = 0.0f;
    EXPECT_EQ(Output(out), Filtered(filter));
}

TEST_F(CliFilterTest, BadArgumentsAndFailedApplications) {
    const std::string narrow = Path("narrow.bmp");
    ASSERT_TRUE(WriteBmpFile(*CreateGrayBitmap(1, 5), narrow));
    // Fine at every edge of a wide image, but a 1-pixel-wide image leaves only the centre 0.
    const std::string file = WriteFilter("edges.lft",
                                         "Tarkemo - Linear Filter: Rand\r\nMatrix: 1 x 3\r\n1 0 1\r\n"
                                         "Border: CoeffSum\r\n");
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"apply", input_, Path("a.bmp"), "kernel=gauss7"}, 2},
        {{"apply", input_, Path("b.bmp"), "kernel"}, 2},
        {{"apply", narrow, Path("c.bmp"), "filter=" + file}, 5},
    };
    for (const auto& c : cases) {
        const auto result = RunCli(c.args);
        EXPECT_EQ(result.status, c.status) << c.args.back() << ": " << result.out;
        EXPECT_FALSE(fs::exists(c.args[2])) << c.args.back();
    }
    EXPECT_EQ(RunCli({"apply", input_, Path("d.bmp"), "filter=" + file}).status, 0);
}

}  // namespace
}  // namespace tarkemo
