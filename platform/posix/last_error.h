#pragma once

#include <cstdint>
#include <string>

// Linux's error numbers translated once, at the boundary, into the codes GetLastError reports
// (platform::error_code).
namespace platform::posix {

// The code of an errno value: accessDenied for EACCES and EPERM; pathNotFound for ENOENT,
// ENOTDIR and ELOOP (a folder on the way is missing or no folder); notReady for ENOMEDIUM;
// writeProtect for EROFS; notSupported for EOPNOTSUPP (the file system cannot do it); success
// for 0; genFailure for the rest (EIO, a share that went away, ...).
std::uint32_t errorCodeOf(int error);

// The code for a file or folder at path (absolute) that could not be examined, asked of the
// system afresh: fileNotFound when its folder is there but it is not, as Windows tells a missing
// name from a missing folder (pathNotFound); accessDenied when it is there, or a folder on the
// way may not be searched; errorCodeOf's code for any other reason.
std::uint32_t unreachableEntryCode(const std::string& path);

}  // namespace platform::posix
