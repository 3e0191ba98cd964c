// A drive whose share stopped answering: the Windows backend under Wine on a FUSE share that
// goes silent on demand, mapped as a drive letter by tests/wine/dead_drive.sh; elsewhere the
// tests skip. A call that waited for the silent share would not return before the share answers:
// returnsWhileSilent lets the share answer after a wait far beyond the patience, so that such a
// call fails its test instead of hanging it. (Whether a thread waits for the share cannot be seen
// from inside Wine: its server process opens files, so /proc/self is the server's.)
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "platform/win32/win32_platform.h"
#include "tests/win32/dead_drive.h"

namespace {

using platform::Platform;
using namespace std::chrono_literals;

class DeadDrive : public testing::Test {
  protected:
    void SetUp() override {
        drive_ = dead_drive::prepared();
        if (!drive_) GTEST_SKIP() << "no silent drive: run under tests/wine/dead_drive.sh";
        root_ = drive_->root();
        ASSERT_NE(os_.GetFileAttributesA(file("same.txt").c_str()), Platform::invalidFileAttributes)
            << "the share answers before it goes silent";
    }
    void TearDown() override {
        if (drive_) drive_->unblock();
    }

    std::string file(const char* name) const { return root_ + name; }

    // Makes action on a thread of its own while the share is silent, lets the share answer, and
    // says whether action had come back before.
    bool returnsWhileSilent(const std::function<void()>& action) {
        if (!drive_->block()) return false;
        std::future<void> done = std::async(std::launch::async, action);
        const bool returned = done.wait_for(10s) == std::future_status::ready;
        drive_->unblock();
        done.get();
        while (!os_.GetDiskFreeSpaceA(root_.c_str(), nullptr, nullptr, nullptr, nullptr))
            std::this_thread::sleep_for(20ms);  // until the stuck call has returned
        return returned;
    }

    std::optional<dead_drive::DeadDrive> drive_;
    std::string root_;
    platform::Win32Platform os_;  // waits two seconds
};

// The first call gives up after the patience; each further one then fails at once, as a drive
// without a volume, leaving its outputs as they were. A call not made on the drive's worker would
// wait for the share instead.
TEST_F(DeadDrive, EveryCallGivesUpWithoutWaitingForTheShare) {
    EXPECT_TRUE(returnsWhileSilent([&] {
        const auto start = std::chrono::steady_clock::now();
        std::uint32_t clusters = 77;
        EXPECT_FALSE(os_.GetDiskFreeSpaceA(root_.c_str(), nullptr, nullptr, nullptr, &clusters));
        EXPECT_GE(std::chrono::steady_clock::now() - start, 1900ms)
            << "the patience is two seconds";
        EXPECT_EQ(clusters, 77u);

        EXPECT_EQ(os_.GetDriveTypeA(root_.c_str()), platform::drive_type::unknown);
        std::uint32_t serial = 77;
        EXPECT_FALSE(os_.GetVolumeInformationA(root_.c_str(), nullptr, 0, &serial, nullptr, nullptr,
                                               nullptr, 0));
        EXPECT_EQ(serial, 77u);
        platform::FindData found;
        EXPECT_EQ(os_.FindFirstFileA(file("*").c_str(), &found), platform::invalidFindHandle);
        EXPECT_EQ(os_.GetLastError(), platform::error_code::notReady);
        EXPECT_EQ(os_.GetFileAttributesA(file("same.txt").c_str()),
                  Platform::invalidFileAttributes);
        platform::FileAttributeData data{77, 77};
        EXPECT_FALSE(os_.GetFileAttributesExA(file("same.txt").c_str(),
                                              platform::file_info_level::standard, &data));
        EXPECT_EQ(os_.GetLastError(), platform::error_code::notReady);
        EXPECT_EQ(data.fileSize, 77u);
        EXPECT_FALSE(os_.SetFileAttributesA(file("same.txt").c_str(), 0));
        EXPECT_EQ(
            os_.CreateFileA(file("same.txt").c_str(), platform::file_access::genericRead,
                            platform::file_share::read, nullptr,
                            platform::creation_disposition::openExisting, 0, platform::noFile),
            platform::invalidFileHandle);
        char shortPath[16] = "untouched";
        EXPECT_EQ(os_.GetShortPathNameA(file("same.txt").c_str(), shortPath, sizeof shortPath), 0u);
        EXPECT_STREQ(shortPath, "untouched");
        platform::ShFileInfo info;
        info.iconIndex = 77;
        EXPECT_EQ(os_.SHGetFileInfoA(file("same.txt").c_str(), 0, &info, sizeof info,
                                     platform::shell_info::sysIconIndex),
                  0u);
        EXPECT_EQ(info.iconIndex, 77);
        EXPECT_EQ(os_.ShellExecuteA({}, "open", file("same.txt").c_str(), nullptr, nullptr, 1),
                  Platform::shellFileNotFound);
        // These need only return: Wine names the volume without asking it, and under Wine the
        // system drive's volume information waits for any silent FUSE mount.
        char name[64];
        os_.GetVolumeNameForVolumeMountPointA(root_.c_str(), name, sizeof name);
        os_.GetVolumeInformationA("C:\\", name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0);
    }));
    EXPECT_NE(os_.GetFileAttributesA(file("same.txt").c_str()), Platform::invalidFileAttributes)
        << "the drive answers again once its stuck call has returned";
}

// A change given up on while it waited to reach the file: nothing may change after the program
// reported that nothing did.
TEST_F(DeadDrive, ChangeGivenUpIsNotMadeWhenTheShareAnswersLate) {
    const std::uint32_t before = os_.GetFileAttributesA(file("notes.txt").c_str());
    ASSERT_EQ(before & platform::file_attribute::hidden, 0u);
    EXPECT_TRUE(returnsWhileSilent([&] {
        EXPECT_FALSE(
            os_.SetFileAttributesA(file("notes.txt").c_str(), platform::file_attribute::hidden));
    }));
    EXPECT_EQ(os_.GetFileAttributesA(file("notes.txt").c_str()), before);
}

// What was opened while the share answered, used and closed after it went silent, is closed for
// real once the share answers.
TEST_F(DeadDrive, OpenListingsAndFilesGiveUpAndCloseOnceTheShareAnswers) {
    platform::FindData found;
    const platform::FindHandle listing = os_.FindFirstFileA(file("*").c_str(), &found);
    ASSERT_NE(listing, platform::invalidFindHandle);
    const platform::FileHandle reader = os_.CreateFileA(
        file("same.txt").c_str(), platform::file_access::genericRead, platform::file_share::read,
        nullptr, platform::creation_disposition::openExisting, 0, platform::noFile);
    ASSERT_NE(reader, platform::invalidFileHandle);

    EXPECT_TRUE(returnsWhileSilent([&] {
        platform::FileTime written{1, 2};
        EXPECT_FALSE(os_.GetFileTime(reader, nullptr, nullptr, &written));
        EXPECT_EQ(written, (platform::FileTime{1, 2}));
        platform::ByHandleFileInformation identity{7, 7, 7};
        EXPECT_FALSE(os_.GetFileInformationByHandle(reader, &identity));
        EXPECT_EQ(identity, (platform::ByHandleFileInformation{7, 7, 7}));
        EXPECT_TRUE(os_.CloseHandle(reader));
        EXPECT_TRUE(os_.FindClose(listing));
    }));
    const HANDLE writer = ::CreateFileA(file("same.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "the reader shared only reading";
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
}

}  // namespace
