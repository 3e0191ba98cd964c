// Listing real folders with the Linux backend: a tmpfs mounted in a scratch folder under /mnt,
// with user.* extended attributes where the kernel has them on tmpfs (6.6 on). Needs root;
// elsewhere the tests skip and say why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/dos_path.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/little_endian.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"

namespace {

namespace attr = platform::file_attribute;
using platform::FindData;
using platform::FindHandle;
using platform::invalidFindHandle;

using little_endian::le16;
using little_endian::le32;

// What smbd writes since Samba 4.11: an empty text, then version 4.
std::string sambaVersion4(std::uint32_t attrib) {
    return std::string(2, '\0') + le16(4) + le16(4) + std::string(2, '\0') + le32(0x11) +
           le32(attrib) + std::string(16, '\0');
}

class RealFolders : public scratch::RealVolumeTest {
  protected:
    void SetUp() override {
        RealVolumeTest::SetUp();
        if (IsSkipped()) return;
        target_ = folder_->makeFolder("tmpfs");
        mount_.emplace("volscope-listing", target_, "tmpfs", 0, "size=64m");
        const char letter = scratch::letterIn(platform_, target_);
        if (letter == '\0') GTEST_SKIP() << "no drive letter is left for the test's volume";
        root_ = std::string{letter, ':', '\\'};
    }

    // Skips the test where the tmpfs keeps no user.* attributes (kernels before 6.6).
    void needExtendedAttributes() {
        const std::string probe = path("xattr-probe");
        makeFile("xattr-probe");
        const bool supported = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
        const int error = errno;
        unlink(probe.c_str());
        if (!supported)
            GTEST_SKIP() << "tmpfs keeps no user.* extended attributes here: "
                         << std::strerror(error);
    }

    std::string path(const std::string& name) const { return target_ + "/" + name; }

