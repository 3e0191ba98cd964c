#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/media_kind.h"

namespace platform::posix {

// The DOS path longPath, taken apart as platform::splitDosPath does, with each of its names for
// which shortNames (one for each name, in order; missing at the end counts as none) holds an
// 8.3 name replaced by it: drive, ":\" and the names joined by "\". longPath itself, as it was
// given, when no name is replaced or the path does not split.
std::string composeShortPath(std::string_view longPath,
                             const std::vector<std::optional<std::string>>& shortNames);

// GetShortPathNameA's answer for the DOS path longPath of the drive mounted at driveRoot: the
// 8.3 names that the store of home gives for the names below volumeRoot, the mount point of the
// volume that holds the path (names on the volumes above it keep theirs), as composeShortPath
// puts them together; nullopt when nothing is at the path.
std::optional<std::string> shortPathOf(std::string_view longPath, const std::string& driveRoot,
                                       const std::string& volumeRoot, AttributeHome home);

}  // namespace platform::posix
