#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::posix {

// The mount a file or folder lies on, from statx's mount ID: on kernels from 6.8 one that no
// later mount takes over; before, a reused ID is told apart by the device number where it differs.
struct MountIdentity {
    std::uint64_t mount = 0;   // the mount's ID, unique where the kernel keeps unique IDs
    std::uint64_t device = 0;  // the file system's device number
};

// The mount of what statx finds at (directory, path, flags), without asking the file system
// itself (a FUSE server need not answer). nullopt when statx fails.
std::optional<MountIdentity> mountIdentityOf(int directory, const char* path, int flags);

// The 32-bit volume number of a mount (GetFileInformationByHandle's): its ID and device mixed, so
// that where mount IDs are reused the device number still tells most new mounts apart.
std::uint32_t volumeNumberOf(const MountIdentity& identity);

// The name of a mount as GetVolumeNameForVolumeMountPointA gives it: "\\?\Volume{GUID}\", the
// GUID made of the mount's ID and its device number.
std::string volumeGuidPathOf(const MountIdentity& identity);

}  // namespace platform::posix