    void makeFile(const std::string& name, const std::string& content = "", mode_t mode = 0644) {
        const int fd = open(path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
        ASSERT_GE(fd, 0) << name << ": " << std::strerror(errno);
        ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
        close(fd);
        ASSERT_EQ(chmod(path(name).c_str(), mode), 0);
    }
    void makeFolder(const std::string& name) { ASSERT_EQ(mkdir(path(name).c_str(), 0755), 0); }
    void setDosAttrib(const std::string& name, const std::string& value) {
        ASSERT_EQ(setxattr(path(name).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0)
            << name << ": " << std::strerror(errno);
    }
    ino_t inodeOf(const std::string& unixPath) {
        struct stat status {};
        EXPECT_EQ(lstat(unixPath.c_str(), &status), 0) << unixPath;
        return status.st_ino;
    }

    // The listing of a folder of the drive ("" for its root), by name.
    std::map<std::string, FindData> list(const std::string& folder = "") {
        std::map<std::string, FindData> entries;
        const std::string pattern = root_ + folder + (folder.empty() ? "*" : "\\*");
        FindData data;
        const FindHandle handle = platform_.FindFirstFileA(pattern.c_str(), &data);
        EXPECT_NE(handle, invalidFindHandle) << pattern;
        if (handle == invalidFindHandle) return entries;
        do {
            EXPECT_TRUE(entries.emplace(data.fileName, data).second) << "twice: " << data.fileName;
        } while (platform_.FindNextFileA(handle, &data));
        EXPECT_TRUE(platform_.FindClose(handle));
        return entries;
    }

    std::uint32_t attributesOf(const std::string& name) {
        const auto entries = list();
        const auto found = entries.find(name);
        EXPECT_NE(found, entries.end()) << name << " is not listed";
        return found == entries.end() ? 0 : found->second.fileAttributes;
    }

    std::optional<scratch::Mount> mount_;
    std::string target_;
    std::string root_;
};

TEST_F(RealFolders, DotFilesAreHiddenUnlessDosAttribSaysOtherwise) {
    needExtendedAttributes();
    makeFile(".hidden");
    makeFolder(".config");
    makeFile(".shown");
    setDosAttrib(".shown", "0x20");
    makeFile(".bare");
    setDosAttrib(".bare", "0x0");
    makeFile(".unreadable");
    setDosAttrib(".unreadable", "garbage");

    EXPECT_EQ(attributesOf(".hidden"), attr::hidden | attr::archive);
    EXPECT_EQ(attributesOf(".config"), attr::hidden | attr::directory);
    EXPECT_EQ(attributesOf(".shown"), attr::archive);
    EXPECT_EQ(attributesOf(".bare"), attr::normal);
    EXPECT_EQ(attributesOf(".unreadable"), attr::hidden | attr::archive) << "as if there were none";
}

TEST_F(RealFolders, DosAttribMarksHiddenAndSystemInTextAndBinaryForms) {
    needExtendedAttributes();
    makeFile("text.sys");
    setDosAttrib("text.sys", "0x26");
    makeFile("samba.sys");
    setDosAttrib("samba.sys", sambaVersion4(0x6));
    makeFolder("HiddenFolder");
    setDosAttrib("HiddenFolder", "0x12");
    // A value far larger than any well-formed one is read whole and refused.
    makeFile("huge.txt");
    setDosAttrib("huge.txt", "0x2" + std::string(3000, '\0'));

    EXPECT_EQ(attributesOf("text.sys"), attr::hidden | attr::system | attr::archive);
    EXPECT_EQ(attributesOf("samba.sys"), attr::hidden | attr::system);
    EXPECT_EQ(attributesOf("HiddenFolder"), attr::directory | attr::hidden);
    EXPECT_EQ(attributesOf("huge.txt"), attr::archive);
}

TEST_F(RealFolders, ReadOnlyFollowsTheOwnersWriteBit) {
    makeFile("mine.txt", "", 0644);
    makeFile("locked.txt", "", 0444);
    makeFile("others-may-write.txt", "", 0466);
    makeFolder("LockedFolder");
    ASSERT_EQ(chmod(path("LockedFolder").c_str(), 0555), 0);

    EXPECT_EQ(attributesOf("mine.txt"), attr::archive);
    EXPECT_EQ(attributesOf("locked.txt"), attr::readOnly | attr::archive);
    EXPECT_EQ(attributesOf("others-may-write.txt"), attr::readOnly | attr::archive);
    EXPECT_EQ(attributesOf("LockedFolder"), attr::readOnly | attr::directory);
}

TEST_F(RealFolders, LinksShowTheirTargetAndDanglingOnesAPlainFile) {
    makeFolder("Folder");
    makeFile("file.txt", "twelve bytes");
    ASSERT_EQ(symlink("Folder", path("to-folder").c_str()), 0);
    ASSERT_EQ(symlink("file.txt", path("to-file").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", path("dangling").c_str()), 0);
    ASSERT_EQ(symlink("loop", path("loop").c_str()), 0);

    const auto entries = list();
    EXPECT_EQ(entries.at("to-folder").fileAttributes, attr::directory);
    EXPECT_EQ(entries.at("to-file").fileAttributes, attr::archive);
    EXPECT_EQ(entries.at("to-file").fileSize, 12u);
    EXPECT_EQ(entries.at("dangling").fileAttributes, attr::archive);
    EXPECT_EQ(entries.at("dangling").fileSize, 0u);
    EXPECT_EQ(entries.at("loop").fileAttributes, attr::archive);
    EXPECT_EQ(list("to-folder").size(), 2u) << "a link to a folder is listed as the folder";
}

TEST_F(RealFolders, SizesBeyondFourGibibytesComeWhole) {
    makeFile("sparse.bin");
    constexpr std::uint64_t size = 5ULL * 1024 * 1024 * 1024 + 7;
    ASSERT_EQ(truncate(path("sparse.bin").c_str(), static_cast<off_t>(size)), 0)
        << std::strerror(errno);
    EXPECT_EQ(list().at("sparse.bin").fileSize, size);
    makeFolder("Folder");
    EXPECT_EQ(list().at("Folder").fileSize, 0u) << "folders have no size";
}

// "a\b" lies next to the folder "a" holding "b"; the listed names must each lead back to their
// own file, never to the other.
TEST_F(RealFolders, NamesOutsideDosPathsAreListedAndLeadBackToTheirOwnFile) {
    const std::vector<std::string> odd = {"a\\b", "caf\xE9", "\xFF\xFE", "x\xEF\x81\x9Cy", "x\\y"};
    for (const std::string& name : odd) makeFile(name, name);
    makeFolder("a");
    makeFile("a/b", "inner");

    const auto entries = list();
    std::map<std::string, std::string> dosNames;  // by Linux name
    for (const auto& [dosName, data] : entries) {
        const std::optional<platform::posix::UnixPath> mapped = platform::posix::mapDosPath(
            root_ + dosName, platform::test_support::PosixPlatformAccess::drives(platform_));
        ASSERT_TRUE(mapped.has_value()) << "listed name leads nowhere: " << dosName;
        EXPECT_EQ(mapped->path.substr(0, target_.size() + 1), target_ + "/");
        dosNames[mapped->path.substr(target_.size() + 1)] = dosName;
    }
    for (const std::string& name : odd) {
        SCOPED_TRACE(testing::PrintToString(name));
        ASSERT_EQ(dosNames.count(name), 1u);
        const std::string dosName = dosNames[name];
        EXPECT_EQ(dosName.find('\\'), std::string::npos);
        EXPECT_EQ(entries.at(dosName).fileSize, name.size());
        const auto mapped = platform::posix::mapDosPath(
            root_ + dosName, platform::test_support::PosixPlatformAccess::drives(platform_));
        EXPECT_EQ(inodeOf(mapped->path), inodeOf(path(name)));
        EXPECT_NE(inodeOf(mapped->path), inodeOf(path("a/b")));
    }
    EXPECT_NE(dosNames["a\\b"], dosNames["x\\y"]);
    EXPECT_NE(dosNames["x\\y"], dosNames["x\xEF\x81\x9Cy"]) << "escape characters are escaped";
    // The DOS path "X:\a\b" is the file b in the folder a.
    const auto inner = platform::posix::mapDosPath(
        root_ + "a\\b", platform::test_support::PosixPlatformAccess::drives(platform_));
    ASSERT_TRUE(inner.has_value());
    EXPECT_EQ(inodeOf(inner->path), inodeOf(path("a/b")));
}

TEST_F(RealFolders, DotDotNeverClimbsAboveTheDrive) {
    makeFolder("Sub");
    FindData data;
    for (const std::string& pattern : {root_ + "..\\*", root_ + "Sub\\..\\..\\*"}) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(platform_.FindFirstFileA(pattern.c_str(), &data), invalidFindHandle);
    }
    const std::string withinDrive = root_ + "Sub\\..\\*";
    const FindHandle handle = platform_.FindFirstFileA(withinDrive.c_str(), &data);
    EXPECT_NE(handle, invalidFindHandle) << "down and up again stays on the drive";
    EXPECT_NE(data.fileName, ".") << "that is the drive's root, listed without dots";
    EXPECT_TRUE(platform_.FindClose(handle));
}

TEST_F(RealFolders, OnlyWholeFolderPatternsAndPlainNamesAreFound) {
    makeFile("a.txt");
    FindData data;
    for (const std::string& pattern : {root_ + "*.txt", root_ + "a?txt", root_}) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(platform_.FindFirstFileA(pattern.c_str(), &data), invalidFindHandle);
    }
    const std::string plain = root_ + "a.txt";
    const FindHandle one = platform_.FindFirstFileA(plain.c_str(), &data);
    ASSERT_NE(one, invalidFindHandle) << "a plain name finds that one file";
    EXPECT_EQ(data.fileName, "a.txt");
    EXPECT_FALSE(platform_.FindNextFileA(one, &data));
    EXPECT_TRUE(platform_.FindClose(one));
}

TEST_F(RealFolders, EmptyDriveRootGivesNoHandle) {
    FindData data{0x1234, 5, "kept"};
    const std::string pattern = root_ + "*";
    EXPECT_EQ(platform_.FindFirstFileA(pattern.c_str(), &data), invalidFindHandle)
        << "as Windows answers a root with no entry";
    EXPECT_EQ(platform_.GetLastError(), platform::error_code::fileNotFound) << "it was read";
    EXPECT_EQ(data.fileName, "kept");
}

TEST_F(RealFolders, EntriesRemovedDuringAListingAreSkipped) {
    for (const char* name : {"one", "two", "three", "four"}) makeFile(name);
    FindData data;
    const std::string pattern = root_ + "*";
    const FindHandle handle = platform_.FindFirstFileA(pattern.c_str(), &data);
    ASSERT_NE(handle, invalidFindHandle);
    const std::string first = data.fileName;
    for (const char* name : {"one", "two", "three", "four"}) {
        if (name != first) unlink(path(name).c_str());
    }
    EXPECT_FALSE(platform_.FindNextFileA(handle, &data));
    EXPECT_TRUE(platform_.FindClose(handle));
}

TEST_F(RealFolders, ManyEntriesComeBackOnceEach) {
    constexpr int count = 3000;
    for (int i = 0; i < count; ++i) makeFile("file-" + std::to_string(i));
    const auto entries = list();
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; i += 250) EXPECT_EQ(entries.count("file-" + std::to_string(i)), 1u);
}

// Root reads any folder, so the refusal is checked in a child that has become "nobody".
TEST_F(RealFolders, FolderWithoutPermissionGivesNoHandle) {
    makeFolder("Private");
    makeFile("Private/secret.txt");
    ASSERT_EQ(chmod(path("Private").c_str(), 0700), 0);
    ASSERT_EQ(chmod(folder_->path().c_str(), 0755), 0) << "so that nobody reaches the drive";
    const std::string pattern = root_ + "Private\\*";
    const std::string rootPattern = root_ + "*";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        platform::PosixPlatform platform;
        FindData data;
        if (platform.FindFirstFileA(rootPattern.c_str(), &data) == invalidFindHandle) _exit(3);
        if (platform.FindFirstFileA(pattern.c_str(), &data) != invalidFindHandle) _exit(1);
        _exit(platform.GetLastError() == platform::error_code::accessDenied ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "could not become nobody";
    EXPECT_NE(WEXITSTATUS(status), 3) << "nobody could not list the drive's root";
    EXPECT_NE(WEXITSTATUS(status), 4) << "the refusal was not reported as access denied";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "nobody listed a folder only root may read";
}

}  // namespace
