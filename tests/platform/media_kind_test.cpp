#include "platform/posix/media_kind.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using platform::posix::AttributeHome;

struct KindCase {
    const char* name;
    const char* kernelType;
    const char* superblockType;
    const char* version;
    const char* fileSystem;
    AttributeHome home;
    bool fatFamily;
};

void PrintTo(const KindCase& row, std::ostream* out) {
    *out << row.name;
}

constexpr AttributeHome ntfs = AttributeHome::ntfs;
constexpr AttributeHome fat = AttributeHome::fat;
constexpr AttributeHome unix = AttributeHome::unix;

const KindCase kindCases[] = {
    {"Ntfs3", "ntfs3", "", "", "NTFS", ntfs, false},
    {"Ntfs3UnderTheOldName", "ntfs", "ntfs", "", "NTFS", ntfs, false},
    {"Ntfs3gIsKnownByItsSuperblock", "fuseblk", "ntfs", "", "NTFS", ntfs, false},
    {"Ntfs3gOnAnImageFileItself", "fuse", "ntfs", "", "NTFS", ntfs, false},
    {"FuseOverNothingKnown", "fuse", "", "", "fuse", unix, false},
    {"Fat32", "vfat", "vfat", "FAT32", "FAT32", fat, true},
    {"Fat16", "vfat", "vfat", "FAT16", "FAT", fat, true},
    {"FatOfUnknownVersion", "vfat", "", "", "FAT", fat, true},
    {"MsdosDriver", "msdos", "vfat", "FAT32", "FAT32", fat, true},
    {"FatThroughFuse", "fuseblk", "vfat", "FAT16", "FAT", fat, true},
    {"ExfatDriver", "exfat", "exfat", "1.0", "exFAT", fat, true},
    {"ExfatFuse", "fuseblk", "exfat", "1.0", "exFAT", fat, true},
    {"Iso9660", "iso9660", "", "", "CDFS", unix, false},
    {"Udf", "udf", "", "", "UDF", unix, false},
    {"FuseblkOfUnknownSuperblock", "fuseblk", "", "", "fuseblk", unix, false},
    {"Ext4", "ext4", "ext4", "1.0", "ext4", unix, false},
    {"Sshfs", "fuse.sshfs", "", "", "fuse.sshfs", unix, false},
};

class MediaKindOf : public testing::TestWithParam<KindCase> {};

TEST_P(MediaKindOf, NamesTheFileSystemAsWindowsDoesAndFindsItsAttributes) {
    const KindCase& row = GetParam();
    const platform::posix::MediaKind kind =
        platform::posix::mediaKindOf(row.kernelType, row.superblockType, row.version);
    EXPECT_EQ(kind.fileSystem, row.fileSystem);
    EXPECT_EQ(kind.home, row.home);
    EXPECT_EQ(kind.fatFamily, row.fatFamily);
}

INSTANTIATE_TEST_SUITE_P(Rows, MediaKindOf, testing::ValuesIn(kindCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
