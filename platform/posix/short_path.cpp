#include "platform/posix/short_path.h"

#include <sys/stat.h>

#include <utility>

#include "platform/dos_path.h"
#include "platform/posix/attribute_store.h"
#include "platform/posix/dos_names.h"

namespace platform::posix {

std::string composeShortPath(std::string_view longPath,
                             const std::vector<std::optional<std::string>>& shortNames) {
    const std::optional<DosPath> split = splitDosPath(longPath);
    bool replaced = false;
    for (std::size_t i = 0; split && i < split->names.size() && i < shortNames.size(); ++i)
        replaced = replaced || shortNames[i].has_value();
    if (!replaced) return std::string(longPath);
    std::string path{longPath[0], ':'};
    for (std::size_t i = 0; i < split->names.size(); ++i) {
        path += '\\';
        const bool has = i < shortNames.size() && shortNames[i];
        path += has ? std::string_view(*shortNames[i]) : split->names[i];
    }
    return path;
}

std::optional<std::string> shortPathOf(std::string_view longPath, const std::string& driveRoot,
                                       const std::string& volumeRoot, AttributeHome home) {
    const std::optional<DosPath> split = splitDosPath(longPath);
    if (!split) return std::nullopt;
    // Each name with the path of the folder it is in.
    std::vector<std::pair<std::string, std::string>> names;
    std::string path = driveRoot;
    for (const std::string_view dosName : split->names) {
        std::optional<std::string> name = unixNameOf(dosName);
        if (!name) return std::nullopt;
        std::string folder = path;
        if (!path.ends_with('/')) path += '/';
        path += *name;
        names.emplace_back(std::move(folder), std::move(*name));
    }
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return std::nullopt;

    const std::unique_ptr<AttributeStore> store = makeAttributeStore(home);
    const std::string volumePrefix = volumeRoot.ends_with('/') ? volumeRoot : volumeRoot + "/";
    std::vector<std::optional<std::string>> shortNames;
    for (const auto& [folder, name] : names) {
        const std::string child = folder.ends_with('/') ? folder + name : folder + "/" + name;
        std::optional<std::string> shortName;
        if (child.starts_with(volumePrefix)) shortName = store->shortName(folder, name);
        shortNames.push_back(shortName ? std::optional(dosNameOf(*shortName)) : std::nullopt);
    }
    return composeShortPath(longPath, shortNames);
}

}  // namespace platform::posix
