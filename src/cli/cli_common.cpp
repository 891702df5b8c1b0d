#include "cli/cli_common.h"

#include "image/atomic_file.h"

#include <cctype>
#include <charconv>
#include <cstdio>

namespace tarkemo::cli {

int Report(const Status& status) {
    if (!status.message.empty()) {
        std::fprintf(stderr, "%s\n", status.message.c_str());
    } else if (status.fixedText) {
        std::fputs(status.fixedText, stderr);
        std::fputc('\n', stderr);
    }
    return status.code;
}

int ReportOutOfMemory() noexcept {
    return Report(Status::OutOfMemory());
}

bool HasExtension(std::string_view path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    const std::string_view tail = path.substr(path.size() - extension.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        const auto a = static_cast<unsigned char>(tail[i]);
        const auto b = static_cast<unsigned char>(extension[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

Status WriteOutputImage(const GrayBitmap& bitmap, const std::string& path) {
    if (IsSpecialFile(path)) {
        return {kOutputFailed,
                "Fehler beim Speichern der Datei \"" + path +
                    "\"! Sie ist ein Gerät, eine FIFO oder ein Socket und wird nicht ersetzt."};
    }
    if (WriteBmpFile(bitmap, path)) return Status::Ok();
    return {kOutputFailed, "Fehler beim Speichern der Datei \"" + path + "\"!"};
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() == '+') return std::nullopt;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return parts;
        start = comma + 1;
    }
}

std::optional<std::vector<int64_t>> ParseIntegerList(std::string_view text) {
    std::vector<int64_t> values;
    for (std::string_view part : SplitCommas(text)) {
        const auto value = ParseInteger(part);
        if (!value) return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

}  // namespace tarkemo::cli
