// Changing attributes and opening files with the Linux backend on real volumes: a tmpfs (with
// user.* extended attributes from kernel 6.6 on), a ramfs (which has none) and read-only mounts,
// in a scratch folder under /mnt. Needs root; elsewhere the tests skip and say why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <dirent.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/little_endian.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"

namespace {

namespace attr = platform::file_attribute;
using platform::Platform;

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

class RealVolume : public scratch::RealVolumeTest {
  protected:
    // Mounts a file system in the scratch folder and finds its letter; the test skips when no
    // letter is left.
    void mountVolume(const std::string& type, const std::string& source = "volscope-attributes") {
        target_ = folder_->makeFolder(type);
        mount_.emplace(source, target_, type, 0, type == "tmpfs" ? "size=8m" : "");
        const char letter = scratch::letterIn(platform_, target_);
        if (letter == '\0') GTEST_SKIP() << "no drive letter is left for the test's volume";
        root_ = std::string{letter, ':', '\\'};
    }
    void needExtendedAttributes() {
        makeFile("xattr-probe");
        const bool supported = setxattr(path("xattr-probe").c_str(), "user.probe", "1", 1, 0) == 0;
        unlink(path("xattr-probe").c_str());
        if (!supported) GTEST_SKIP() << "tmpfs keeps no user.* extended attributes here";
    }

    std::string path(const std::string& name) const { return target_ + "/" + name; }
    std::string dos(const std::string& name) const { return root_ + name; }

