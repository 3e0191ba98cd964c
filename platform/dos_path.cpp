#include "platform/dos_path.h"

#include <algorithm>

namespace platform {

std::optional<DosPath> splitDosPath(std::string_view path) {
    if (path.size() < 3 || path[1] != ':' || !isPathSeparator(path[2])) return std::nullopt;
    const std::optional<std::size_t> drive = letterIndex(path[0]);
    if (!drive) return std::nullopt;
    DosPath split;
    split.drive = *drive;
    std::string_view rest = path.substr(3);
    while (!rest.empty()) {
        const auto end = std::find_if(rest.begin(), rest.end(), isPathSeparator);
        const std::string_view name(rest.begin(), end);
        rest.remove_prefix(name.size() + (end == rest.end() ? 0 : 1));
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            // The root is the top: above it lies another volume, or none.
            if (split.names.empty()) return std::nullopt;
            split.names.pop_back();
            continue;
        }
        split.names.push_back(name);
    }
    return split;
}

FindTarget findTargetOf(std::string_view fileName) {
    const std::size_t separator = fileName.find_last_of("\\/");
    if (separator == std::string_view::npos) return {};
    const std::string_view last = fileName.substr(separator + 1);
    if (last == "*" || last == "*.*")
        return {FindTarget::Kind::folder, fileName.substr(0, separator + 1)};
    if (last.empty() || last.find_first_of("*?") != std::string_view::npos) return {};
    return {FindTarget::Kind::oneEntry, fileName};
}

}  // namespace platform
