#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/disk_geometry.h"
#include "platform/posix/drive_letters.h"
#include "platform/posix/media_kind.h"

namespace platform::posix {

// What GetVolumeInformationA reports of a volume.
struct VolumeInformation {
    // As the file system keeps it, whole (line breaks included), its bytes that are not UTF-8
    // escaped by dosTextOf as names' are; empty where there is none.
    std::string label;
    std::uint32_t serialNumber = 0;  // 0 where the file system has none
    std::uint32_t maxComponentLength = 0;
    std::uint32_t fileSystemFlags = 0;  // fs_flags bits
    std::string fileSystem;             // MediaKind::fileSystem, through dosTextOf
};

// Examines the volume now. The label comes from the file system through its mount point
// (FS_IOC_GETFSLABEL), else from udev's /dev/disk/by-label, else from the superblock read with
// libblkid where the device is readable. The serial number comes from the file system's UUID
// (libblkid, else /dev/disk/by-uuid, else FS_IOC_GETFSUUID) and is 0 for volumes without a block
// device. The component length is statvfs's f_namemax, and 255 characters for FAT and exFAT,
// whose f_namemax counts bytes. Unix file systems are case-sensitive and case-preserving, FAT
// and exFAT case-preserving only; a read-only mount adds readOnlyVolume. The file system is
// named as Windows names it (mediaKindOf), with the superblock's type and version where the
// kernel's type does not tell (fuseblk, vfat, msdos): from libblkid, else from udev's database
// (/run/udev/data), which every user may read.
// Returns nullopt when statvfs fails on the mount point.
std::optional<VolumeInformation> probeVolumeInformation(const Volume& volume);

// Where the volume mounted as `mount` keeps the attributes of its files: mediaKindOf's home, the
// superblock found as probeVolumeInformation finds it. Reads a device only for fuseblk, vfat
// and msdos. Never fails: a volume of unknown kind keeps them as Linux's own file systems do.
AttributeHome probeAttributeHome(const MountEntry& mount);

// The value of a property in udev's database entry of a device: the text after "E:KEY=" on the
// line of that key; empty where there is none.
std::string udevProperty(std::string_view database, std::string_view key);

// The volume's geometry now: statvfs of its mount point, on its disk's logical sector size
// (512 bytes for volumes without a disk). Returns nullopt when statvfs fails.
std::optional<DiskGeometry> probeDiskGeometry(const Volume& volume);

// The 32-bit volume serial number in a UUID as libblkid and udev spell it: FAT's and exFAT's
// "1A2B-3C4D" is 0x1A2B3C4D; NTFS's 16 hex digits give their low 32 bits (the last 8 digits);
// a standard 8-4-4-4-12 UUID gives its first 32 bits (the first 8 digits). Anything else,
// empty included, gives 0.
std::uint32_t serialFromUuid(std::string_view uuid);

// A file name of /dev/disk/by-label or /dev/disk/by-uuid with udev's "\xNN" escapes turned back
// into bytes. A backslash that does not start such an escape is kept.
std::string unescapeUdevName(std::string_view name);

}  // namespace platform::posix
