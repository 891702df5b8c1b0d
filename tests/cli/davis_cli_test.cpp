#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli_run.h"
#include "generator/davis_encoder.h"
#include "image/bmp_file.h"

namespace tarkemo {
namespace {

using testing::RunCli;

const std::vector<uint16_t> kSamples = {100,  101,  103,   102,   102,   104,   105,   103,   110,
                                        5000, 5001, 20000, 20001, 20002, 40000, 39999, 39999, 39990};
const std::string kRealSample = TARKEMO_SHARED_DIR "/corpus/imx/test_IMX.imx";

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "davis_cli_" + std::to_string(getpid()) + "_" +
           name;  // runs in parallel never meet
}

std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

bool Exists(const std::string& path) {
    return std::ifstream(path).good();
}

TEST(DavisCli, ConvertsPackedRawAndFloatFiles) {
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        int topLeft, bottomLeft;  // pixel values of file line 0 and of the last line, first column
    };
    const Case cases[] = {
        {"packed.IMX", testimages::MakeDavisPackedFile(kSamples, 9, 2), 0, 31},  // 4900 * (255 / 39900)
        {"raw.img", testimages::MakeDavisWordFile(kSamples, 9, 2), 0, 31},
        {"float.Img", testimages::MakeDavisFloatFile(std::vector<float>{-1.0f, 0.0f, 1.0f, 3.0f}, 2, 2), 0,
         127},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = Write(c.name, c.file);
        const std::string out = TempPath(std::string(c.name) + ".bmp");
        const auto result = RunCli({"convert", in, out});
        ASSERT_EQ(result.status, 0) << result.out;
        const auto loaded = ReadBmpFile(out);
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(loaded->grayRamp);
        EXPECT_EQ(loaded->bitmap.At(0, loaded->bitmap.height - 1), c.topLeft);
        EXPECT_EQ(loaded->bitmap.At(0, 0), c.bottomLeft);
        std::remove(in.c_str());
        std::remove(out.c_str());
    }
}

TEST(DavisCli, RefusedFilesGiveTheImportMessageAndNoOutput) {
    std::vector<uint8_t> truncated = testimages::MakeDavisPackedFile(kSamples, 9, 2);
    truncated.resize(280);
    std::vector<uint8_t> vectorField = testimages::MakeDavisFloatFile(std::vector<float>(4, 1.0f), 2, 2);
    vectorField[14] = 2;
    for (const auto& [name, bytes] : {std::pair{"truncated.imx", truncated}, {"vectors.IMG", vectorField}}) {
        SCOPED_TRACE(name);
        const std::string in = Write(name, bytes);
        const std::string out = TempPath(std::string(name) + ".bmp");
        for (const char* command : {"convert", "info"}) {
            std::vector<std::string> args = {command, in};
            if (std::string(command) == "convert") args.push_back(out);
            const auto result = RunCli(args);
            EXPECT_EQ(result.status, 3);
            EXPECT_NE(result.out.find("Fehler beim Einladen der IMX-Datei! Möglicherweise falsches Format?"),
                      std::string::npos)
                << result.out;
        }
        EXPECT_FALSE(Exists(out));
        std::remove(in.c_str());
    }
}

TEST(DavisCli, InfoDescribesSamplesAndImage) {
    const std::string words = Write("info.imx", testimages::MakeDavisPackedFile(kSamples, 9, 2));
    const std::string floats =
        Write("info.img", testimages::MakeDavisFloatFile(std::vector<float>{-1.5f, 2.0f}, 2, 1));
    const auto w = RunCli({"info", words});
    ASSERT_EQ(w.status, 0) << w.out;
    for (const char* line : {"format\tdavis\n", "image-type\t19\n", "nx\t9\n", "ny\t2\n", "frames\t1\n",
                             "samples\tuint16\n", "sample-min\t100\n", "sample-max\t40000\n", "width\t9\n",
                             "height\t2\n", "gray-ramp\tyes\n", "min\t0\n", "max\t255\n"}) {
        EXPECT_NE(w.out.find(line), std::string::npos) << line << w.out;
    }
    const auto f = RunCli({"info", floats});
    ASSERT_EQ(f.status, 0) << f.out;
    for (const char* line : {"image-type\t20\n", "samples\tfloat32\n", "sample-min\t-1.5\n",
                             "sample-max\t2\n", "non-finite\t0\n"}) {
        EXPECT_NE(f.out.find(line), std::string::npos) << line << f.out;
    }
    std::remove(words.c_str());
    std::remove(floats.c_str());
}

TEST(DavisCli, RealSample) {
    if (!Exists(kRealSample)) GTEST_SKIP() << "sample not present";
    const auto info = RunCli({"info", kRealSample});
    ASSERT_EQ(info.status, 0) << info.out;
    for (const char* line :
         {"nx\t1376\n", "ny\t1024\n", "frames\t1\n", "sample-min\t0\n", "sample-max\t687\n", "max\t254\n"}) {
        EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
    }
    const std::string out = TempPath("real.bmp");
    const auto convert = RunCli({"convert", kRealSample, out});
    ASSERT_EQ(convert.status, 0) << convert.out;
    const auto loaded = ReadBmpFile(out);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->bitmap.width, 1376);
    EXPECT_EQ(loaded->bitmap.height, 1024);
    // Line 0 of the file is the top row of the image.
    const double factor = 255.0 / 687.0;
    const int expected[] = {1, 2, 0, 2, 2, 3, 1, 2, 3, 1, 4, 2, 3, 1, 3, 3};
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(loaded->bitmap.At(x, 1023), static_cast<int>(expected[x] * factor));
    std::remove(out.c_str());
}

}  // namespace
}  // namespace tarkemo
