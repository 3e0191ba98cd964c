// A share whose server went away: the Linux backend on a FUSE file system of type fuse.sshfs
// that stops answering on demand (blocking_share). Every call that reaches the volume gives up
// after the platform's patience, the volume then fails at once until its stuck call returns, and
// other volumes go on answering. Needs root and FUSE; elsewhere the tests skip and say why.
//
// No test here measures how long a call took. A call that waits for the silent share would keep
// its thread in the kernel until the share answers: returnsWithoutTheShare sees that thread there
// and lets it go by letting the share answer, so that such a call fails its test instead of
// hanging it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"

namespace {

using platform::FindData;
using platform::Platform;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto shortPatience = 500ms;

// Whether the kernel shows the thread waiting for a FUSE file system's answer.
bool waitsForFuse(pid_t thread) {
    std::ifstream stack("/proc/self/task/" + std::to_string(thread) + "/stack");
    std::string line;
    while (std::getline(stack, line)) {
        if (line.find("request_wait_answer") != std::string::npos) return true;
    }
    return false;
}

class DeadShare : public scratch::RealVolumeTest {
  protected:
    void SetUp() override {
        const std::string reason = scratch::blockingShareUnavailableReason(VOLSCOPE_BLOCKING_SHARE);
        if (!reason.empty()) GTEST_SKIP() << reason;
        RealVolumeTest::SetUp();
        share_.emplace(VOLSCOPE_BLOCKING_SHARE, folder_->makeFolder("share"));
    }

    // The share's root on that platform, "X:\"; the test skips when no letter is left.
    std::string rootOn(platform::PosixPlatform& platform) {
        const char letter = scratch::letterIn(platform, share_->target());
        if (letter == '\0') return {};
        return {letter, ':', '\\'};
    }

    // Asks until the share's stuck calls have returned and the volume answers again.
    static void waitUntilAnswering(Platform& platform, const std::string& root) {
        while (!platform.GetDiskFreeSpaceA(root.c_str(), nullptr, nullptr, nullptr, nullptr))
            std::this_thread::sleep_for(20ms);
    }

    // Makes action on a thread of its own, and says whether that thread came back without
    // waiting for the share (see the top of this file).
    bool returnsWithoutTheShare(const std::function<void()>& action) {
        std::atomic<pid_t> thread = 0;
        std::atomic<bool> returned = false;
        std::thread caller([&] {
            thread = gettid();
            action();
            returned = true;
        });
        bool waited = false;
        while (!returned && !waited) {
            waited = thread != 0 && waitsForFuse(thread);
            if (!waited) std::this_thread::sleep_for(10ms);
        }
        if (waited) share_->unblock();
        caller.join();
        return !waited;
    }

    std::optional<scratch::BlockingShare> share_;
};

TEST_F(DeadShare, GivesUpAfterTwoSecondsThenFailsUntilTheServerAnswers) {
    const std::string root = rootOn(platform_);
    if (root.empty()) GTEST_SKIP() << "no drive letter is left for the share";
    char fileSystem[64] = {};
    ASSERT_TRUE(platform_.GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                                fileSystem, sizeof fileSystem));
    EXPECT_STREQ(fileSystem, "fuse.sshfs");
    EXPECT_EQ(platform_.GetDriveTypeA(root.c_str()), platform::drive_type::remote);

