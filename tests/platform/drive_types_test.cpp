// The drive type of a lettered volume, from its mount and block device.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/drive_letters.h"
#include "tests/platform/mount_rows.h"

namespace {

using namespace mount_rows;
namespace drive_type = platform::drive_type;

struct TypeCase {
    const char* name;
    MountRow mount;
    std::uint32_t type;
};

void PrintTo(const TypeCase& row, std::ostream* out) {
    *out << row.name;
}

const TypeCase typeCases[] = {
    {"FixedDiskIsFixed",
     {.target = "/home", .fsType = "ext4", .device = disk()},
     drive_type::fixed},
    {"LoopImageIsFixed",
     {.target = "/mnt/i", .fsType = "ext4", .device = loop()},
     drive_type::fixed},
    {"RemovableDiskIsRemovable",
     {.target = "/media/usb", .fsType = "vfat", .device = disk(true)},
     drive_type::removable},
    {"FloppyIsRemovable",
     {.target = "/media/fd", .fsType = "vfat", .device = floppy()},
     drive_type::removable},
    {"Iso9660IsCdrom",
     {.target = "/media/cd", .fsType = "iso9660", .device = optical()},
     drive_type::cdrom},
    {"UdfIsCdrom",
     {.target = "/media/dvd", .fsType = "udf", .device = optical()},
     drive_type::cdrom},
    {"AnyFileSystemOnAnOpticalDriveIsCdrom",
     {.target = "/media/cd", .fsType = "hfsplus", .device = optical()},
     drive_type::cdrom},
    {"Iso9660ImageOnALoopDeviceIsCdrom",
     {.target = "/mnt/iso", .fsType = "iso9660", .device = loop()},
     drive_type::cdrom},
    {"NfsIsRemote", {.target = "/home/shared", .fsType = "nfs4"}, drive_type::remote},
    {"CifsIsRemote", {.target = "/srv/share", .fsType = "cifs"}, drive_type::remote},
    {"Smb3IsRemote", {.target = "/srv/share", .fsType = "smb3"}, drive_type::remote},
    {"SshfsIsRemote", {.target = "/home/a/remote", .fsType = "fuse.sshfs"}, drive_type::remote},
    {"TmpfsIsRamDisk", {.target = "/mnt/ram", .fsType = "tmpfs"}, drive_type::ramdisk},
    {"RamfsIsRamDisk", {.target = "/mnt/ram", .fsType = "ramfs"}, drive_type::ramdisk},
    {"FileSystemWithoutDeviceIsUnknown",
     {.target = "/mnt/cloud", .fsType = "fuse.rclone"},
     drive_type::unknown},
    {"OverlayRootIsUnknown", {.target = "/", .fsType = "overlay"}, drive_type::unknown},
};

class DriveTypes : public testing::TestWithParam<TypeCase> {};

TEST_P(DriveTypes, ClassifiesTheVolume) {
    const std::vector<Volume> volumes = toVolumes({GetParam().mount});
    EXPECT_EQ(platform::posix::driveType(volumes.at(0)), GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Rows, DriveTypes, testing::ValuesIn(typeCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
