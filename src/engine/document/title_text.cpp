#include "document/title_text.h"

namespace tarkemo {

std::string TitleText(std::optional<std::string_view> path, bool modified) {
    std::string title = kProductName;
    if (!path) return title;
    title += " - ";
    title += path->empty() ? std::string_view(kUntitledName) : *path;
    if (modified) title += kModifiedMark;
    return title;
}

}  // namespace tarkemo
