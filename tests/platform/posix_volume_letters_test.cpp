// The Linux backend's drive letters while real volumes come and go: tmpfs mounts, binds and loop
// images in a scratch folder under /mnt. Needs root; elsewhere the tests skip and say why.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/real_volumes.h"
#include "tests/platform/scratch_volumes.h"

namespace {

using namespace real_volumes;
using scratch::letterIn;
using scratch::letterOf;

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
    const char letter = letterIn(platform_, volume);
    ASSERT_NE(letter, '\0') << volume << " got no letter";
    const DriveTypes before = driveTypesOf(platform_);

    const scratch::Mount whole(volume, folder_->makeFolder("whole"), "", MS_BIND);
    const scratch::Mount inside(volume + "/inside", folder_->makeFolder("inside"), "", MS_BIND);
    const std::string scratchDirectory = folder_->makeFolder("directory");
    const scratch::Mount directory(scratchDirectory, folder_->makeFolder("directory-bind"), "",
                                   MS_BIND);

    EXPECT_EQ(driveTypesOf(platform_), before);
    EXPECT_EQ(letterIn(platform_, volume), letter);
}

TEST_F(RealVolumes, MountOverAVolumeTakesItsLetterUntilUnmounted) {
    const std::string target = folder_->makeFolder("stacked");
    const scratch::Mount lower("volscope-lower", target, "tmpfs", 0, "size=1m");
    const char letter = letterIn(platform_, target);
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

}  // namespace