    share_->block();
    EXPECT_TRUE(returnsWithoutTheShare([&] {
        const Clock::time_point start = Clock::now();
        std::uint32_t clusters = 77;
        EXPECT_FALSE(
            platform_.GetDiskFreeSpaceA(root.c_str(), nullptr, nullptr, nullptr, &clusters));
        EXPECT_GE(Clock::now() - start, 1900ms) << "the patience is two seconds";
        EXPECT_EQ(clusters, 77u) << "a call given up writes nothing";

        FindData data;
        EXPECT_FALSE(platform_.GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr,
                                                     nullptr, nullptr, 0));
        EXPECT_EQ(platform_.FindFirstFileA((root + "*").c_str(), &data),
                  platform::invalidFindHandle);
        EXPECT_EQ(platform_.GetFileAttributesA((root + "same.txt").c_str()),
                  Platform::invalidFileAttributes);
        EXPECT_EQ(platform_.GetDriveTypeA(root.c_str()), platform::drive_type::remote)
            << "the letter's kind needs no answer from the volume";
        EXPECT_TRUE(platform_.GetDiskFreeSpaceA("C:\\", nullptr, nullptr, nullptr, nullptr))
            << "other volumes go on answering";
    }));

    share_->unblock();
    waitUntilAnswering(platform_, root);
    EXPECT_NE(platform_.GetFileAttributesA((root + "same.txt").c_str()),
              Platform::invalidFileAttributes);
}

// Each call that reaches the volume, alone on a share that has just gone silent.
struct CallRow {
    const char* name;
    // Makes the call on the share's root and says whether it failed as a silent volume should.
    std::function<bool(Platform&, const std::string& root)> failsSilently;
};

void PrintTo(const CallRow& row, std::ostream* out) {
    *out << row.name;
}

const CallRow callRows[] = {
    {"GetVolumeInformationA",
     [](Platform& os, const std::string& root) {
         return !os.GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                          nullptr, 0);
     }},
    {"GetDiskFreeSpaceA",
     [](Platform& os, const std::string& root) {
         return !os.GetDiskFreeSpaceA(root.c_str(), nullptr, nullptr, nullptr, nullptr);
     }},
    {"FindFirstFileA",
     [](Platform& os, const std::string& root) {
         FindData data;
         return os.FindFirstFileA((root + "*").c_str(), &data) == platform::invalidFindHandle;
     }},
    {"FindFirstFileAOfOneFile",
     [](Platform& os, const std::string& root) {
         FindData data;
         return os.FindFirstFileA((root + "same.txt").c_str(), &data) ==
                platform::invalidFindHandle;
     }},
    {"GetFileAttributesA",
     [](Platform& os, const std::string& root) {
         return os.GetFileAttributesA((root + "same.txt").c_str()) ==
                Platform::invalidFileAttributes;
     }},
    {"SetFileAttributesA",
     [](Platform& os, const std::string& root) {
         return !os.SetFileAttributesA((root + "same.txt").c_str(),
                                       platform::file_attribute::readOnly);
     }},
    {"CreateFileA",
     [](Platform& os, const std::string& root) {
         return os.CreateFileA((root + "same.txt").c_str(), platform::file_access::genericRead,
                               platform::file_share::read, nullptr,
                               platform::creation_disposition::openExisting, 0,
                               platform::noFile) == platform::invalidFileHandle;
     }},
    {"GetShortPathNameA",
     [](Platform& os, const std::string& root) {
         char shortPath[64];
         return os.GetShortPathNameA((root + "same.txt").c_str(), shortPath, sizeof shortPath) == 0;
     }},
    {"SHGetFileInfoA",
     [](Platform& os, const std::string& root) {
         platform::ShFileInfo info;
         return os.SHGetFileInfoA((root + "same.txt").c_str(), 0, &info, sizeof info,
                                  platform::shell_info::sysIconIndex) == 0;
     }},
    {"ShellExecuteA",
     [](Platform& os, const std::string& root) {
         return os.ShellExecuteA({}, "open", (root + "same.txt").c_str(), "", root.c_str(), 1) <=
                32;
     }},
};

class DeadShareCalls : public DeadShare, public testing::WithParamInterface<CallRow> {};

TEST_P(DeadShareCalls, GiveUpWithoutWaitingForTheShare) {
    platform::PosixPlatform platform("true", "/usr/share/mime", shortPatience);
    const std::string root = rootOn(platform);
    if (root.empty()) GTEST_SKIP() << "no drive letter is left for the share";
    share_->block();
    bool failed = false;
    EXPECT_TRUE(returnsWithoutTheShare([&] { failed = GetParam().failsSilently(platform, root); }));
    EXPECT_TRUE(failed);
    share_->unblock();
    waitUntilAnswering(platform, root);
}

