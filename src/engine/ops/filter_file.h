// Linear filter files (.LFT): a text file holding a kernel and the settings of the linear filter
// engine. The parser checks the file strictly and hands back the German message that explains a
// fault (or the question the person must answer first); it never shows anything itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ops/linear_filter.h"

namespace tarkemo {

enum class FilterMessageIcon { kWarning, kError };

struct FilterFileMessage {
    std::string caption;  // "Lineares Filter - FEHLER" or, for the question, "Lineares Filter - WARNUNG"
    std::string text;     // UTF-8
    FilterMessageIcon icon = FilterMessageIcon::kWarning;
    bool question = false;  // a Yes/No question with No preselected; only Yes accepts the filter
};

enum class FilterFileOutcome {
    kAccepted,  // apply the filter
    kRejected,  // do nothing; show `message` if there is one
    kAskFirst,  // show the question in `message`; apply the filter only when the answer is Yes
};

struct FilterFileResult {
    FilterFileOutcome outcome = FilterFileOutcome::kRejected;
    std::optional<FilterFileMessage> message;
};

// Reads the file named by filter.path into the filter. Every field but `path` is reset first and
// then filled as far as parsing got. A file that cannot be read, or whose first line does not end,
// is rejected without a message; every other fault comes with its message. A "CoeffSum" border
// becomes border 0 with divBy 0 (division by the coefficients inside the image).
FilterFileResult ParseLinearFilterFile(LinearFilter& filter);

// The same for the file's bytes already in memory.
FilterFileResult ParseLinearFilterText(std::string_view fileBytes, LinearFilter& filter);

// Files larger than this are refused unread: no sensible filter comes near it.
inline constexpr size_t kMaxFilterFileBytes = size_t{256} << 20;

}  // namespace tarkemo
