// A drive whose share stopped answering: the Windows backend under Wine on a FUSE share that stops
// answering on demand, mapped as a drive letter by tests/wine/dead_drive.sh. Every call that
// reaches the drive gives up after the platform's patience, the drive then fails at once until
// its stuck call returns, and other drives never keep the caller waiting. Elsewhere the tests
// skip.
//
// Whether the caller's thread waits for the share cannot be seen from inside Wine (the server
// process opens files, so /proc/self is the server's). A call that waited for the silent share
// would not return before the share answers: returnsWhileSilent lets the share answer after a
// wait far beyond the patience, so that such a call fails its test instead of hanging it.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "platform/win32/win32_platform.h"
#include "tests/win32/dead_drive.h"

namespace {

using platform::FindData;
using platform::Platform;
using namespace std::chrono_literals;

constexpr auto shortPatience = 500ms;

class DeadDrive : public testing::Test {
  protected:
    void SetUp() override {
        drive_ = dead_drive::prepared();
        if (!drive_) GTEST_SKIP() << "no silent drive: run under tests/wine/dead_drive.sh";
        root_ = drive_->root();
        drive_->unblock();
    }

    void TearDown() override {
        if (drive_) drive_->unblock();
    }

    // Asks until the drive's stuck calls have returned and it answers again.
    void waitUntilAnswering(Platform& os) const {
        while (!os.GetDiskFreeSpaceA(root_.c_str(), nullptr, nullptr, nullptr, nullptr))
            std::this_thread::sleep_for(20ms);
    }

    // Makes action on a thread of its own while the share is silent, and says whether it came
    // back before the share was let answer (see the top of this file).
    bool returnsWhileSilent(const std::function<void()>& action) {
        std::mutex mutex;
        std::condition_variable done;
        bool returned = false;
        std::thread caller([&] {
            action();
            const std::lock_guard lock(mutex);
            returned = true;
            done.notify_one();
        });
        bool inTime = false;
        {
            std::unique_lock lock(mutex);
            inTime = done.wait_for(lock, 20 * shortPatience, [&] { return returned; });
        }
        drive_->unblock();
        caller.join();
        return inTime;
    }

