#include "platform/posix/drive_letters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/mount_rows.h"

namespace {

using namespace mount_rows;

const MountRow root{.target = "/", .fsType = "ext4", .device = disk()};

struct LetterCase {
    const char* name;
    std::vector<MountRow> mounts;
    std::map<char, std::string> letters;
};

// Failures name the row rather than dump its bytes.
void PrintTo(const LetterCase& row, std::ostream* out) {
    *out << row.name;
}

std::vector<MountRow> twentyFiveRamDisks() {
    std::vector<MountRow> rows{root};
    for (int i = 1; i <= 25; ++i)
        rows.push_back({.target = "/mnt/r" + std::to_string(i), .fsType = "tmpfs"});
    return rows;
}

std::map<char, std::string> firstTwentyThreeRamDisks() {
    std::map<char, std::string> letters{{'C', "/ ext4"}};
    for (int i = 1; i <= 23; ++i)
        letters[static_cast<char>('C' + i)] = "/mnt/r" + std::to_string(i) + " tmpfs";
    return letters;
}

const LetterCase letterCases[] = {
    {"EmptyTableHasNoLetters", {}, {}},
    {"RootIsC", {root}, {{'C', "/ ext4"}}},
    {"KernelAndRuntimeFileSystemsGetNoLetter",
     {root,
      {.target = "/proc", .fsType = "proc"},
      {.target = "/sys", .fsType = "sysfs"},
      {.target = "/dev", .fsType = "devtmpfs"},
      {.target = "/dev/pts", .fsType = "devpts"},
      {.target = "/dev/shm", .fsType = "tmpfs"},
      {.target = "/dev/mqueue", .fsType = "mqueue"},
      {.target = "/sys/fs/cgroup", .fsType = "cgroup2"},
      {.target = "/sys/fs/cgroup/cpu", .fsType = "cgroup"},
      {.target = "/sys/kernel/debug", .fsType = "debugfs"},
      {.target = "/proc/sys/fs/binfmt_misc", .fsType = "binfmt_misc"},
      {.target = "/run", .fsType = "tmpfs"},
      {.target = "/run/lock", .fsType = "tmpfs"},
      {.target = "/run/user/1000", .fsType = "tmpfs"}},
     {{'C', "/ ext4"}}},
    {"DisksUnderRunGetALetterOnlyUnderRunMedia",
     {root,
      {.target = "/run/initramfs/live", .fsType = "ext4", .device = disk()},
      {.target = "/run/mediator", .fsType = "ext4", .device = disk()},
      {.target = "/run/media/alice/USB STICK", .fsType = "vfat", .device = disk(true)}},
     {{'C', "/ ext4"}, {'D', "/run/media/alice/USB STICK vfat"}}},
    {"BootAndEfiPartitionsGetNoLetter",
     {root,
      {.target = "/boot", .fsType = "ext4", .device = disk()},
      {.target = "/boot/efi", .fsType = "vfat", .device = disk()},
      {.target = "/efi", .fsType = "vfat", .device = disk()},
      {.target = "/bootstrap", .fsType = "ext4", .device = disk()}},
     {{'C', "/ ext4"}, {'D', "/bootstrap ext4"}}},
    {"WithoutFloppiesAAndBStayEmpty",
     {root, {.target = "/mnt/usb", .fsType = "vfat", .device = disk(true)}},
     {{'C', "/ ext4"}, {'D', "/mnt/usb vfat"}}},
    {"FloppiesTakeAAndBThenJoinTheOthers",
     {root,
      {.target = "/media/floppy0", .fsType = "vfat", .device = floppy()},
      {.target = "/mnt/usb", .fsType = "vfat", .device = disk(true)},
      {.target = "/media/floppy1", .fsType = "msdos", .device = floppy()},
      {.target = "/media/floppy2", .fsType = "vfat", .device = floppy()}},
     {{'A', "/media/floppy0 vfat"},
      {'B', "/media/floppy1 msdos"},
      {'C', "/ ext4"},
      {'D', "/mnt/usb vfat"},
      {'E', "/media/floppy2 vfat"}}},
    {"RamFileSystemsGetALetterOnlyInUserPlaces",
     {root,
      {.target = "/tmp", .fsType = "tmpfs"},
      {.target = "/var/tmp", .fsType = "tmpfs"},
      {.target = "/dev/shm", .fsType = "tmpfs"},
      {.target = "/mnt/ram", .fsType = "tmpfs"},
      {.target = "/mnt2/ram", .fsType = "tmpfs"},
      {.target = "/media/ramfs", .fsType = "ramfs"},
      {.target = "/run/media/alice/scratch", .fsType = "tmpfs", .readOnly = true}},
     {{'C', "/ ext4"},
      {'D', "/mnt/ram tmpfs"},
      {'E', "/media/ramfs ramfs"},
      {'F', "/run/media/alice/scratch tmpfs"}}},
    {"ReadOnlyLoopImagesGetNoLetter",
     {root,
      {.target = "/snap/core22/1380", .fsType = "squashfs", .device = loop(), .readOnly = true},
      {.target = "/mnt/image", .fsType = "ext4", .device = loop()},
      {.target = "/mnt/ro-mount", .fsType = "ext4", .device = loop(), .readOnly = true},
      {.target = "/mnt/ro-device", .fsType = "ext4", .device = loop(true)},
      {.target = "/mnt/ro-disk", .fsType = "ext4", .device = disk(), .readOnly = true}},
     {{'C', "/ ext4"}, {'D', "/mnt/image ext4"}, {'E', "/mnt/ro-disk ext4"}}},
    {"SwapGetsNoLetter",
     {root, {.target = "none", .fsType = "swap", .device = disk()}},
     {{'C', "/ ext4"}}},
    {"NetworkFileSystemsGetALetterWhereverMounted",
     {root,
      {.target = "/home/shared", .fsType = "nfs4"},
      {.target = "/srv/share", .fsType = "cifs"},
      {.target = "/home/alice/remote", .fsType = "fuse.sshfs"},
      {.target = "/net/smb", .fsType = "smb3"}},
     {{'C', "/ ext4"},
      {'D', "/home/shared nfs4"},
      {'E', "/srv/share cifs"},
      {'F', "/home/alice/remote fuse.sshfs"},
      {'G', "/net/smb smb3"}}},
    {"DisksGetALetterWhereverMounted",
     {root,
      {.target = "/home", .fsType = "xfs", .device = disk()},
      {.target = "/media/alice/WIN", .fsType = "fuseblk", .device = disk(true)}},
     {{'C', "/ ext4"}, {'D', "/home xfs"}, {'E', "/media/alice/WIN fuseblk"}}},
    {"PseudoFileSystemsGetNoLetterEvenInUserPlaces",
     {root,
      {.target = "/mnt/merged", .fsType = "overlay"},
      {.target = "/media/auto", .fsType = "autofs"},
      {.target = "/mnt/fuse", .fsType = "fuse"}},
     {{'C', "/ ext4"}}},
    {"OtherFileSystemsGetALetterOnlyInUserPlaces",
     {root,
      {.target = "/home/alice/cloud", .fsType = "fuse.rclone"},
      {.target = "/tank", .fsType = "zfs"},
      {.target = "/mnt/cloud", .fsType = "fuse.rclone"}},
     {{'C', "/ ext4"}, {'D', "/mnt/cloud fuse.rclone"}}},
    {"OvermountedTargetLosesItsLetterToTheTopMount",
     {root,
      {.target = "/mnt/x", .fsType = "ext4", .device = disk()},
      {.target = "/mnt/x", .fsType = "tmpfs", .parent = 2}},
     {{'C', "/ ext4"}, {'D', "/mnt/x tmpfs"}}},
    {"MountAboveAVolumeHidesIt",
     {root,
      {.target = "/mnt/usb", .fsType = "vfat", .device = disk(true)},
      {.target = "/mnt", .fsType = "tmpfs"}},
     {{'C', "/ ext4"}, {'D', "/mnt tmpfs"}}},
    {"MountAtAPathSharingAPrefixHidesNothing",
     {root,
      {.target = "/mnt/usb", .fsType = "vfat", .device = disk(true)},
      {.target = "/mnt/usb2", .fsType = "vfat", .device = disk(true)}},
     {{'C', "/ ext4"}, {'D', "/mnt/usb vfat"}, {'E', "/mnt/usb2 vfat"}}},
    {"VolumeMountedOnALaterMountStaysVisible",
     {root,
      {.target = "/mnt", .fsType = "tmpfs"},
      {.target = "/mnt/usb", .fsType = "vfat", .device = disk(true), .parent = 2}},
     {{'C', "/ ext4"}, {'D', "/mnt tmpfs"}, {'E', "/mnt/usb vfat"}}},
    {"RootListedAfterItsChildrenIsStillC",
     {{.target = "/proc", .fsType = "proc", .parent = 3},
      {.target = "/mnt/usb", .fsType = "vfat", .device = disk(true), .parent = 3},
      root},
     {{'C', "/ ext4"}, {'D', "/mnt/usb vfat"}}},
    {"StackedRootLettersTheTopMount",
     {root, {.target = "/", .fsType = "overlay", .parent = 1}},
     {{'C', "/ overlay"}}},
    {"WithoutRootCStaysEmpty",
     {{.target = "/mnt/usb", .fsType = "vfat", .device = disk(true)}},
     {{'D', "/mnt/usb vfat"}}},
    {"SubdirectoryBindsGetNoLetter",
     {{.target = "/", .fsType = "overlay", .fileSystem = 7},
      {.target = "/etc/hosts",
       .fsType = "ext4",
       .device = disk(),
       .root = "/var/lib/docker/containers/abc/hosts"},
      {.target = "/mnt/data", .fsType = "ext4", .device = disk(), .root = "/data"}},
     {{'C', "/ overlay"}}},
    {"BtrfsSubvolumeIsAVolumeButABindInsideItIsNot",
     {root,
      {.target = "/mnt/pool",
       .fsType = "btrfs",
       .device = disk(),
       .root = "/@data",
       .fsOptions = "rw,space_cache=v2,subvolid=256,subvol=/@data"},
      {.target = "/mnt/inner",
       .fsType = "btrfs",
       .device = disk(),
       .root = "/@data/inner",
       .fsOptions = "rw,space_cache=v2,subvolid=256,subvol=/@data"}},
     {{'C', "/ ext4"}, {'D', "/mnt/pool btrfs"}}},
    {"FileSystemMountedTwiceGetsOneLetter",
     {{.target = "/", .fsType = "ext4", .device = disk(), .fileSystem = 7},
      {.target = "/mnt/a", .fsType = "ext4", .device = disk(), .fileSystem = 8},
      {.target = "/mnt/b", .fsType = "ext4", .device = disk(), .fileSystem = 8},
      {.target = "/mnt/root", .fsType = "ext4", .device = disk(), .fileSystem = 7}},
     {{'C', "/ ext4"}, {'D', "/mnt/a ext4"}}},
    {"ExcludedMountOfAFileSystemDoesNotTakeItsLetter",
     {root,
      {.target = "/boot", .fsType = "ext4", .device = disk(), .fileSystem = 8},
      {.target = "/mnt/boot", .fsType = "ext4", .device = disk(), .fileSystem = 8}},
     {{'C', "/ ext4"}, {'D', "/mnt/boot ext4"}}},
    {"LettersEndAtZ", twentyFiveRamDisks(), firstTwentyThreeRamDisks()},
};

class DriveLetters : public testing::TestWithParam<LetterCase> {};

TEST_P(DriveLetters, AssignsLettersByTheRules) {
    EXPECT_EQ(lettersOf(GetParam().mounts), GetParam().letters);
}

INSTANTIATE_TEST_SUITE_P(Rows, DriveLetters, testing::ValuesIn(letterCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Letters while the program runs: each table is read after the one before, with the letters it
// gave. Volumes are tmpfs mounts /mnt/<name> with the mount IDs the rows give.
struct StableCase {
    const char* name;
    std::vector<std::vector<MountRow>> tables;
    std::vector<std::map<char, std::string>> letters;  // after each table
};

void PrintTo(const StableCase& row, std::ostream* out) {
    *out << row.name;
}

MountRow ram(const std::string& name, int id) {
    return {.target = "/mnt/" + name, .fsType = "tmpfs", .id = id};
}

MountRow floppyAt(const std::string& name, int id) {
    return {.target = "/media/" + name, .fsType = "vfat", .device = floppy(), .id = id};
}

const MountRow stableRoot{.target = "/", .fsType = "ext4", .device = disk(), .id = 1};

std::vector<MountRow> ramDisks(int first, int last, int skipped = 0) {
    std::vector<MountRow> rows{stableRoot};
    for (int i = first; i <= last; ++i) {
        if (i != skipped) rows.push_back(ram("r" + std::to_string(i), 200 + i));
    }
    return rows;
}

std::map<char, std::string> ramLetters(std::map<char, int> disks) {
    std::map<char, std::string> letters{{'C', "/ ext4"}};
    for (const auto& [letter, disk] : disks)
        letters[letter] = "/mnt/r" + std::to_string(disk) + " tmpfs";
    return letters;
}

std::map<char, int> alphabetOfRamDisks(int skipped, int last) {
    std::map<char, int> letters;
    char letter = 'D';
    for (int i = 1; i <= 23; ++i) letters[letter++] = i;
    if (skipped != 0) letters[static_cast<char>('D' + skipped - 1)] = last;
    return letters;
}

const StableCase stableCases[] = {
    {"UnmountFreesOnlyItsOwnLetter",
     {{stableRoot, ram("a", 201), ram("b", 202), ram("c", 203)},
      {stableRoot, ram("b", 202), ram("c", 203)}},
     {{{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'E', "/mnt/b tmpfs"}, {'F', "/mnt/c tmpfs"}},
      {{'C', "/ ext4"}, {'E', "/mnt/b tmpfs"}, {'F', "/mnt/c tmpfs"}}}},
    {"NewVolumeTakesTheLowestFreeLetter",
     {{stableRoot, ram("a", 201), ram("b", 202), ram("c", 203)},
      {stableRoot, ram("a", 201), ram("c", 203)},
      {stableRoot, ram("a", 201), ram("c", 203), ram("d", 204), ram("e", 205)}},
     {{{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'E', "/mnt/b tmpfs"}, {'F', "/mnt/c tmpfs"}},
      {{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'F', "/mnt/c tmpfs"}},
      {{'C', "/ ext4"},
       {'D', "/mnt/a tmpfs"},
       {'E', "/mnt/d tmpfs"},
       {'F', "/mnt/c tmpfs"},
       {'G', "/mnt/e tmpfs"}}}},
    {"RemountedVolumeIsANewVolume",
     {{stableRoot, ram("a", 201), ram("b", 202)},
      {stableRoot, ram("b", 202)},
      {stableRoot, ram("b", 202), ram("a", 207)}},
     {{{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'E', "/mnt/b tmpfs"}},
      {{'C', "/ ext4"}, {'E', "/mnt/b tmpfs"}},
      {{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'E', "/mnt/b tmpfs"}}}},
    {"MountIdTakenOverByAnotherMountIsNoReasonToKeepTheLetter",
     {{stableRoot, ram("a", 201), ram("b", 202), ram("c", 203)},
      {stableRoot, ram("b", 202), ram("c", 203)},
      {stableRoot, ram("b", 202), {.target = "/mnt/x", .fsType = "tmpfs", .id = 203}}},
     {{{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'E', "/mnt/b tmpfs"}, {'F', "/mnt/c tmpfs"}},
      {{'C', "/ ext4"}, {'E', "/mnt/b tmpfs"}, {'F', "/mnt/c tmpfs"}},
      {{'C', "/ ext4"}, {'D', "/mnt/x tmpfs"}, {'E', "/mnt/b tmpfs"}}}},
    {"FullAlphabetLettersTheWaitingVolumeWhenOneIsUnmounted",
     {ramDisks(1, 24), ramDisks(1, 24, 5), ramDisks(1, 25, 5)},
     {ramLetters(alphabetOfRamDisks(0, 0)), ramLetters(alphabetOfRamDisks(5, 24)),
      ramLetters(alphabetOfRamDisks(5, 24))}},
    {"FloppyKeepsItsLetterAndANewOneTakesTheFreedOne",
     {{stableRoot, floppyAt("f0", 201), floppyAt("f1", 202), ram("usb", 203)},
      {stableRoot, floppyAt("f1", 202), ram("usb", 203)},
      {stableRoot, floppyAt("f1", 202), ram("usb", 203), floppyAt("f2", 204), floppyAt("f3", 205)}},
     {{{'A', "/media/f0 vfat"}, {'B', "/media/f1 vfat"}, {'C', "/ ext4"}, {'D', "/mnt/usb tmpfs"}},
      {{'B', "/media/f1 vfat"}, {'C', "/ ext4"}, {'D', "/mnt/usb tmpfs"}},
      {{'A', "/media/f2 vfat"},
       {'B', "/media/f1 vfat"},
       {'C', "/ ext4"},
       {'D', "/mnt/usb tmpfs"},
       {'E', "/media/f3 vfat"}}}},
    {"CIsWhateverRootIsOnTop",
     {{stableRoot, ram("a", 201)},
      {stableRoot, ram("a", 201), {.target = "/", .fsType = "overlay", .parent = 1, .id = 300}},
      {stableRoot, ram("a", 201)}},
     {{{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}},
      {{'C', "/ overlay"}},
      {{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}}}},
    {"VolumeThatNoLongerWantsALetterFreesIt",
     {{stableRoot,
       {.target = "/mnt/image", .fsType = "ext4", .device = loop(), .id = 201},
       ram("b", 202)},
      {stableRoot,
       {.target = "/mnt/image", .fsType = "ext4", .device = loop(), .readOnly = true, .id = 201},
       ram("b", 202)}},
     {{{'C', "/ ext4"}, {'D', "/mnt/image ext4"}, {'E', "/mnt/b tmpfs"}},
      {{'C', "/ ext4"}, {'E', "/mnt/b tmpfs"}}}},
    {"VolumeHiddenByALaterMountFreesItsLetter",
     {{stableRoot, ram("a", 201), ram("b", 202)},
      {stableRoot, ram("a", 201), ram("b", 202), {.target = "/mnt", .fsType = "tmpfs", .id = 203}},
      {stableRoot, ram("a", 201), ram("b", 202)}},
     {{{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'E', "/mnt/b tmpfs"}},
      {{'C', "/ ext4"}, {'D', "/mnt tmpfs"}},
      {{'C', "/ ext4"}, {'D', "/mnt/a tmpfs"}, {'E', "/mnt/b tmpfs"}}}},
};

class StableDriveLetters : public testing::TestWithParam<StableCase> {};

TEST_P(StableDriveLetters, KeepEachMountedVolumesLetter) {
    const StableCase& row = GetParam();
    ASSERT_EQ(row.tables.size(), row.letters.size());
    platform::posix::DriveTable table;
    for (std::size_t step = 0; step < row.tables.size(); ++step) {
        table = platform::posix::assignDriveLetters(toVolumes(row.tables[step]), table);
        EXPECT_EQ(lettersIn(table), row.letters[step]) << "after table " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StableDriveLetters, testing::ValuesIn(stableCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The mount a path reaches, by the longest visible mount point at or above it.
TEST(MountHolding, IsTheDeepestVisibleMountAboveThePath) {
    const std::vector<Volume> volumes = toVolumes({
        stableRoot,
        ram("usb", 201),
        ram("usb2", 202),
        {.target = "/mnt/hidden", .fsType = "ext4", .device = disk(), .id = 203},
        {.target = "/mnt/hidden", .fsType = "tmpfs", .id = 204},
    });
    const std::vector<platform::posix::MountEntry> visible =
        platform::posix::visibleMounts(volumes);
    const struct {
        const char* path;
        int mount;  // 0: none
    } rows[] = {{"/", 1},
                {"/etc/hosts", 1},
                {"/mnt/usb", 201},
                {"/mnt/usb/a/b", 201},
                {"/mnt/usb2/x", 202},
                {"/mnt/usbx", 1},
                {"/mnt/hidden/f", 204},
                {"relative", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const platform::posix::MountEntry* mount = platform::posix::mountHolding(visible, row.path);
        EXPECT_EQ(mount ? mount->id : 0, row.mount);
    }
}

}  // namespace
