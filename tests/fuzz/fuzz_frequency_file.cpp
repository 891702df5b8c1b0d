// Feeds arbitrary bytes to the .FFT reader through an in-memory file. The expected field size is
// taken from the bytes where the file keeps it (when small), so the data reads are reached too.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "spectrum/frequency_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t width = 4;
    int32_t height = 4;
    if (size >= 21) {
        std::memcpy(&width, data + 13, sizeof width);
        std::memcpy(&height, data + 17, sizeof height);
        if (width <= 0 || height <= 0 || width > 256 || height > 256) width = height = 4;
    }
    const int fd = memfd_create("fft", 0);
    if (fd < 0) return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        std::vector<float> re(static_cast<size_t>(width) * static_cast<size_t>(height));
        std::vector<float> im(re.size());
        tarkemo::ReadFrequencyFile("/proc/self/fd/" + std::to_string(fd), re.data(), im.data(), width,
                                   height);
    }
    close(fd);
    return 0;
}
