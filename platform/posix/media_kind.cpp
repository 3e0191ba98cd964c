#include "platform/posix/media_kind.h"

namespace platform::posix {

namespace {

// Any value of the field matches.
constexpr std::string_view any = "*";

struct Row {
    std::string_view kernelType;
    std::string_view superblockType;
    std::string_view version;
    std::string_view fileSystem;
    AttributeHome home;
    bool fatFamily;
};

constexpr AttributeHome unixHome = AttributeHome::unix;
constexpr AttributeHome ntfsHome = AttributeHome::ntfs;
constexpr AttributeHome fatHome = AttributeHome::fat;

// The first row that matches decides. The kernel's old read-only "ntfs" driver and ntfs3,
// which from Linux 6.9 also serves the name "ntfs", are both NTFS.
constexpr Row rows[] = {
    {"ntfs3", any, any, "NTFS", ntfsHome, false},
    {"ntfs", any, any, "NTFS", ntfsHome, false},
    {"fuseblk", "ntfs", any, "NTFS", ntfsHome, false},
    {"vfat", any, "FAT32", "FAT32", fatHome, true},
    {"vfat", any, any, "FAT", fatHome, true},
    {"msdos", any, "FAT32", "FAT32", fatHome, true},
    {"msdos", any, any, "FAT", fatHome, true},
    {"fuseblk", "vfat", "FAT32", "FAT32", fatHome, true},
    {"fuseblk", "vfat", any, "FAT", fatHome, true},
    {"exfat", any, any, "exFAT", fatHome, true},
    {"fuseblk", "exfat", any, "exFAT", fatHome, true},
    {"iso9660", any, any, "CDFS", unixHome, false},
    {"udf", any, any, "UDF", unixHome, false},
};

bool matches(std::string_view pattern, std::string_view value) {
    return pattern == any || pattern == value;
}

// A FUSE driver serves a device as "fuseblk", and an image file it opened itself as "fuse".
bool kernelTypeMatches(std::string_view pattern, std::string_view type) {
    return pattern == type || (pattern == "fuseblk" && type == "fuse");
}

}  // namespace

MediaKind mediaKindOf(std::string_view kernelType, std::string_view superblockType,
                      std::string_view superblockVersion) {
    for (const Row& row : rows) {
        if (kernelTypeMatches(row.kernelType, kernelType) &&
            matches(row.superblockType, superblockType) && matches(row.version, superblockVersion))
            return {std::string(row.fileSystem), row.home, row.fatFamily};
    }
    return {std::string(kernelType), AttributeHome::unix, false};
}

}  // namespace platform::posix
