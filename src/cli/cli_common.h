// Shared pieces of tarkemo-cli: exit statuses, messages on stderr, input loading and the
// strict number parsing every command and step uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/bmp_file.h"

namespace tarkemo::cli {

enum ExitCode : int {
    kDone = 0,
    kBadUsage = 2,
    kInputRefused = 3,
    kOutputFailed = 4,
    kStepFailed = 5,
};

// The outcome of a command or step: code kDone, or an error code with the message for stderr.
// A fixed text (a string literal) stands in for the message where building one could fail: lack
// of memory is reported without allocating.
struct Status {
    ExitCode code = kDone;
    std::string message;
    const char* fixedText = nullptr;  // printed instead of an empty message
    static Status Ok() { return {}; }
    static Status OutOfMemory() noexcept { return {kStepFailed, {}, kNoMemoryText}; }
    bool ok() const { return code == kDone; }
};

// Prints the message (if any) on stderr and returns the exit code.
int Report(const Status& status);

// Writes "Nicht genügend Speicher vorhanden!" on stderr without allocating; returns kStepFailed.
int ReportOutOfMemory() noexcept;

// Case-insensitive test of a file name's extension, e.g. HasExtension(path, ".bmp").
bool HasExtension(std::string_view path, std::string_view extension);

// Loads an image argument: a BMP file, or a DaVis IMX/IMG file converted by the import rules.
// On failure the status carries kInputRefused and the program's German message.
std::optional<LoadedBitmap> LoadInputImage(const std::string& path, Status& status);

// Writes the bitmap as BMP atomically; kOutputFailed with a message on failure.
Status WriteOutputImage(const GrayBitmap& bitmap, const std::string& path);

// Decimal integer that must convert completely (optional leading minus).
std::optional<int64_t> ParseInteger(std::string_view text);

// Comma-separated decimal integers; none if any part is not a whole number.
std::optional<std::vector<int64_t>> ParseIntegerList(std::string_view text);

// Splits "a,b,c" at commas (empty parts kept).
std::vector<std::string_view> SplitCommas(std::string_view text);

}  // namespace tarkemo::cli
