#include "platform/posix/last_error.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/platform.h"

namespace platform::posix {

std::uint32_t errorCodeOf(int error) {
    switch (error) {
        case 0:
            return error_code::success;
        case EACCES:
        case EPERM:
            return error_code::accessDenied;
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
            return error_code::pathNotFound;
        case ENOMEDIUM:
            return error_code::notReady;
        case EROFS:
            return error_code::writeProtect;
        case EOPNOTSUPP:
            return error_code::notSupported;
        default:
            return error_code::genFailure;
    }
}

std::uint32_t unreachableEntryCode(const std::string& path) {
    struct stat status {};
    // There, yet it could not be examined: what it leads to may not be searched.
    if (lstat(path.c_str(), &status) == 0) return error_code::accessDenied;
    if (errno != ENOENT) return errorCodeOf(errno);
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
    if (stat(folder.c_str(), &status) != 0) return errorCodeOf(errno);
    return S_ISDIR(status.st_mode) ? error_code::fileNotFound : error_code::pathNotFound;
}

}  // namespace platform::posix