    std::optional<dead_drive::DeadDrive> drive_;
    std::string root_;
};

TEST_F(DeadDrive, GivesUpAfterTwoSecondsThenFailsUntilTheShareAnswers) {
    platform::Win32Platform os;
    ASSERT_NE(os.GetFileAttributesA((root_ + "same.txt").c_str()), Platform::invalidFileAttributes)
        << "the share answers before it goes silent";

    ASSERT_TRUE(drive_->block());
    EXPECT_TRUE(returnsWhileSilent([&] {
        const auto start = std::chrono::steady_clock::now();
        std::uint32_t clusters = 77;
        EXPECT_FALSE(os.GetDiskFreeSpaceA(root_.c_str(), nullptr, nullptr, nullptr, &clusters));
        EXPECT_GE(std::chrono::steady_clock::now() - start, 1900ms)
            << "the patience is two seconds";
        EXPECT_EQ(clusters, 77u) << "a call given up writes nothing";

        FindData data;
        EXPECT_FALSE(os.GetVolumeInformationA(root_.c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                              nullptr, 0));
        EXPECT_EQ(os.FindFirstFileA((root_ + "*").c_str(), &data), platform::invalidFindHandle);
        EXPECT_EQ(os.GetLastError(), platform::error_code::notReady);
        EXPECT_EQ(os.GetDriveTypeA(root_.c_str()), platform::drive_type::unknown);
        // Under Wine the system drive's volume information waits for any silent FUSE mount.
        char label[64];
        os.GetVolumeInformationA("C:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                                 0);
    }));

    waitUntilAnswering(os);
    EXPECT_NE(os.GetFileAttributesA((root_ + "same.txt").c_str()), Platform::invalidFileAttributes);
}

// Each call that reaches the drive, alone on a share that has just gone silent.
struct CallRow {
    const char* name;
    // Makes the call on the drive's root and says whether it failed as a silent drive should.
    std::function<bool(Platform&, const std::string& root)> failsSilently;
};

void PrintTo(const CallRow& row, std::ostream* out) {
    *out << row.name;
}

const CallRow callRows[] = {
    {"GetDriveTypeA",
     [](Platform& os, const std::string& root) {
         return os.GetDriveTypeA(root.c_str()) == platform::drive_type::unknown;
     }},
    {"GetVolumeInformationA",
     [](Platform& os, const std::string& root) {
         std::uint32_t serial = 77;
         return !os.GetVolumeInformationA(root.c_str(), nullptr, 0, &serial, nullptr, nullptr,
                                          nullptr, 0) &&
                serial == 77;
     }},
    // Wine's mount manager names the volume without asking it; Windows keeps no name of a share.
    {"GetVolumeNameForVolumeMountPointA",
     [](Platform& os, const std::string& root) {
         char name[64] = "untouched";
         return os.GetVolumeNameForVolumeMountPointA(root.c_str(), name, sizeof name) ||
                std::string(name) == "untouched";
     }},
    {"FindFirstFileA",
     [](Platform& os, const std::string& root) {
         FindData data;
         return os.FindFirstFileA((root + "*").c_str(), &data) == platform::invalidFindHandle &&
                os.GetLastError() == platform::error_code::notReady;
     }},
    {"FindFirstFileAOfOneFile",
     [](Platform& os, const std::string& root) {
         FindData data;
         return os.FindFirstFileA((root + "same.txt").c_str(), &data) ==
                    platform::invalidFindHandle &&
                os.GetLastError() == platform::error_code::notReady;
     }},
    {"GetFileAttributesA",
     [](Platform& os, const std::string& root) {
         return os.GetFileAttributesA((root + "same.txt").c_str()) ==
                Platform::invalidFileAttributes;
     }},
    {"GetFileAttributesExA",
     [](Platform& os, const std::string& root) {
         platform::FileAttributeData data{77, 77};
         return !os.GetFileAttributesExA((root + "same.txt").c_str(),
                                         platform::file_info_level::standard, &data) &&
                os.GetLastError() == platform::error_code::notReady && data.fileSize == 77;
     }},
    {"SetFileAttributesA",
     [](Platform& os, const std::string& root) {
         return !os.SetFileAttributesA((root + "same.txt").c_str(),
                                       platform::file_attribute::hidden);
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
         char shortPath[64] = "untouched";
         return os.GetShortPathNameA((root + "same.txt").c_str(), shortPath, sizeof shortPath) ==
                    0 &&
                std::string(shortPath) == "untouched";
     }},
    {"SHGetFileInfoA",
     [](Platform& os, const std::string& root) {
         platform::ShFileInfo info;
         info.iconIndex = 77;
         return os.SHGetFileInfoA((root + "same.txt").c_str(), 0, &info, sizeof info,
                                  platform::shell_info::sysIconIndex) == 0 &&
                info.iconIndex == 77;
     }},
    {"ShellExecuteA",
     [](Platform& os, const std::string& root) {
         return os.ShellExecuteA({}, "open", (root + "same.txt").c_str(), nullptr, nullptr, 1) ==
                Platform::shellFileNotFound;
     }},
};

class DeadDriveCalls : public DeadDrive, public testing::WithParamInterface<CallRow> {};

TEST_P(DeadDriveCalls, GiveUpWithoutWaitingForTheShare) {
    platform::Win32Platform os(shortPatience);
    ASSERT_TRUE(drive_->block());
    bool failed = false;
    EXPECT_TRUE(returnsWhileSilent([&] { failed = GetParam().failsSilently(os, root_); }));
    EXPECT_TRUE(failed);
    waitUntilAnswering(os);
}

INSTANTIATE_TEST_SUITE_P(Rows, DeadDriveCalls, testing::ValuesIn(callRows),
                         [](const auto& row) { return std::string(row.param.name); });

// A change the caller gave up on, reached by a share that answers late: nothing may change after
// the program reported that nothing did.
TEST_F(DeadDrive, ChangeGivenUpIsNotMadeWhenTheShareAnswersLate) {
    platform::Win32Platform os(shortPatience);
    const std::string file = root_ + "notes.txt";
    const std::uint32_t before = os.GetFileAttributesA(file.c_str());
    ASSERT_NE(before, Platform::invalidFileAttributes);
    ASSERT_EQ(before & platform::file_attribute::hidden, 0u);
    ASSERT_TRUE(drive_->block());
    EXPECT_TRUE(returnsWhileSilent([&] {
        EXPECT_FALSE(os.SetFileAttributesA(file.c_str(), platform::file_attribute::hidden));
    }));
    waitUntilAnswering(os);
    EXPECT_EQ(os.GetFileAttributesA(file.c_str()), before);
    EXPECT_TRUE(os.SetFileAttributesA(file.c_str(), platform::file_attribute::hidden))
        << "the share takes changes again";
    EXPECT_NE(os.GetFileAttributesA(file.c_str()) & platform::file_attribute::hidden, 0u);
    EXPECT_TRUE(os.SetFileAttributesA(file.c_str(), before));
}

// What was opened while the share answered, used and closed after it went silent; closed for
// real once it answers again.
TEST_F(DeadDrive, OpenListingsAndFilesGiveUpAndCloseWithoutWaiting) {
    platform::Win32Platform os(shortPatience);
    const std::string file = root_ + "same.txt";
    FindData data;
    const platform::FindHandle listing = os.FindFirstFileA((root_ + "*").c_str(), &data);
    ASSERT_NE(listing, platform::invalidFindHandle);
    const platform::FileHandle reader =
        os.CreateFileA(file.c_str(), platform::file_access::genericRead, platform::file_share::read,
                       nullptr, platform::creation_disposition::openExisting, 0, platform::noFile);
    ASSERT_NE(reader, platform::invalidFileHandle);

    ASSERT_TRUE(drive_->block());
    EXPECT_TRUE(returnsWhileSilent([&] {
        platform::FileTime written{1, 2};
        EXPECT_FALSE(os.GetFileTime(reader, nullptr, nullptr, &written));
        EXPECT_EQ(written, (platform::FileTime{1, 2}));
        platform::ByHandleFileInformation identity{7, 7, 7};
        EXPECT_FALSE(os.GetFileInformationByHandle(reader, &identity));
        EXPECT_EQ(identity, (platform::ByHandleFileInformation{7, 7, 7}));
        EXPECT_TRUE(os.CloseHandle(reader));
        EXPECT_TRUE(os.FindClose(listing));
    }));

    waitUntilAnswering(os);
    const HANDLE writer = ::CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE)
        << "the reader, which shared only reading, is closed once the share answers";
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
}

}  // namespace
