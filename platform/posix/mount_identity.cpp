#include "platform/posix/mount_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>

// Kernels from 6.8 give each mount an ID that no later mount takes over; older ones give IDs
// that a new mount may reuse once the mount that had it is gone, and older headers lack the flag.
#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x00004000U
#endif

namespace platform::posix {

std::optional<MountIdentity> mountIdentityOf(int directory, const char* path, int flags) {
    flags |= AT_STATX_DONT_SYNC;
    struct statx status {};
    if (statx(directory, path, flags, STATX_MNT_ID_UNIQUE, &status) != 0) return std::nullopt;
    if ((status.stx_mask & STATX_MNT_ID_UNIQUE) == 0 &&
        (statx(directory, path, flags, STATX_MNT_ID, &status) != 0 ||
         (status.stx_mask & STATX_MNT_ID) == 0))
        return std::nullopt;
    return MountIdentity{status.stx_mnt_id, makedev(status.stx_dev_major, status.stx_dev_minor)};
}

std::uint32_t volumeNumberOf(const MountIdentity& identity) {
    const std::uint64_t mixed = identity.mount ^ (identity.device * 0x9E3779B97F4A7C15ULL);
    return static_cast<std::uint32_t>(mixed ^ (mixed >> 32));
}

std::string volumeGuidPathOf(const MountIdentity& identity) {
    char name[64];
    std::snprintf(name, sizeof name, "\\\\?\\Volume{%08x-%04x-%04x-%04x-%012llx}\\",
                  static_cast<unsigned>(identity.mount >> 32),
                  static_cast<unsigned>(identity.mount >> 16 & 0xFFFF),
                  static_cast<unsigned>(identity.mount & 0xFFFF),
                  static_cast<unsigned>(identity.device >> 48 & 0xFFFF),
                  static_cast<unsigned long long>(identity.device & 0xFFFFFFFFFFFFULL));
    return name;
}

}  // namespace platform::posix
