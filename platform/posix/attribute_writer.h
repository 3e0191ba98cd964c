#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

namespace platform::posix {

// Gives the file or folder at path (absolute) the attribute word `attributes` as
// planAttributeChange says, on the volume mounted at volumeRoot. name is the Linux name the file
// is listed under ("." for a drive's root), which planAttributeChange needs.
//
// The file is opened once and every step is made on what was opened, so that a rename meanwhile
// changes nothing else. A symbolic link is followed, as Windows follows a link to a file, but only
// to a file or folder on volumeRoot's own file system: a link leading off the volume is refused,
// so that a link on a drive never changes a file elsewhere. Devices, pipes and sockets are
// refused. user.DOSATTRIB is written while the file is writable: before the write permission is
// cleared, after it is given back; a file that stays read-only is given its owner's write
// permission for the moment of the write when the caller needs it.
//
// Returns false, leaving the file exactly as it was (a mode already changed is changed back, a
// value already written is written back or removed), when it cannot be opened, the volume is
// mounted read-only, the caller may not change it, or the file system keeps no user.* attributes
// (or the caller may not read the file's) and a change of hidden, system or archive needs them;
// and, changing nothing, when a stop has been requested on givenUp by then (it is looked at once
// the file has been read, before the first change).
bool writeAttributes(const std::string& path, std::string_view name, const std::string& volumeRoot,
                     std::uint32_t attributes, const std::stop_token& givenUp = {});

}  // namespace platform::posix
