#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/posix/media_kind.h"

namespace platform::posix {

// Gives the file or folder at path (absolute) the attribute word `attributes` as the store of
// its volume (makeAttributeStore(home)) writes it, on the volume mounted at volumeRoot. name is
// the Linux name the file is listed under ("." for a drive's root).
//
// The file is opened once and every step is made on what was opened, so that a rename meanwhile
// changes nothing else. A symbolic link is followed, as Windows follows a link to a file, but only
// to a file or folder on volumeRoot's own file system: a link leading off the volume is refused,
// so that a link on a drive never changes a file elsewhere. Devices, pipes and sockets are
// refused.
//
// Returns error_code::success; or, leaving the file exactly as it was, why not: what
// unreachableEntryCode says when it cannot be opened, accessDenied for a link off the volume or
// something that is neither file nor folder, writeProtect when the volume is mounted read-only,
// and the store's code (AttributeStore::write) otherwise, notReady when a stop has been requested
// on givenUp before the first change.
std::uint32_t writeAttributes(const std::string& path, std::string_view name,
                              const std::string& volumeRoot, std::uint32_t attributes,
                              AttributeHome home, const std::stop_token& givenUp = {});

}  // namespace platform::posix
