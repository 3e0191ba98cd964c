#include "platform/posix/dos_path.h"

#include <vector>

#include "platform/posix/dos_names.h"

namespace platform::posix {

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::optional<std::size_t> letterIndex(char letter) {
    if (letter >= 'A' && letter <= 'Z') return static_cast<std::size_t>(letter - 'A');
    if (letter >= 'a' && letter <= 'z') return static_cast<std::size_t>(letter - 'a');
    return std::nullopt;
}

}  // namespace

std::optional<UnixPath> mapDosPath(std::string_view dosPath, const DriveTable& drives) {
    if (dosPath.size() < 3 || dosPath[1] != ':' || !isSeparator(dosPath[2])) return std::nullopt;
    const std::optional<std::size_t> drive = letterIndex(dosPath[0]);
    if (!drive || !drives[*drive]) return std::nullopt;

    std::vector<std::string> names;
    std::string_view rest = dosPath.substr(3);
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !isSeparator(rest[end])) ++end;
        const std::string_view name = rest.substr(0, end);
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            // The mount point is the top: above it lies another volume, or none.
            if (names.empty()) return std::nullopt;
            names.pop_back();
            continue;
        }
        std::optional<std::string> unixName = unixNameOf(name);
        if (!unixName) return std::nullopt;
        names.push_back(std::move(*unixName));
    }

    UnixPath result;
    result.drive = *drive;
    result.isRoot = names.empty();
    result.path = drives[*drive]->mount.target;
    for (const std::string& name : names) {
        if (!result.path.ends_with('/')) result.path += '/';
        result.path += name;
    }
    return result;
}

std::optional<std::string_view> listedFolder(std::string_view fileName) {
    const std::size_t separator = fileName.find_last_of("\\/");
    if (separator == std::string_view::npos) return std::nullopt;
    const std::string_view pattern = fileName.substr(separator + 1);
    if (pattern != "*" && pattern != "*.*") return std::nullopt;
    return fileName.substr(0, separator + 1);
}

}  // namespace platform::posix
