// Opening files with the Linux backend on real volumes, in a scratch folder under /mnt: their
// times, and starting the opener on them. Needs root; elsewhere the tests skip and say why.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/real_file_volume.h"
#include "tests/platform/scratch_volumes.h"

namespace {

namespace attr = platform::file_attribute;
using platform::Platform;
using posix_test::RealVolume;

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
