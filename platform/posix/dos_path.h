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
// Photos/cat.jpg below D's mount point, "C:\" is "/". The letter may be of either case. As on
// Windows, "/" separates names as "\" does and empty names and "." are skipped; ".." goes up one
// name. Each name goes through unixNameOf, so a listed name reaches exactly the file it was
// listed for. Returns nullopt when the path does not start with a letter, ":" and "\" (or "/"),
// when the letter has no volume, for a name that unixNameOf rejects, and when ".." would climb
// above the drive's root.
std::optional<UnixPath> mapDosPath(std::string_view dosPath, const DriveTable& drives);

// The folder that FindFirstFileA's fileName lists: fileName without its last name when that is
// the pattern "*" or "*.*" ("D:\Photos\*" gives "D:\Photos\"). Returns nullopt for any other
// pattern and for a fileName without a separator.
std::optional<std::string_view> listedFolder(std::string_view fileName);

}  // namespace platform::posix
