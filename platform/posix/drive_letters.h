#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
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

// Gives letters to the volumes of a mount table, which lists them oldest first, keeping those of
// `previous`, the table it gave before, as Windows keeps a volume's letter while it is mounted:
// - C: is the visible mount on "/".
// - A volume of `previous` that is still mounted and still wants a letter keeps its letter; the
//   letter of a volume that is gone becomes free, so that nothing meant for one volume reaches
//   another through a letter that moved. Still mounted: the same mount ID, device, mount point,
//   root, type and source, since the kernel may give a new mount the ID (and a RAM file system
//   the device number) of one just unmounted.
// - The other volumes that want a letter take, in table order, the lowest free one: the first
//   floppy disks A: or B:, everything else (further floppies too) D: to Z:. A volume with no
//   letter left gets none, and takes the next letter that is freed.
// The volumes that want a letter: file systems on block devices, network file systems, and,
// mounted under /mnt, /media or /run/media, RAM file systems and other non-pseudo file systems.
// Never lettered: mounts under /proc, /sys, /dev, /run (except /run/media), /boot and /efi;
// swap; pseudo file systems; read-only loop images; binds of a subdirectory (a btrfs subvolume is
// no bind); mounts hidden by a later mount on their mount point or above it; a file system that
// already has a letter. Without a previous table (at start-up) the letters follow table order.
DriveTable assignDriveLetters(const std::vector<Volume>& volumes, const DriveTable& previous = {});

// The mounts of a table that paths can reach: those that no later mount hides, in table order.
std::vector<MountEntry> visibleMounts(const std::vector<Volume>& volumes);

// The mount that holds the absolute path, by its name alone (symbolic links are not followed):
// of `visible`, the one with the longest mount point at or above path, the latest of equals.
// Null when none is.
const MountEntry* mountHolding(const std::vector<MountEntry>& visible, std::string_view path);

// The GetDriveTypeA code of a lettered volume: cdrom for iso9660, udf and anything on an
// optical drive; remote for libmount's network file systems; ramdisk for tmpfs and ramfs;
// removable or fixed by the disk's removable flag; unknown for the rest.
std::uint32_t driveType(const Volume& volume);

}  // namespace platform::posix