    void makeFile(const std::string& name, mode_t mode = 0644) {
        const int fd = open(path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
        ASSERT_GE(fd, 0) << name << ": " << std::strerror(errno);
        close(fd);
        ASSERT_EQ(chmod(path(name).c_str(), mode), 0);
    }
    void setDosAttrib(const std::string& name, const std::string& value) {
        ASSERT_EQ(setxattr(path(name).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0)
            << std::strerror(errno);
    }
    std::optional<std::string> dosAttrib(const std::string& name) {
        char buffer[256];
        const ssize_t size = getxattr(path(name).c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
        if (size < 0) return std::nullopt;
        return std::string(buffer, static_cast<std::size_t>(size));
    }
    mode_t modeOf(const std::string& name) {
        struct stat status {};
        EXPECT_EQ(stat(path(name).c_str(), &status), 0);
        return status.st_mode & 07777;
    }
    bool set(const std::string& name, std::uint32_t word) {
        return platform_.SetFileAttributesA(dos(name).c_str(), word);
    }
    std::uint32_t get(const std::string& name) {
        return platform_.GetFileAttributesA(dos(name).c_str());
    }

    std::optional<scratch::LoopDevice> loop_;
    std::optional<scratch::Mount> mount_;
    std::string target_;
    std::string root_;
};

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

// Times. tmpfs and btrfs keep any 64-bit second, ext4 and xfs clamp to their own range.

class OutOfRangeTimes : public RealVolume, public ::testing::WithParamInterface<const char*> {};

TEST_P(OutOfRangeTimes, OneTimeOutsideFileTimeLeavesTheOthersExact) {
    const std::string type = GetParam();
    if (type == "btrfs") {
        if (!scratch::hasTool("mkfs.btrfs")) GTEST_SKIP() << "mkfs.btrfs is missing";
        const std::string image = folder_->makeImage("btrfs.img", 128 * 1024 * 1024);
        scratch::run({"mkfs.btrfs", "-q", image});
        loop_.emplace(image, 4096);
        mountVolume("btrfs", loop_->path());
    } else {
        mountVolume(type);
    }
    // 2004-01-05 14:03:07.5 UTC, and the same as a FILETIME.
    constexpr timespec valid{1'073'311'387, 500'000'000};
    constexpr platform::FileTime validFileTime{0xA518EAC0U, 0x01C3D394U};
    struct Row {
        const char* name;
        timespec lastAccess;
        timespec lastWrite;
    };
    const Row rows[] = {
        {"written-in-1500.txt", valid, {-14'817'513'600, 0}},      // 1500-06-15
        {"accessed-in-40000.txt", {1'200'110'860'800, 0}, valid},  // 40000-01-01
        {"before-1601-by-a-tick.txt", valid, {-11'644'473'601, 999'999'999}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeFile(row.name);
        const timespec times[2] = {row.lastAccess, row.lastWrite};
        ASSERT_EQ(utimensat(AT_FDCWD, path(row.name).c_str(), times, 0), 0) << std::strerror(errno);
        const platform::FileHandle file = platform_.CreateFileA(
            dos(row.name).c_str(), platform::file_access::genericRead, platform::file_share::read,
            nullptr, platform::creation_disposition::openExisting, attr::archive, platform::noFile);
        ASSERT_NE(file, platform::invalidFileHandle);
        platform::FileTime creation;
        platform::FileTime lastAccess;
        platform::FileTime lastWrite;
        ASSERT_TRUE(platform_.GetFileTime(file, &creation, &lastAccess, &lastWrite));
        platform_.CloseHandle(file);
        const bool accessValid = row.lastAccess.tv_sec == valid.tv_sec;
        EXPECT_EQ(lastAccess, accessValid ? validFileTime : platform::outOfRangeFileTime);
        EXPECT_EQ(lastWrite, accessValid ? platform::outOfRangeFileTime : validFileTime);
        EXPECT_NE(creation, platform::outOfRangeFileTime) << "made just now";
        platform::SystemTime calendar;
        EXPECT_FALSE(platform_.FileTimeToSystemTime(&platform::outOfRangeFileTime, &calendar));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, OutOfRangeTimes, ::testing::Values("tmpfs", "btrfs"));

// Opening.

class Opener : public RealVolume {
  protected:
    void SetUp() override {
        RealVolume::SetUp();
        if (IsSkipped()) return;
        mountVolume("tmpfs");
        // Records its arguments, one a line, and the folder it runs in.
        script_ = folder_->path() + "/record-opener";
        record_ = folder_->path() + "/record";
        std::ofstream(script_) << "#!/bin/sh\n"
                                  "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; pwd; } >"
                               << record_ << ".tmp && mv " << record_ << ".tmp " << record_ << "\n";
        ASSERT_EQ(chmod(script_.c_str(), 0755), 0);
    }
    void TearDown() override {
        unlink(script_.c_str());
        unlink(record_.c_str());
    }

    // What the opener recorded, once it has; "" after a few seconds without.
    std::string recorded() {
        for (int i = 0; i < 500; ++i) {
            std::ifstream file(record_);
            if (file) {
                std::stringstream content;
                content << file.rdbuf();
                return content.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "";
    }

    std::string script_;
    std::string record_;
};

// Children of this process that have ended and not been reaped.
int zombieChildren() {
    int zombies = 0;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return -1;
    while (const dirent* entry = readdir(proc)) {
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        if (parent == getpid() && state == 'Z') ++zombies;
    }
    closedir(proc);
    return zombies;
}

TEST_F(Opener, StartsTheOpenerWithoutAShellInTheFolderAndReapsIt) {
    const std::string name = "it's \"$(touch pwned)\" & more.txt";
    makeFile(name);
    ASSERT_EQ(mkdir(path("Work").c_str(), 0755), 0);
    platform::PosixPlatform platform(script_);
    const std::intptr_t result = platform.ShellExecuteA(
        Platform::WindowHandle{}, "open", dos(name).c_str(), "", dos("Work").c_str(), 1);
    EXPECT_GT(result, 32);
    EXPECT_EQ(recorded(), path(name) + "\n" + path("Work") + "\n") << "one argument, as is";
    EXPECT_EQ(access(path("pwned").c_str(), F_OK), -1) << "no shell read the name";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(zombieChildren(), 0);
}

TEST_F(Opener, WithoutADirectoryRunsInTheFilesFolderAndNullMeansOpen) {
    ASSERT_EQ(mkdir(path("Docs").c_str(), 0755), 0);
    makeFile("Docs/a.txt");
    platform::PosixPlatform platform(script_);
    EXPECT_GT(platform.ShellExecuteA(Platform::WindowHandle{}, nullptr, dos("Docs\\a.txt").c_str(),
                                     nullptr, nullptr, 1),
              32);
    EXPECT_EQ(recorded(), path("Docs/a.txt") + "\n" + path("Docs") + "\n");
}

TEST_F(Opener, FailuresGiveWindowsCodesAndStartNothing) {
    makeFile("a.txt");
    platform::PosixPlatform platform(script_);
    const Platform::WindowHandle none{};
    EXPECT_EQ(platform.ShellExecuteA(none, "open", dos("missing.txt").c_str(), "", nullptr, 1),
              Platform::shellFileNotFound);
    EXPECT_EQ(platform.ShellExecuteA(none, "open", nullptr, "", nullptr, 1),
              Platform::shellFileNotFound);
    EXPECT_EQ(
        platform.ShellExecuteA(none, "open", dos("a.txt").c_str(), "", dos("NoFolder").c_str(), 1),
        Platform::shellPathNotFound);
    EXPECT_EQ(platform.ShellExecuteA(none, "print", dos("a.txt").c_str(), "", nullptr, 1),
              Platform::shellNoAssociation);
    platform::PosixPlatform withoutOpener(folder_->path() + "/no-such-opener");
    EXPECT_EQ(withoutOpener.ShellExecuteA(none, "open", dos("a.txt").c_str(), "", nullptr, 1),
              Platform::shellDllNotFound)
        << "the opener is missing, not the file type's application";
    EXPECT_EQ(recorded(), "") << "nothing was started";
}

struct OpenerRow {
    const char* what;
    const char* body;  // of a shell script that stands in for xdg-open
    std::intptr_t expected;
};

// xdg-open's exit statuses, each seen within the wait and given its Windows code; an opener that
// goes on running (the application in the foreground) counts as started after the wait.
TEST_F(Opener, AnOpenerThatFailsAtOnceIsReportedAndOneThatRunsOnIsNotWaitedFor) {
    makeFile("a.txt");
    const OpenerRow rows[] = {
        {"succeeds", "exit 0", 33},
        {"finds no application (3)", "exit 3", Platform::shellNoAssociation},
        {"finds no file (2)", "exit 2", Platform::shellFileNotFound},
        {"fails otherwise (4)", "exit 4", Platform::shellDdeFailed},
        {"is killed", "kill -KILL $$", Platform::shellDdeFailed},
        {"runs on", "sleep 3", 33},
    };
    const std::string opener = folder_->path() + "/opener";
    for (const OpenerRow& row : rows) {
        std::ofstream(opener) << "#!/bin/sh\n" << row.body << "\n";
        ASSERT_EQ(chmod(opener.c_str(), 0755), 0);
        platform::PosixPlatform platform(opener);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(platform.ShellExecuteA(Platform::WindowHandle{}, "open", dos("a.txt").c_str(), "",
                                         nullptr, 1),
                  row.expected)
            << row.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1900))
            << row.what << ": the user interface waits a bounded time";
        unlink(opener.c_str());
    }
    EXPECT_EQ(zombieChildren(), 0);
}

TEST_F(Opener, OperationIsMatchedWhateverItsCase) {
    makeFile("a.txt");
    platform::PosixPlatform platform(script_);
    EXPECT_GT(platform.ShellExecuteA(Platform::WindowHandle{}, "Open", dos("a.txt").c_str(), "",
                                     nullptr, 1),
              32);
    EXPECT_NE(recorded(), "");
}

}  // namespace
