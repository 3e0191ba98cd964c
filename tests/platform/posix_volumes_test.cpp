// The Linux backend's figures of real volumes: loop devices over images and tmpfs mounts in a
// scratch folder under /mnt. Needs root; elsewhere the tests skip and say why.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/real_volumes.h"
#include "tests/platform/scratch_volumes.h"

namespace {

using namespace real_volumes;
using scratch::letterIn;

TEST_F(RealVolumes, Ext4OnFourKibSectorsReportsFourKibSectors) {
    const std::string image =
        makeFileSystem("ext4-4k.img", 16 * mebibyte, {"mkfs.ext4", "-q", "-F", "-b", "4096"});
    const scratch::LoopDevice loop(image, 4096);
    const std::string target = folder_->makeFolder("ext4-4k");
    const scratch::Mount mount(loop.path(), target, "ext4");

    const char letter = letterIn(platform_, target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    EXPECT_EQ(figures.sectorsPerCluster, 1u);
    expectGeometryOf(figures, target, 4096);
}

// A file system made on a loop device with a known label (blanks kept) and UUID.
struct FileSystemRow {
    const char* name;
    const char* tool;  // the mkfs program, also the test's reason to skip when missing
    std::uint64_t size;
    std::vector<std::string> mkfsArguments;  // between the program and the image
    std::uint32_t sectorSize;
    const char* type;
    const char* label;
    std::uint32_t serialNumber;
    std::uint32_t sectorsPerCluster;  // 0: not pinned
    bool checkNameLength;
};

class RealFileSystems : public RealVolumes, public ::testing::WithParamInterface<FileSystemRow> {};

TEST_P(RealFileSystems, ReportItsLabelSerialAndGeometry) {
    const FileSystemRow& row = GetParam();
    if (!scratch::hasTool(row.tool)) GTEST_SKIP() << row.tool << " is missing";
    std::vector<std::string> mkfs{row.tool};
    mkfs.insert(mkfs.end(), row.mkfsArguments.begin(), row.mkfsArguments.end());
    const std::string image = makeFileSystem(std::string(row.name) + ".img", row.size, mkfs);
    const scratch::LoopDevice loop(image, row.sectorSize);
    const std::string target = folder_->makeFolder(row.name);
    std::optional<scratch::Mount> mount;
    try {
        mount.emplace(loop.path(), target, row.type);
    } catch (const scratch::UnsupportedFileSystem& error) {
        GTEST_SKIP() << error.what();
    }

    const char letter = letterIn(platform_, target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    EXPECT_EQ(figures.type, drive_type::fixed);
    ASSERT_TRUE(figures.hasInformation);
    EXPECT_EQ(figures.label, row.label);
    EXPECT_EQ(figures.serialNumber, row.serialNumber);
    if (row.checkNameLength) {
        EXPECT_EQ(figures.maxComponentLength, statvfsOf(target).f_namemax);
    }
    EXPECT_EQ(figures.fileSystemFlags, unixFlags);
    EXPECT_EQ(figures.fileSystem, row.type);
    if (row.sectorsPerCluster != 0) {
        EXPECT_EQ(figures.sectorsPerCluster, row.sectorsPerCluster);
    }
    expectGeometryOf(figures, target, row.sectorSize);
}

// mkfs.xfs refuses file systems under 300 MiB; the images stay sparse. btrfs mounts carry an
// anonymous device number: the disk is found through the source.
INSTANTIATE_TEST_SUITE_P(
    Rows, RealFileSystems,
    ::testing::Values(
        FileSystemRow{"ext4",
                      "mkfs.ext4",
                      16 * mebibyte,
                      {"-q", "-F", "-b", "1024", "-L", "  Test Vol  ", "-U",
                       "1a2b3c4d-5e6f-4a1b-8c2d-3e4f5a6b7c8d"},
                      512,
                      "ext4",
                      "  Test Vol  ",
                      0x1A2B3C4DU,
                      2,
                      true},
        FileSystemRow{"xfs",
                      "mkfs.xfs",
                      300 * mebibyte,
                      {"-q", "-L", "xfs vol", "-m", "uuid=fedcba98-7654-4321-8fed-cba987654321"},
                      512,
                      "xfs",
                      "xfs vol",
                      0xFEDCBA98U,
                      0,
                      true},
        FileSystemRow{"btrfs",
                      "mkfs.btrfs",
                      128 * mebibyte,
                      {"-q", "-L", " Btrfs Vol ", "-U", "0badcafe-1234-4321-8765-0123456789ab"},
                      4096,
                      "btrfs",
                      " Btrfs Vol ",
                      0x0BADCAFEU,
                      0,
                      false}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

// A label may hold any byte: it comes whole, line break included, its Latin-1 byte escaped as
// names' are (U+F0E9), and its "\" kept.
TEST_F(RealVolumes, LabelWithALineBreakAndAByteThatIsNoUtf8ComesWhole) {
    const std::string image = makeFileSystem("label.img", 16 * mebibyte,
                                             {"mkfs.ext4", "-q", "-F", "-L", "Caf\xE9\nD\\isk"});
    const scratch::LoopDevice loop(image, 512);
    const std::string target = folder_->makeFolder("label");
    const scratch::Mount mount(loop.path(), target, "ext4");
    const char letter = letterIn(platform_, target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    ASSERT_TRUE(figures.hasInformation);
    EXPECT_EQ(figures.label, "Caf\xEF\x83\xA9\nD\\isk");
}

TEST_F(RealVolumes, SizedTmpfsIsARamDiskWithoutLabelOrSerial) {
    const std::string target = folder_->makeFolder("ram");
    const scratch::Mount mount("volscope-ram", target, "tmpfs", 0, "size=4m");

    const char letter = letterIn(platform_, target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    EXPECT_EQ(figures.type, drive_type::ramdisk);
    ASSERT_TRUE(figures.hasInformation);
    EXPECT_EQ(figures.label, "");
    EXPECT_EQ(figures.serialNumber, 0u);
    EXPECT_EQ(figures.maxComponentLength, statvfsOf(target).f_namemax);
    EXPECT_EQ(figures.fileSystemFlags, unixFlags);
    EXPECT_EQ(figures.fileSystem, "tmpfs");
    expectGeometryOf(figures, target, 512);
    EXPECT_EQ(
        std::uint64_t{figures.sectorsPerCluster} * figures.bytesPerSector * figures.totalClusters,
        4 * mebibyte);
}

// Large NAS volumes are common: a 100 TiB tmpfs (sparse: it takes no room), and the same seen
// through FUSE, which reports the size as its program says.
TEST_F(RealVolumes, HundredTebibyteVolumeKeepsItsSizeInLargerClusters) {
    constexpr std::uint64_t hundredTebibytes = 100ULL << 40;
    const std::string target = folder_->makeFolder("huge");
    const scratch::Mount mount("volscope-huge", target, "tmpfs", 0, "size=100t");
    std::vector<std::string> targets = {target};
    std::optional<scratch::FuseMount> fuse;
    if (scratch::hasTool("bindfs")) {
        targets.push_back(folder_->makeFolder("huge-fuse"));
        fuse.emplace(
            std::vector<std::string>{"bindfs", "-o", "subtype=bindfs", target, targets.back()},
            targets.back());
    } else {
        std::printf("bindfs is missing: the FUSE volume is not tried\n");
    }
    for (const std::string& mounted : targets) {
        SCOPED_TRACE(mounted);
        const char letter = letterIn(platform_, mounted);
        ASSERT_NE(letter, '\0') << mounted << " got no letter";
        const Figures figures = figuresOf(platform_, letter);
        ASSERT_TRUE(figures.hasGeometry);
        EXPECT_EQ(figures.bytesPerSector, 512u);
        EXPECT_EQ(figures.sectorsPerCluster, 64u) << "4 KiB blocks, eight to a cluster";
        EXPECT_EQ(figures.totalClusters, 100u << 25);
        EXPECT_EQ(std::uint64_t{figures.sectorsPerCluster} * figures.bytesPerSector *
                      figures.totalClusters,
                  hundredTebibytes);
        EXPECT_LE(figures.freeClusters, figures.totalClusters);
    }
}

TEST_F(RealVolumes, ReadOnlyMountIsAReadOnlyVolume) {
    const std::string target = folder_->makeFolder("ro-ram");
    const scratch::Mount mount("volscope-ro", target, "tmpfs", MS_RDONLY, "size=1m");

    const char letter = letterIn(platform_, target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    ASSERT_TRUE(figures.hasInformation);
    EXPECT_EQ(figures.fileSystemFlags, unixFlags | fs_flags::readOnlyVolume);
}

TEST_F(RealVolumes, MountPointWithBlankTabAndBackslashIsFound) {
    const std::string target = folder_->makeFolder("my vol\twith\\escapes");
    const scratch::Mount mount("volscope-odd", target, "tmpfs", 0, "size=2m");

    const char letter = letterIn(platform_, target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    EXPECT_EQ(figures.type, drive_type::ramdisk);
    EXPECT_TRUE(figures.hasInformation);
    expectGeometryOf(figures, target, 512);
}

// Needs no mounting: the root file system is C: wherever the tests run.
TEST(RootVolume, RootFileSystemIsC) {
    platform::PosixPlatform platform;
    const Figures figures = figuresOf(platform, 'C');
    const struct statvfs root = statvfsOf("/");
    EXPECT_NE(figures.type, drive_type::noRootDir);
    ASSERT_TRUE(figures.hasInformation);
    EXPECT_EQ(figures.maxComponentLength, root.f_namemax);
    ASSERT_TRUE(figures.hasGeometry);
    const std::uint64_t cluster = std::uint64_t{figures.sectorsPerCluster} * figures.bytesPerSector;
    EXPECT_EQ(figures.totalClusters, root.f_blocks * root.f_frsize / cluster)
        << "clusters grow rather than the count be cut";
}

}  // namespace
