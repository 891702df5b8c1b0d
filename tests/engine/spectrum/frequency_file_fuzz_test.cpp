// Randomly damaged .FFT files must give one of the result codes and never read past the arrays;
// run under the address and undefined-behaviour sanitizers this proves the bounds of every read.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "generator/particle_image.h"
#include "spectrum/frequency_file.h"

namespace tarkemo {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using testimages::Random;

constexpr int32_t kWidth = 4, kHeight = 2;

Bytes SeedFile(int32_t width, int32_t height, Random& random) {
    Bytes bytes(kFrequencyFileId.begin(), kFrequencyFileId.end());
    const int32_t sizes[2] = {width, height};
    bytes.resize(bytes.size() + 8 + 8 * static_cast<size_t>(width * height));
    std::memcpy(bytes.data() + kFrequencyFileId.size(), sizes, 8);
    for (size_t i = kFrequencyFileId.size() + 8; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(random.Next());
    return bytes;
}

// One of: flipped bytes, a cut, a random size field, appended bytes.
Bytes Mutate(Bytes file, Random& random) {
    switch (random.Between(0, 3)) {
        case 0:
            for (int n = random.Between(1, 4); n > 0 && !file.empty(); --n) {
                file[random.Between(0, static_cast<int32_t>(file.size()) - 1)] ^=
                    static_cast<uint8_t>(random.Between(1, 255));
            }
            break;
        case 1:
            file.resize(random.Between(0, static_cast<int32_t>(file.size())));
            break;
        case 2: {
            const int32_t value = static_cast<int32_t>(random.Next());
            const size_t at = kFrequencyFileId.size() + 4 * random.Between(0, 1);
            std::memcpy(file.data() + at, &value, 4);
            break;
        }
        default:
            for (int n = random.Between(1, 40); n > 0; --n)
                file.push_back(static_cast<uint8_t>(random.Next()));
    }
    return file;
}

TEST(FrequencyFileFuzzTest, DamagedFilesGiveAResultCodeAndStayInsideTheArrays) {
    std::string pattern = (fs::temp_directory_path() / "tarkemo-fft-fuzz-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());
    const std::string path = (folder / "f.fft").string();
    Random random(20261208);
    const Bytes seeds[] = {SeedFile(kWidth, kHeight, random), SeedFile(kHeight, kWidth, random),
                           SeedFile(2, 2, random)};
    int counts[5] = {};
    for (uint64_t iteration = 0; iteration < 800; ++iteration) {
        const Bytes file = Mutate(seeds[iteration % 3], random);
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        // Exactly sized arrays, so a read beyond them is caught by the sanitizer.
        auto re = std::make_unique<float[]>(kWidth * kHeight);
        auto im = std::make_unique<float[]>(kWidth * kHeight);
        const auto result = ReadFrequencyFile(path, re.get(), im.get(), kWidth, kHeight);
        const int code = static_cast<int>(result);
        ASSERT_TRUE(code >= 0 && code <= 4) << iteration;
        ++counts[code];
        if (result == FrequencyFileResult::kOk) {
            EXPECT_GE(file.size(), kFrequencyFileId.size() + 8 + 8 * kWidth * kHeight) << iteration;
        }
    }
    fs::remove_all(folder);
    for (int code = 0; code <= 4; ++code) EXPECT_GT(counts[code], 0) << "code " << code << " never reached";
}

}  // namespace
}  // namespace tarkemo
