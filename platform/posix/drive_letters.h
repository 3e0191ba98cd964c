#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/posix/block_device.h"
#include "platform/posix/mount_table.h"

namespace platform::posix {

// A mount with the block device under it, if any.
struct Volume {
    MountEntry mount;
    std::optional<BlockDevice> device;
};

// The volume behind each letter, A at index 0; empty where there is none.
using DriveTable = std::array<std::optional<Volume>, 26>;

// Gives letters to the volumes of a mount table, which lists them oldest first:
// - C: is the visible mount on "/".
// - A: and B: go to the first two floppy disks mounted; further ones are treated like any disk.
// - D: to Z: go, in table order, to the volumes a user wants to see: file systems on block
//   devices, network file systems, and, mounted under /mnt, /media or /run/media, RAM file
//   systems and other non-pseudo file systems. Never lettered: mounts under /proc, /sys, /dev,
//   /run (except /run/media), /boot and /efi; swap; pseudo file systems; read-only loop images;
//   binds of a subdirectory (a btrfs subvolume is no bind); mounts hidden by a later mount on
//   their mount point or above it; a file system that already has a letter. Volumes past Z get
//   none.
// Letters follow table order, so a mount keeps its letter while others are mounted after it,
// and the volumes after an unmounted one move down.
DriveTable assignDriveLetters(const std::vector<Volume>& volumes);

// The GetDriveTypeA code of a lettered volume: cdrom for iso9660, udf and anything on an
// optical drive; remote for libmount's network file systems; ramdisk for tmpfs and ramfs;
// removable or fixed by the disk's removable flag; unknown for the rest.
std::uint32_t driveType(const Volume& volume);

}  // namespace platform::posix
