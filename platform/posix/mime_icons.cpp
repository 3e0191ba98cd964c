#include "platform/posix/mime_icons.h"

#include <algorithm>

namespace platform::posix {

namespace {

void readPairs(std::string_view text, std::map<std::string, std::string, std::less<>>& pairs) {
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0 || colon + 1 == line.size()) continue;
        pairs.emplace(std::string(line.substr(0, colon)), std::string(line.substr(colon + 1)));
    }
}

void addName(std::vector<std::string>& names, std::string name) {
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(std::move(name));
}

}  // namespace

MimeIcons MimeIcons::parse(std::string_view icons, std::string_view genericIcons) {
    MimeIcons table;
    readPairs(icons, table.icons_);
    readPairs(genericIcons, table.genericIcons_);
    return table;
}

std::vector<std::string> MimeIcons::namesOf(std::string_view mimeType) const {
    std::vector<std::string> names;
    if (const auto icon = icons_.find(mimeType); icon != icons_.end()) addName(names, icon->second);
    const std::size_t slash = mimeType.find('/');
    if (slash != std::string_view::npos) {
        std::string name(mimeType);
        name[slash] = '-';
        addName(names, std::move(name));
    }
    if (const auto generic = genericIcons_.find(mimeType); generic != genericIcons_.end())
        addName(names, generic->second);
    else if (slash != std::string_view::npos && slash > 0)
        addName(names, std::string(mimeType.substr(0, slash)) + "-x-generic");
    return names;
}

std::vector<std::string> MimeIcons::unknownTypeNames() {
    return {"application-octet-stream", "unknown"};
}

}  // namespace platform::posix
