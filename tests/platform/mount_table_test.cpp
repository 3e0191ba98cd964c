#include "platform/posix/mount_table.h"

#include <gtest/gtest.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

using platform::posix::MountEntry;
using platform::posix::readMountTable;

// A mountinfo file in a folder of the test's own, removed afterwards.
class MountInfoFile {
  public:
    explicit MountInfoFile(const std::string& text) {
        std::string pattern = testing::TempDir() + "volscope-mountinfo-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        std::ofstream(path()) << text;
    }
    ~MountInfoFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string path() const { return (folder_ / "mountinfo").string(); }

  private:
    std::filesystem::path folder_;
};

struct EntryCase {
    const char* name;
    const char* line;
    MountEntry entry;
};

// Failures name the row rather than dump its bytes.
void PrintTo(const EntryCase& row, std::ostream* out) {
    *out << row.name;
}

MountEntry entry(int id, int parentId, unsigned major, unsigned minor, std::string root,
                 std::string target, std::string fsType, std::string source, std::string fsOptions,
                 bool readOnly) {
    return {id,
            parentId,
            makedev(major, minor),
            std::move(root),
            std::move(target),
            std::move(fsType),
            std::move(source),
            std::move(fsOptions),
            readOnly};
}

const EntryCase entryCases[] = {
    {"AllFields", "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue",
     entry(36, 35, 98, 0, "/mnt1", "/mnt2", "ext3", "/dev/root", "rw,errors=continue", false)},
    {"NoOptionalFields", "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard",
     entry(27, 1, 254, 0, "/", "/", "ext4", "/dev/vda", "rw,discard", false)},
    {"SeveralOptionalFields",
     "40 27 8:17 / /media/usb rw shared:1 master:2 propagate_from:3 - vfat /dev/sdb1 rw",
     entry(40, 27, 8, 17, "/", "/media/usb", "vfat", "/dev/sdb1", "rw", false)},
    {"BlankInMountPoint", "41 27 8:17 / /mnt/my\\040disk rw - vfat /dev/sdb1 rw",
     entry(41, 27, 8, 17, "/", "/mnt/my disk", "vfat", "/dev/sdb1", "rw", false)},
    {"TabNewlineAndBackslashInMountPoint",
     "42 27 8:17 / /mnt/a\\011b\\012c\\134d rw - vfat /dev/sdb1 rw",
     entry(42, 27, 8, 17, "/", "/mnt/a\tb\nc\\d", "vfat", "/dev/sdb1", "rw", false)},
    {"EscapesInRootAndSource",
     "43 27 0:50 /my\\040dir /mnt/x rw - nfs4 server:/export\\040dir rw,vers=4.2",
     entry(43, 27, 0, 50, "/my dir", "/mnt/x", "nfs4", "server:/export dir", "rw,vers=4.2", false)},
    {"FuseSubtype", "44 27 0:51 / /home/a/remote rw - fuse.sshfs alice@host:/ rw,user_id=0",
     entry(44, 27, 0, 51, "/", "/home/a/remote", "fuse.sshfs", "alice@host:/", "rw,user_id=0",
           false)},
    {"ReadOnlyMount", "45 27 7:0 / /snap/core/1 ro,nodev,relatime - squashfs /dev/loop0 rw",
     entry(45, 27, 7, 0, "/", "/snap/core/1", "squashfs", "/dev/loop0", "rw", true)},
    {"ReadOnlyFileSystem", "46 27 7:1 / /mnt/y rw,relatime - ext4 /dev/loop1 ro",
     entry(46, 27, 7, 1, "/", "/mnt/y", "ext4", "/dev/loop1", "ro", true)},
    {"OptionsThatMerelyStartWithRoAreNotReadOnly",
     "47 27 0:52 / /mnt/z rw,relatime - fuse.x src rw,rootmode=40000,rootcontext=x",
     entry(47, 27, 0, 52, "/", "/mnt/z", "fuse.x", "src", "rw,rootmode=40000,rootcontext=x",
           false)},
};

class MountTableEntries : public testing::TestWithParam<EntryCase> {};

TEST_P(MountTableEntries, ReadsTheLineWithItsEscapesUndone) {
    const MountInfoFile file(std::string(GetParam().line) + "\n");
    const auto entries = readMountTable(file.path().c_str());
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 1u);
    const MountEntry& got = entries->front();
    const MountEntry& want = GetParam().entry;
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.parentId, want.parentId);
    EXPECT_EQ(got.device, want.device);
    EXPECT_EQ(got.root, want.root);
    EXPECT_EQ(got.target, want.target);
    EXPECT_EQ(got.fsType, want.fsType);
    EXPECT_EQ(got.source, want.source);
    EXPECT_EQ(got.fsOptions, want.fsOptions);
    EXPECT_EQ(got.readOnly, want.readOnly);
}

INSTANTIATE_TEST_SUITE_P(Rows, MountTableEntries, testing::ValuesIn(entryCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(MountTable, KeepsTheFileOrder) {
    const MountInfoFile file(
        "22 27 0:21 / /proc rw - proc proc rw\n"
        "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
        "28 27 0:25 / /mnt/a rw - tmpfs tmpfs rw\n");
    const auto entries = readMountTable(file.path().c_str());
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[0].target, "/proc");
    EXPECT_EQ((*entries)[1].target, "/");
    EXPECT_EQ((*entries)[2].target, "/mnt/a");
}

TEST(MountTable, SkipsALineItCannotParseAndReadsTheRest) {
    const MountInfoFile file(
        "27 1 254:0 / / rw - ext4 /dev/vda rw\n"
        "this is not a mount\n"
        "28 27 0:25 / /mnt/a rw - tmpfs tmpfs rw\n");
    const auto entries = readMountTable(file.path().c_str());
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[1].target, "/mnt/a");
}

TEST(MountTable, EmptyFileHasNoMounts) {
    const MountInfoFile file("");
    const auto entries = readMountTable(file.path().c_str());
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE(entries->empty());
}

TEST(MountTable, MissingFileIsAnError) {
    const MountInfoFile file("");
    EXPECT_FALSE(readMountTable((file.path() + "-missing").c_str()).has_value());
}

TEST(MountTable, ReadsThisProcessTableWithItsRoot) {
    const auto entries = readMountTable("/proc/self/mountinfo");
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE(std::any_of(entries->begin(), entries->end(),
                            [](const MountEntry& mount) { return mount.target == "/"; }));
}

}  // namespace
