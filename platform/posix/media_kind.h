#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

// Where a volume keeps the DOS attributes of its files, and so where they are read and written.
enum class AttributeHome {
    unix,  // the mode and user.DOSATTRIB, as Samba and Wine keep them on Linux's own file systems
    ntfs,  // NTFS's own attribute word, system.ntfs_attrib_be (ntfs-3g, and ntfs3 from Linux 6.2)
    fat,   // the attribute byte of FAT and exFAT, through FAT_IOCTL_GET_ATTRIBUTES and
           // FAT_IOCTL_SET_ATTRIBUTES where the driver answers them
};

// A volume's file system as Windows knows it, whichever Linux driver serves it.
struct MediaKind {
    // What GetVolumeInformationA names it: "NTFS", "FAT32", "FAT" (FAT12 and FAT16), "exFAT",
    // "CDFS" (ISO 9660), "UDF"; the kernel's name of the type for the file systems Windows does
    // not know ("ext4", "btrfs", "tmpfs", "nfs4", "fuse.sshfs").
    std::string fileSystem;
    AttributeHome home = AttributeHome::unix;
    // FAT12, FAT16, FAT32 or exFAT: names are case-insensitive, and f_namemax counts bytes.
    bool fatFamily = false;
};

// The kind of a volume from the kernel's name of its type (the mount table's: "ntfs3", "vfat",
// "fuseblk") and, where that is not enough, its device's superblock as libblkid names it: its
// type ("ntfs", "vfat", "exfat") and version ("FAT12", "FAT16", "FAT32"). A FUSE volume on a
// block device ("fuseblk") is known by its superblock alone; FAT by its version ("FAT" where
// the version is unknown). Empty superblock fields mean unknown. Never fails.
MediaKind mediaKindOf(std::string_view kernelType, std::string_view superblockType,
                      std::string_view superblockVersion);

}  // namespace platform::posix
