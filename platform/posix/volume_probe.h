#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/disk_geometry.h"
#include "platform/posix/drive_letters.h"

namespace platform::posix {

// What GetVolumeInformationA reports of a volume.
struct VolumeInformation {
    // As the file system keeps it, whole (line breaks included), its bytes that are not UTF-8
    // escaped by dosTextOf as names' are; empty where there is none.
    std::string label;
    std::uint32_t serialNumber = 0;  // 0 where the file system has none
    std::uint32_t maxComponentLength = 0;
    std::uint32_t fileSystemFlags = 0;  // fs_flags bits
    std::string fileSystem;             // the kernel's name of the type, through dosTextOf
};

// Examines the volume now. The label comes from the file system through its mount point
// (FS_IOC_GETFSLABEL), else from udev's /dev/disk/by-label, else from the superblock read with
// libblkid where the device is readable. The serial number comes from the file system's UUID
// (libblkid, else /dev/disk/by-uuid, else FS_IOC_GETFSUUID) and is 0 for volumes without a block
// device. The component length is statvfs's f_namemax, and 255 characters for FAT and exFAT,
// whose f_namemax counts bytes. Unix file systems are case-sensitive and case-preserving, FAT
// and exFAT case-preserving only; a read-only mount adds readOnlyVolume.
// Returns nullopt when statvfs fails on the mount point.
std::optional<VolumeInformation> probeVolumeInformation(const Volume& volume);

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
