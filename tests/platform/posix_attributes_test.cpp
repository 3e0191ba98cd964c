// Changing attributes with the Linux backend on real volumes: a tmpfs (with user.* extended
// attributes from kernel 6.6 on), a ramfs (which has none), ext4 and read-only mounts, in a
// scratch folder under /mnt. Needs root; elsewhere the tests skip and say why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/little_endian.h"
#include "tests/platform/real_file_volume.h"
#include "tests/platform/scratch_volumes.h"

namespace {

namespace attr = platform::file_attribute;
using platform::Platform;
using posix_test::RealVolume;

using little_endian::le16;
using little_endian::le32;
using little_endian::le64;
using little_endian::nul;

constexpr std::uint64_t createTime = 0x01D6BDD58116BC9AULL;

// Samba's binary forms as smbd writes them: 4.0 to 4.10 version 3 after the hex text, 4.11 on
// version 4, later version 5, both after an empty text.
std::string sambaVersion3(const std::string& text, std::uint32_t attrib) {
    std::string value = text + nul;
    value += std::string(value.size() % 2, '\0') + le16(3) + le16(3);
    value += std::string((4 - value.size() % 4) % 4, '\0');
    return value + le32(0x11) + le32(attrib) + le32(0) + le64(0) + le64(0) + le64(createTime) +
           le64(0);
}
std::string sambaVersion4(std::uint32_t attrib) {
    return nul + nul + le16(4) + le16(4) + std::string(2, '\0') + le32(0x51) + le32(attrib) +
           le64(createTime + 1) + le64(createTime);
}
std::string sambaVersion5(std::uint32_t attrib) {
    return nul + nul + le16(5) + le16(5) + std::string(2, '\0') + le32(0x11) + le32(attrib) +
           le64(createTime);
}

// Runs body as the user nobody in a child process; its exit code: 0 for true, 1 for false,
// 2 when it could not become nobody.
int asNobody(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

// Samba's values.

TEST_F(RealVolume, SambaBinaryValuesAreUpdatedInPlaceKeepingEveryOtherByte) {
    mountVolume("tmpfs");
    needExtendedAttributes();
    constexpr std::uint32_t all = attr::readOnly | attr::hidden | attr::system | attr::archive;
    struct Row {
        const char* name;
        std::string before;
        std::uint32_t word;
        std::string after;
    };
    const Row rows[] = {
        {"v3.txt", sambaVersion3("0x20", 0x20), all, sambaVersion3("0x27", 0x27)},
        {"v3-shorter.txt", sambaVersion3("0x22", 0x22), attr::system, sambaVersion3("0x4", 0x4)},
        {"v4.txt", sambaVersion4(0x20), all, sambaVersion4(0x27)},
        {"v5.txt", sambaVersion5(0x20), all, sambaVersion5(0x27)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeFile(row.name);
        setDosAttrib(row.name, row.before);
        ASSERT_TRUE(set(row.name, row.word));
        EXPECT_EQ(dosAttrib(row.name), row.after) << "version, times and flags kept";
        EXPECT_EQ(get(row.name), row.word);
    }
}

TEST_F(RealVolume, TextFormIsWrittenWhereNoValueWasAndNoneForWhatShowsWithoutOne) {
    mountVolume("tmpfs");
    needExtendedAttributes();
    makeFile("plain.txt");
    ASSERT_TRUE(set("plain.txt", attr::hidden | attr::archive));
    EXPECT_EQ(dosAttrib("plain.txt"), "0x22");
    makeFile("untouched.txt");
    ASSERT_TRUE(set("untouched.txt", attr::readOnly | attr::archive));
    EXPECT_EQ(dosAttrib("untouched.txt"), std::nullopt) << "the mode carries read-only alone";
    makeFile(".dot");
    ASSERT_TRUE(set(".dot", attr::archive));
    EXPECT_EQ(dosAttrib(".dot"), "0x20") << "a dot file is shown";
    EXPECT_EQ(get(".dot"), attr::archive);
}

// The mode.

TEST_F(RealVolume, ReadOnlyClearsEveryWriteBitAndGivesTheOwnersBack) {
    mountVolume("tmpfs");
    makeFile("doc.txt", 0664);
    ASSERT_TRUE(set("doc.txt", attr::readOnly | attr::archive));
    EXPECT_EQ(modeOf("doc.txt"), 0444U);
    ASSERT_TRUE(set("doc.txt", attr::archive));
    EXPECT_EQ(modeOf("doc.txt"), 0644U);
    makeFile("tool", 04775);
    ASSERT_TRUE(set("tool", attr::readOnly | attr::archive));
    EXPECT_EQ(modeOf("tool"), 04555U) << "no other mode bit changes";
}

TEST_F(RealVolume, FoldersKeepTheirModeAndTakeHidden) {
    mountVolume("tmpfs");
    needExtendedAttributes();
    ASSERT_EQ(mkdir(path("Folder").c_str(), 0755), 0);
    ASSERT_TRUE(set("Folder", attr::readOnly | attr::hidden | attr::directory));
    EXPECT_EQ(modeOf("Folder"), 0755U);
    EXPECT_EQ(get("Folder"), attr::directory | attr::hidden);
}

// Links.

TEST_F(RealVolume, LinksChangeTheirTargetOnTheSameVolumeOnly) {
    mountVolume("tmpfs");
    needExtendedAttributes();
    makeFile("target.txt");
    ASSERT_EQ(symlink("target.txt", path("link").c_str()), 0);
    ASSERT_TRUE(set("link", attr::hidden | attr::archive | attr::readOnly));
    EXPECT_EQ(dosAttrib("target.txt"), "0x23");
    EXPECT_EQ(modeOf("target.txt"), 0444U);

    const std::string outside = folder_->path() + "/outside.txt";
    std::ofstream(outside).put('x');
    ASSERT_EQ(chmod(outside.c_str(), 0644), 0);
    ASSERT_EQ(symlink(outside.c_str(), path("away").c_str()), 0);
    EXPECT_FALSE(set("away", attr::readOnly | attr::archive)) << "the link leaves the volume";
    struct stat status {};
    ASSERT_EQ(stat(outside.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644U);
    unlink(outside.c_str());
}

// Failures change nothing.

TEST_F(RealVolume, FileSystemWithoutXattrsTakesReadOnlyButRefusesHiddenAsAWhole) {
    mountVolume("ramfs");
    makeFile("doc.txt", 0644);
    ASSERT_EQ(setxattr(path("doc.txt").c_str(), "user.probe", "1", 1, 0), -1);
    ASSERT_EQ(errno, ENOTSUP) << "ramfs keeps no user.* attributes";
    ASSERT_TRUE(set("doc.txt", attr::readOnly | attr::archive));
    EXPECT_EQ(modeOf("doc.txt"), 0444U);
    EXPECT_FALSE(set("doc.txt", attr::hidden | attr::archive));
    EXPECT_EQ(platform_.GetLastError(), platform::error_code::notSupported);
    EXPECT_EQ(modeOf("doc.txt"), 0444U);
    EXPECT_FALSE(set("doc.txt", attr::hidden | attr::archive)) << "read-only cleared with it";
    EXPECT_EQ(modeOf("doc.txt"), 0444U) << "nothing changed, the mode included";
    EXPECT_EQ(get("doc.txt"), attr::readOnly | attr::archive);
}

TEST_F(RealVolume, ReadOnlyMountRefusesEverything) {
    mountVolume("tmpfs");
    makeFile("doc.txt", 0644);
    ASSERT_EQ(mount(nullptr, target_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
    for (const std::uint32_t word : {attr::readOnly | attr::archive, attr::hidden | attr::archive,
                                     std::uint32_t{attr::archive}}) {
        EXPECT_FALSE(set("doc.txt", word)) << word;
        EXPECT_EQ(platform_.GetLastError(), platform::error_code::writeProtect);
    }
    EXPECT_EQ(modeOf("doc.txt"), 0644U);
    EXPECT_EQ(get("doc.txt"), attr::archive);
}

// ext4 keeps a file's extended attributes in one block: once it is full, no value fits.
TEST_F(RealVolume, ValueThatCannotBeWrittenGivesTheModeBack) {
    if (!scratch::hasTool("mkfs.ext4")) GTEST_SKIP() << "mkfs.ext4 is missing (package e2fsprogs)";
    const std::string image = folder_->makeImage("ext4.img", 8 * 1024 * 1024);
    scratch::run({"mkfs.ext4", "-q", "-F", "-I", "128", image});
    loop_.emplace(image, 512);
    mountVolume("ext4", loop_->path());
    makeFile("full.txt", 0444);
    for (int i = 0; i < 10000; ++i) {
        const std::string name = "user.f" + std::to_string(i);
        if (setxattr(path("full.txt").c_str(), name.c_str(), "x", 1, 0) != 0) break;
    }
    ASSERT_NE(setxattr(path("full.txt").c_str(), "user.DOSATTRIB", "0x22", 4, XATTR_CREATE), 0)
        << "the block is full";
    EXPECT_FALSE(set("full.txt", attr::hidden | attr::archive));
    EXPECT_EQ(modeOf("full.txt"), 0444U) << "the write permission given back is taken again";
    EXPECT_EQ(dosAttrib("full.txt"), std::nullopt);
}

TEST_F(RealVolume, ModeThatCannotBeChangedTakesTheValueBack) {
    mountVolume("tmpfs");
    needExtendedAttributes();
    ASSERT_EQ(chmod(folder_->path().c_str(), 0755), 0) << "so that nobody reaches the drive";
    makeFile("shared.txt", 0666);
    setDosAttrib("shared.txt", "0x20");
    makeFile("bare.txt", 0666);
    const std::string shared = dos("shared.txt");
    const std::string bare = dos("bare.txt");
    // nobody may write the files, so their user.* attributes, but not change their mode.
    const int code = asNobody([&]() {
        platform::PosixPlatform platform;
        return !platform.SetFileAttributesA(shared.c_str(),
                                            attr::readOnly | attr::hidden | attr::archive) &&
               !platform.SetFileAttributesA(bare.c_str(), attr::readOnly | attr::hidden);
    });
    EXPECT_NE(code, 2) << "could not become nobody";
    EXPECT_EQ(code, 0) << "a change nobody may not make succeeded";
    EXPECT_EQ(dosAttrib("shared.txt"), "0x20");
    EXPECT_EQ(dosAttrib("bare.txt"), std::nullopt);
    EXPECT_EQ(modeOf("shared.txt"), 0666U);
}

TEST_F(RealVolume, OwnerChangesHiddenOfAFileThatStaysReadOnly) {
    mountVolume("tmpfs");
    needExtendedAttributes();
    ASSERT_EQ(chmod(folder_->path().c_str(), 0755), 0);
    makeFile("mine.txt", 0444);
    ASSERT_EQ(chown(path("mine.txt").c_str(), 65534, 65534), 0);
    const std::string mine = dos("mine.txt");
    const int code = asNobody([&]() {
        platform::PosixPlatform platform;
        return platform.SetFileAttributesA(mine.c_str(),
                                           attr::readOnly | attr::hidden | attr::archive);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(dosAttrib("mine.txt"), "0x23");
    EXPECT_EQ(modeOf("mine.txt"), 0444U);
}

// Reading user.* attributes needs read permission, which the owner of a file of mode 000 lacks;
// changing its mode needs none.
TEST_F(RealVolume, OwnerTakesReadOnlyOffAFileOfModeZero) {
    mountVolume("tmpfs");
    needExtendedAttributes();
    ASSERT_EQ(chmod(folder_->path().c_str(), 0755), 0);
    makeFile("locked.txt", 0);
    ASSERT_EQ(chown(path("locked.txt").c_str(), 65534, 65534), 0);
    const std::string locked = dos("locked.txt");
    const int code = asNobody([&]() {
        platform::PosixPlatform platform;
        const std::uint32_t shown = platform.GetFileAttributesA(locked.c_str());
        return shown == (attr::readOnly | attr::archive) &&
               !platform.SetFileAttributesA(locked.c_str(), attr::hidden | attr::archive) &&
               platform.SetFileAttributesA(locked.c_str(), attr::archive);
    });
    EXPECT_NE(code, 2) << "could not become nobody";
    EXPECT_EQ(code, 0) << "Read Only was not taken off, or Hidden was not refused";
    EXPECT_EQ(modeOf("locked.txt"), 0200U) << "the owner may write, nothing else changed";
    EXPECT_EQ(dosAttrib("locked.txt"), std::nullopt) << "no value written over the unreadable";
}

TEST_F(RealVolume, VanishedFileGivesFalseAndNoAttributes) {
    mountVolume("tmpfs");
    makeFile("gone.txt");
    unlink(path("gone.txt").c_str());
    EXPECT_FALSE(set("gone.txt", attr::hidden));
    EXPECT_EQ(get("gone.txt"), Platform::invalidFileAttributes);
}

}  // namespace
