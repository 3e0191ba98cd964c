// The Linux backend on real volumes: loop devices over images and tmpfs mounts in a scratch
// folder under /mnt. Needs root; elsewhere the tests skip and say why.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"

namespace {

namespace drive_type = platform::drive_type;
namespace fs_flags = platform::fs_flags;
using scratch::letterIn;
using scratch::letterOf;

using DriveTypes = std::array<std::uint32_t, 26>;

constexpr std::uint32_t unixFlags = fs_flags::caseSensitiveSearch | fs_flags::casePreservedNames;
constexpr std::uint64_t mebibyte = 1024 * 1024;

std::string rootOf(char letter) {
    return {letter, ':', '\\'};
}

// What the backend reports for one drive.
struct Figures {
    std::uint32_t type = 0;
    bool hasInformation = false;
    std::string label;
    std::uint32_t serialNumber = 0;
    std::uint32_t maxComponentLength = 0;
    std::uint32_t fileSystemFlags = 0;
    std::string fileSystem;
    bool hasGeometry = false;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

Figures figuresOf(platform::Platform& platform, char letter) {
    const std::string root = rootOf(letter);
    Figures figures;
    figures.type = platform.GetDriveTypeA(root.c_str());
    char label[261] = {};
    char fileSystem[261] = {};
    figures.hasInformation = platform.GetVolumeInformationA(
        root.c_str(), label, sizeof label, &figures.serialNumber, &figures.maxComponentLength,
        &figures.fileSystemFlags, fileSystem, sizeof fileSystem);
    figures.label = label;
    figures.fileSystem = fileSystem;
    figures.hasGeometry = platform.GetDiskFreeSpaceA(root.c_str(), &figures.sectorsPerCluster,
                                                     &figures.bytesPerSector, &figures.freeClusters,
                                                     &figures.totalClusters);
    return figures;
}

DriveTypes driveTypesOf(platform::Platform& platform) {
    DriveTypes types{};
    for (std::size_t i = 0; i < types.size(); ++i)
        types[i] = platform.GetDriveTypeA(rootOf(static_cast<char>('A' + i)).c_str());
    return types;
}

// The letters from D: on that have no volume, in order.
std::vector<char> freeLetters(const DriveTypes& types) {
    std::vector<char> letters;
    for (std::size_t i = 3; i < types.size(); ++i) {
        if (types[i] == drive_type::noRootDir) letters.push_back(static_cast<char>('A' + i));
    }
    return letters;
}

DriveTypes with(DriveTypes types, char letter, std::uint32_t type) {
    types[static_cast<std::size_t>(letter - 'A')] = type;
    return types;
}

struct statvfs statvfsOf(const std::string& path) {
    struct statvfs status {};
    EXPECT_EQ(statvfs(path.c_str(), &status), 0) << path;
    return status;
}

// The geometry matches what statvfs says of the mount point now, on sectors of sectorSize.
void expectGeometryOf(const Figures& figures, const std::string& target, std::uint32_t sectorSize) {
    const struct statvfs now = statvfsOf(target);
    ASSERT_TRUE(figures.hasGeometry);
    EXPECT_EQ(figures.bytesPerSector, sectorSize);
    EXPECT_EQ(figures.sectorsPerCluster, now.f_frsize / sectorSize);
    EXPECT_EQ(figures.totalClusters, now.f_blocks);
    EXPECT_EQ(figures.freeClusters, now.f_bavail);
    EXPECT_EQ(
        std::uint64_t{figures.sectorsPerCluster} * figures.bytesPerSector * figures.totalClusters,
        std::uint64_t{now.f_frsize} * now.f_blocks);
}

class RealVolumes : public scratch::RealVolumeTest {
  protected:
    // Makes an image of size bytes and runs mkfs on it: mkfs followed by arguments and the image.
    std::string makeFileSystem(const std::string& name, std::uint64_t size,
                               std::vector<std::string> mkfs) {
        const std::string image = folder_->makeImage(name, size);
        mkfs.push_back(image);
        scratch::run(mkfs);
        return image;
    }
};

TEST_F(RealVolumes, Ext4OnFourKibSectorsReportsFourKibSectors) {
    const std::string image =
        makeFileSystem("ext4-4k.img", 16 * mebibyte, {"mkfs.ext4", "-q", "-F", "-b", "4096"});
    const scratch::LoopDevice loop(image, 4096);
    const std::string target = folder_->makeFolder("ext4-4k");
    const scratch::Mount mount(loop.path(), target, "ext4");

    const char letter = letterOf(target);
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

    const char letter = letterOf(target);
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
    const char letter = letterOf(target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    ASSERT_TRUE(figures.hasInformation);
    EXPECT_EQ(figures.label, "Caf\xEF\x83\xA9\nD\\isk");
}

TEST_F(RealVolumes, SizedTmpfsIsARamDiskWithoutLabelOrSerial) {
    const std::string target = folder_->makeFolder("ram");
    const scratch::Mount mount("volscope-ram", target, "tmpfs", 0, "size=4m");

    const char letter = letterOf(target);
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
        const char letter = letterOf(mounted);
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

    const char letter = letterOf(target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    ASSERT_TRUE(figures.hasInformation);
    EXPECT_EQ(figures.fileSystemFlags, unixFlags | fs_flags::readOnlyVolume);
}

TEST_F(RealVolumes, MountPointWithBlankTabAndBackslashIsFound) {
    const std::string target = folder_->makeFolder("my vol\twith\\escapes");
    const scratch::Mount mount("volscope-odd", target, "tmpfs", 0, "size=2m");

    const char letter = letterOf(target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const Figures figures = figuresOf(platform_, letter);
    EXPECT_EQ(figures.type, drive_type::ramdisk);
    EXPECT_TRUE(figures.hasInformation);
    expectGeometryOf(figures, target, 512);
}

TEST_F(RealVolumes, NewMountsTakeTheNextFreeLettersAndUnmountingFreesOnlyTheirs) {
    const DriveTypes before = driveTypesOf(platform_);
    const std::vector<char> free = freeLetters(before);
    if (free.size() < 2) GTEST_SKIP() << "fewer than two drive letters are free";
    const char first = free[0];
    const char second = free[1];

    scratch::Mount one("volscope-one", folder_->makeFolder("one"), "tmpfs", 0, "size=1m");
    EXPECT_EQ(driveTypesOf(platform_), with(before, first, drive_type::ramdisk));
    scratch::Mount two("volscope-two", folder_->makeFolder("two"), "tmpfs", 0, "size=2m");
    EXPECT_EQ(driveTypesOf(platform_),
              with(with(before, first, drive_type::ramdisk), second, drive_type::ramdisk));
    EXPECT_EQ(figuresOf(platform_, first).totalClusters, mebibyte / 4096);
    EXPECT_EQ(figuresOf(platform_, second).totalClusters, 2 * mebibyte / 4096);

    two.unmount();
    EXPECT_EQ(driveTypesOf(platform_), with(before, first, drive_type::ramdisk));
    EXPECT_EQ(figuresOf(platform_, first).totalClusters, mebibyte / 4096);
    EXPECT_FALSE(figuresOf(platform_, second).hasGeometry);

    const scratch::Mount three("volscope-three", folder_->makeFolder("three"), "tmpfs", 0,
                               "size=3m");
    EXPECT_EQ(figuresOf(platform_, second).totalClusters, 3 * mebibyte / 4096);

    one.unmount();
    EXPECT_FALSE(figuresOf(platform_, first).hasGeometry) << "the letter of a volume that went";
    EXPECT_EQ(figuresOf(platform_, second).totalClusters, 3 * mebibyte / 4096)
        << "the volumes after an unmounted one keep their letters";
}

// Two volumes, a and b, each with a same.txt. While the platform runs, b keeps its letter
// when a goes; a new volume and a remounted one take the lowest free letters.
TEST_F(RealVolumes, VolumesKeepTheirLettersWhileOthersComeAndGo) {
    const std::vector<char> free = freeLetters(driveTypesOf(platform_));
    if (free.size() < 3) GTEST_SKIP() << "fewer than three drive letters are free";
    const std::string targetA = folder_->makeFolder("a");
    const std::string targetB = folder_->makeFolder("b");
    std::optional<scratch::Mount> a(std::in_place, "volscope-a", targetA, "tmpfs", 0, "size=1m");
    const scratch::Mount b("volscope-b", targetB, "tmpfs", 0, "size=2m");
    for (const std::string& target : {targetA, targetB})
        std::ofstream(target + "/same.txt") << target;
    ASSERT_EQ(letterIn(platform_, targetA), free[0]);
    ASSERT_EQ(letterIn(platform_, targetB), free[1]);

    a->unmount();
    EXPECT_EQ(platform_.GetDriveTypeA(rootOf(free[0]).c_str()), drive_type::noRootDir);
    EXPECT_FALSE(figuresOf(platform_, free[0]).hasGeometry);
    EXPECT_EQ(letterIn(platform_, targetB), free[1]);
    EXPECT_EQ(figuresOf(platform_, free[1]).totalClusters, 2 * mebibyte / 4096);
    EXPECT_EQ(platform_.GetFileAttributesA((rootOf(free[0]) + "same.txt").c_str()),
              platform::Platform::invalidFileAttributes)
        << "a's file is gone with a's letter, and b's is not found in its place";
    EXPECT_EQ(letterOf(targetB), free[0]) << "only a platform starting now letters b anew";

    a.emplace("volscope-a2", targetA, "tmpfs", 0, "size=3m");
    EXPECT_EQ(letterIn(platform_, targetA), free[0]) << "remounted: the lowest free letter";
    const scratch::Mount c("volscope-c", folder_->makeFolder("c"), "tmpfs", 0, "size=1m");
    EXPECT_EQ(letterIn(platform_, c.target()), free[2]);
    EXPECT_EQ(letterIn(platform_, targetB), free[1]);
}

// As many volumes as there are free letters, and one more: the last gets none until a letter
// is freed, and then takes that one while every other volume keeps its own.
TEST_F(RealVolumes, FullAlphabetLettersTheWaitingVolumeWhenOneIsUnmounted) {
    const std::vector<char> free = freeLetters(driveTypesOf(platform_));
    if (free.size() < 2) GTEST_SKIP() << "fewer than two drive letters are free";
    std::vector<std::optional<scratch::Mount>> mounts(free.size() + 1);
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        mounts[i].emplace("volscope-full", folder_->makeFolder("full" + std::to_string(i)), "tmpfs",
                          0, "size=64k");
        platform_.GetDriveTypeA("C:\\");  // each call reads a changed table, as a program would
    }
    for (std::size_t i = 0; i < free.size(); ++i)
        ASSERT_EQ(letterIn(platform_, mounts[i]->target()), free[i]);
    const std::string waiting = mounts.back()->target();
    EXPECT_EQ(letterIn(platform_, waiting), '\0');

    const std::size_t middle = free.size() / 2;
    mounts[middle]->unmount();
    EXPECT_EQ(letterIn(platform_, waiting), free[middle]);
    for (std::size_t i = 0; i < free.size(); ++i) {
        if (i != middle) {
            EXPECT_EQ(letterIn(platform_, mounts[i]->target()), free[i]);
        }
    }
    for (auto mount = mounts.rbegin(); mount != mounts.rend(); ++mount) mount->reset();
}

TEST_F(RealVolumes, BindMountsGetNoLetterOfTheirOwn) {
    const std::string volume = folder_->makeFolder("volume");
    const scratch::Mount mount("volscope-bound", volume, "tmpfs", 0, "size=1m");
    std::filesystem::create_directory(volume + "/inside");
    const char letter = letterOf(volume);
    ASSERT_NE(letter, '\0') << volume << " got no letter";
    const DriveTypes before = driveTypesOf(platform_);

    const scratch::Mount whole(volume, folder_->makeFolder("whole"), "", MS_BIND);
    const scratch::Mount inside(volume + "/inside", folder_->makeFolder("inside"), "", MS_BIND);
    const std::string scratchDirectory = folder_->makeFolder("directory");
    const scratch::Mount directory(scratchDirectory, folder_->makeFolder("directory-bind"), "",
                                   MS_BIND);

    EXPECT_EQ(driveTypesOf(platform_), before);
    EXPECT_EQ(letterOf(volume), letter);
}

TEST_F(RealVolumes, MountOverAVolumeTakesItsLetterUntilUnmounted) {
    const std::string target = folder_->makeFolder("stacked");
    const scratch::Mount lower("volscope-lower", target, "tmpfs", 0, "size=1m");
    const char letter = letterOf(target);
    ASSERT_NE(letter, '\0') << target << " got no letter";
    const DriveTypes before = driveTypesOf(platform_);

    scratch::Mount upper("volscope-upper", target, "tmpfs", 0, "size=2m");
    EXPECT_EQ(driveTypesOf(platform_), before);
    EXPECT_EQ(figuresOf(platform_, letter).totalClusters, 2 * mebibyte / 4096);

    upper.unmount();
    EXPECT_EQ(figuresOf(platform_, letter).totalClusters, mebibyte / 4096);
}

TEST_F(RealVolumes, ReadOnlyLoopImageGetsNoLetter) {
    const std::string image =
        makeFileSystem("ro.img", 8 * mebibyte, {"mkfs.ext4", "-q", "-F", "-L", "ro image"});
    const scratch::LoopDevice loop(image, 512, true);
    const DriveTypes before = driveTypesOf(platform_);
    const std::string target = folder_->makeFolder("ro");
    const scratch::Mount mount(loop.path(), target, "ext4", MS_RDONLY);

    EXPECT_EQ(letterOf(target), '\0');
    EXPECT_EQ(driveTypesOf(platform_), before);
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