INSTANTIATE_TEST_SUITE_P(Rows, DeadShareCalls, testing::ValuesIn(callRows),
                         [](const auto& row) { return std::string(row.param.name); });

// A change the caller gave up on, made by a server that answers late: nothing may change after
// the program reported that nothing did.
TEST_F(DeadShare, ChangeGivenUpIsNotMadeWhenTheShareAnswersLate) {
    platform::PosixPlatform platform("true", "/usr/share/mime", shortPatience);
    const std::string root = rootOn(platform);
    if (root.empty()) GTEST_SKIP() << "no drive letter is left for the share";
    const std::string file = root + "same.txt";
    const std::uint32_t before = platform.GetFileAttributesA(file.c_str());
    ASSERT_EQ(before & platform::file_attribute::readOnly, 0u);
    share_->block();
    EXPECT_FALSE(platform.SetFileAttributesA(file.c_str(), platform::file_attribute::readOnly));
    share_->unblock();
    waitUntilAnswering(platform, root);
    EXPECT_EQ(platform.GetFileAttributesA(file.c_str()), before);
    EXPECT_TRUE(platform.SetFileAttributesA(file.c_str(), platform::file_attribute::readOnly))
        << "the share takes changes again";
    EXPECT_NE(platform.GetFileAttributesA(file.c_str()) & platform::file_attribute::readOnly, 0u);
}

// What was opened while the share answered, used and closed after it went silent.
TEST_F(DeadShare, OpenListingsAndFilesGiveUpAndCloseWithoutWaiting) {
    platform::PosixPlatform platform("true", "/usr/share/mime", shortPatience);
    const std::string root = rootOn(platform);
    if (root.empty()) GTEST_SKIP() << "no drive letter is left for the share";
    FindData data;
    const platform::FindHandle listing = platform.FindFirstFileA((root + "*").c_str(), &data);
    ASSERT_NE(listing, platform::invalidFindHandle);
    const platform::FileHandle file = platform.CreateFileA(
        (root + "same.txt").c_str(), platform::file_access::genericRead, platform::file_share::read,
        nullptr, platform::creation_disposition::openExisting, 0, platform::noFile);
    ASSERT_NE(file, platform::invalidFileHandle);

    share_->block();
    EXPECT_TRUE(returnsWithoutTheShare([&] {
        platform::FileTime written{1, 2};
        EXPECT_FALSE(platform.GetFileTime(file, nullptr, nullptr, &written));
        EXPECT_EQ(written, (platform::FileTime{1, 2}));
        EXPECT_FALSE(platform.FindNextFileA(listing, &data));
        // Closing a file of a FUSE volume waits for the server (FLUSH); here it must not.
        EXPECT_TRUE(platform.CloseHandle(file));
        EXPECT_TRUE(platform.FindClose(listing));
        EXPECT_FALSE(platform.CloseHandle(file));
    }));
    share_->unblock();
    waitUntilAnswering(platform, root);
}

// The platform going while it holds a file and a listing open on a share that has just gone
// silent, its worker idle: the worker closes them, and the thread that ends the platform never
// waits for the share.
TEST_F(DeadShare, PlatformGoesWithoutWaitingForWhatItHoldsOpen) {
    auto platform =
        std::make_unique<platform::PosixPlatform>("true", "/usr/share/mime", shortPatience);
    const std::string root = rootOn(*platform);
    if (root.empty()) GTEST_SKIP() << "no drive letter is left for the share";
    FindData data;
    ASSERT_NE(platform->FindFirstFileA((root + "*").c_str(), &data), platform::invalidFindHandle);
    ASSERT_NE(
        platform->CreateFileA((root + "same.txt").c_str(), platform::file_access::genericRead,
                              platform::file_share::read, nullptr,
                              platform::creation_disposition::openExisting, 0, platform::noFile),
        platform::invalidFileHandle);
    share_->block();
    EXPECT_TRUE(returnsWithoutTheShare([&] { platform.reset(); }));
    share_->unblock();
}

}  // namespace
