#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/drive_letters.h"

namespace platform::posix {

// A DOS path resolved onto the Linux file tree.
struct UnixPath {
    std::size_t drive = 0;  // 0 for A
    std::string path;       // absolute: the drive's mount point and the names below it
    bool isRoot = false;    // the path names the drive's root
};

// Maps "X:\name\name" onto the mount point of X's volume in drives: "D:\Photos\cat.jpg" is
// Photos/cat.jpg below D's mount point, "C:\" is "/". The path is resolved as
// platform::splitDosPath does (either case of letter, "/" as "\", empty names and "." skipped, ".."
// up one name); each name left goes through unixNameOf, so a listed name reaches exactly the file
// it was listed for. Returns nullopt when splitDosPath does, when the letter has no volume, and for
// a name that unixNameOf rejects.
std::optional<UnixPath> mapDosPath(std::string_view dosPath, const DriveTable& drives);

}  // namespace platform::posix
