#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/posix/mount_table.h"

namespace platform::posix {

// What the kernel tells about the block device a mounted file system lives on.
struct BlockDevice {
    enum class Kind { disk, loop, floppy, optical };

    std::uint64_t number = 0;  // its device number (dev_t); 0 for an image a FUSE driver opened
    std::string node;          // its /dev path (or image file), for reading its superblock; may
                               // not be readable
    Kind kind = Kind::disk;
    bool removable = false;  // the kernel's removable flag of the whole disk
    bool readOnly = false;   // the device itself is read-only (a loop over a read-only file)
    std::uint32_t logicalSectorSize = 512;  // of the whole disk
};

// The block device under entry's file system, looked up in sysfs: the device of the entry's
// device number, or, for file systems that carry an anonymous number (btrfs), the device node
// named as its source. A partition reports its whole disk's removable flag and sector size. A
// "fuse" mount of an image file is taken as a loop device's image without the loop device.
// Returns nullopt for file systems without a block device (tmpfs, nfs) and for devices that
// sysfs does not list.
std::optional<BlockDevice> findBlockDevice(const MountEntry& entry);

}  // namespace platform::posix
