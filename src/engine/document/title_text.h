// The caption of the main window: the product name, and for a document its file name or
// "Unbenannt" with a mark while it holds unsaved changes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarkemo {

inline constexpr const char* kProductName = "Tarkemo";
inline constexpr const char* kUntitledName = "Unbenannt";
inline constexpr const char* kModifiedMark = "  (geändert)";

// "Tarkemo - <path>" (or "Tarkemo - Unbenannt" for an empty path), plus "  (geändert)" when
// `modified`. Without a path the caption is "Tarkemo" alone and `modified` is ignored.
std::string TitleText(std::optional<std::string_view> path, bool modified);

}  // namespace tarkemo
