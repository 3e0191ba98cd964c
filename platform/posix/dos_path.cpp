#include "platform/posix/dos_path.h"

#include "platform/dos_path.h"
#include "platform/posix/dos_names.h"

namespace platform::posix {

std::optional<UnixPath> mapDosPath(std::string_view dosPath, const DriveTable& drives) {
    const std::optional<DosPath> split = splitDosPath(dosPath);
    if (!split || !drives[split->drive]) return std::nullopt;
    UnixPath result;
    result.drive = split->drive;
    result.isRoot = split->names.empty();
    result.path = drives[split->drive]->mount.target;
    for (const std::string_view name : split->names) {
        const std::optional<std::string> unixName = unixNameOf(name);
        if (!unixName) return std::nullopt;
        if (!result.path.ends_with('/')) result.path += '/';
        result.path += *unixName;
    }
    return result;
}

}  // namespace platform::posix
