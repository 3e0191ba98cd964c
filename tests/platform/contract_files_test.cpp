// The file calls of platform::Platform, with the Windows functions' own contracts, pinned for
// every backend: opening and sharing, times, short paths and icons.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/contract_backend.h"
#include "tests/platform/contract_fixture.h"
#include "tests/support/recording_device_context.h"

namespace {

using platform::FileHandle;
using platform::FileTime;
using platform::invalidFileHandle;
using platform::SystemTime;

constexpr std::uint32_t read = platform::file_access::genericRead;
constexpr std::uint32_t write = platform::file_access::genericWrite;
constexpr std::uint32_t shareRead = platform::file_share::read;
constexpr std::uint32_t shareAll = platform::file_share::read | platform::file_share::write;
constexpr std::uint32_t openExisting = platform::creation_disposition::openExisting;
constexpr std::uint32_t archive = platform::file_attribute::archive;
// What the browser passes to SHGetFileInfoA: the system icon index, the type, the display name
// and the shell's icon size, large.
constexpr std::uint32_t browserIconFlags = 0x6604;
constexpr FileTime untouchedTime{0xDEADBEEFU, 0xDEADBEEFU};
constexpr char fill = '#';

class FileContract : public contract::BackendTest {
  protected:
    std::string knownPath() const { return knownRoot() + knownFile_.name; }

    // Opens a file as the program does, or with the access and share mode given.
    FileHandle open(const std::string& path, std::uint32_t access = read,
                    std::uint32_t share = shareRead) {
        return platform().CreateFileA(path.c_str(), access, share, nullptr, openExisting, archive,
                                      platform::noFile);
    }

    const contract::Backend::KnownFile knownFile_;
};

// Opening and closing.

TEST_P(FileContract, FindingANameWithoutWildcardsGivesThatOneFile) {
    platform::FindData found;
    const platform::FindHandle handle = platform().FindFirstFileA(knownPath().c_str(), &found);
    ASSERT_NE(handle, platform::invalidFindHandle);
    EXPECT_EQ(found.fileName, knownFile_.name);
    EXPECT_EQ(found.fileSize, knownFile_.size);
    platform::FindData more;
    EXPECT_FALSE(platform().FindNextFileA(handle, &more));
    EXPECT_TRUE(platform().FindClose(handle));
    EXPECT_EQ(platform().FindFirstFileA((knownRoot() + "Missing.txt").c_str(), &found),
              platform::invalidFindHandle);
}

TEST_P(FileContract, OpensTheKnownFileAsTheProgramDoesAndClosesItOnce) {
    const FileHandle file = open(knownPath());
    ASSERT_NE(file, invalidFileHandle);
    EXPECT_NE(file, platform::noFile);
    EXPECT_TRUE(platform().CloseHandle(file));
    EXPECT_FALSE(platform().CloseHandle(file)) << "closed once only";
}

TEST_P(FileContract, WhatIsNoOpenableFileGivesTheInvalidHandle) {
    const std::vector<std::string> paths = {
        knownRoot() + "missing.txt",
        knownRoot() + "Listing",
        knownRoot() + "Listing\\missing\\plain.txt",
        knownRoot() + knownFile_.name + "\\inner",
        knownRoot(),
        std::string{backend_->emptyLetter(), ':', '\\'} + knownFile_.name,
        knownFile_.name,
        "",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE("path \"" + path + "\"");
        EXPECT_EQ(open(path), invalidFileHandle);
    }
    EXPECT_EQ(platform().CreateFileA(nullptr, read, shareRead, nullptr, openExisting, archive,
                                     platform::noFile),
              invalidFileHandle);
}

TEST_P(FileContract, WhatTheInterfaceDoesNotSupportIsRefused) {
    struct Row {
        const char* what;
        std::uint32_t access;
        std::uint32_t share;
        std::uint32_t disposition;
        std::uint32_t flags;
    };
    const Row rows[] = {
        {"no access", 0, shareRead, openExisting, archive},
        {"GENERIC_EXECUTE", 0x20000000U, shareRead, openExisting, archive},
        {"GENERIC_ALL", 0x10000000U, shareRead, openExisting, archive},
        {"an unknown share bit", read, 0x8, openExisting, archive},
        {"CREATE_ALWAYS", read, shareRead, 2, archive},
        {"OPEN_ALWAYS", read, shareRead, 4, archive},
        {"TRUNCATE_EXISTING", write, shareRead, 5, archive},
        {"FILE_FLAG_DELETE_ON_CLOSE", read, shareRead, openExisting, 0x04000000U},
    };
    const std::string path = knownPath();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(platform().CreateFileA(path.c_str(), row.access, row.share, nullptr,
                                         row.disposition, row.flags, platform::noFile),
                  invalidFileHandle);
    }
    const int securityAttributes = 0;
    EXPECT_EQ(platform().CreateFileA(path.c_str(), read, shareRead, &securityAttributes,
                                     openExisting, archive, platform::noFile),
              invalidFileHandle);
    const FileHandle other = open(path);
    ASSERT_NE(other, invalidFileHandle);
    EXPECT_EQ(platform().CreateFileA(path.c_str(), read, shareRead, nullptr, openExisting, archive,
                                     other),
              invalidFileHandle)
        << "no template file";
    EXPECT_TRUE(platform().CloseHandle(other));
}

// Identity: which file a handle is.

TEST_P(FileContract, HandlesOfOneFileTellTheSameFileAndOfAnotherFileAnother) {
    const FileHandle first = open(knownPath(), read, shareAll);
    const FileHandle second = open(knownPath(), read, shareAll);
    const FileHandle other = open(backend_->makeFile("identity.txt"), read, shareAll);
    ASSERT_NE(first, invalidFileHandle);
    ASSERT_NE(second, invalidFileHandle);
    ASSERT_NE(other, invalidFileHandle);
    platform::ByHandleFileInformation a;
    platform::ByHandleFileInformation b;
    platform::ByHandleFileInformation c;
    ASSERT_TRUE(platform().GetFileInformationByHandle(first, &a));
    ASSERT_TRUE(platform().GetFileInformationByHandle(second, &b));
    ASSERT_TRUE(platform().GetFileInformationByHandle(other, &c));
    EXPECT_EQ(a, b);
    EXPECT_EQ(c.volumeSerialNumber, a.volumeSerialNumber) << "one volume";
    EXPECT_TRUE(c.fileIndexHigh != a.fileIndexHigh || c.fileIndexLow != a.fileIndexLow)
        << "two files";
    for (const FileHandle handle : {first, second, other})
        EXPECT_TRUE(platform().CloseHandle(handle));
}

TEST_P(FileContract, IdentityOfAHandleNotOpenIsRefusedAndWritesNothing) {
    constexpr platform::ByHandleFileInformation untouched{0xDEADBEEFU, 0xDEADBEEFU, 0xDEADBEEFU};
    const FileHandle closed = open(knownPath());
    ASSERT_NE(closed, invalidFileHandle);
    ASSERT_TRUE(platform().CloseHandle(closed));
    for (const FileHandle handle : {invalidFileHandle, platform::noFile, closed}) {
        SCOPED_TRACE(static_cast<std::uintptr_t>(handle));
        platform::ByHandleFileInformation information = untouched;
        EXPECT_FALSE(platform().GetFileInformationByHandle(handle, &information));
        EXPECT_EQ(information, untouched);
    }
    const FileHandle file = open(knownPath());
    EXPECT_FALSE(platform().GetFileInformationByHandle(file, nullptr));
    EXPECT_TRUE(platform().CloseHandle(file));
}

TEST_P(FileContract, HandlesNotOpenAreRefusedAndLeaveTheTimesUntouched) {
    for (const FileHandle handle : {invalidFileHandle, platform::noFile, FileHandle{12345}}) {
        SCOPED_TRACE(static_cast<std::uintptr_t>(handle));
        EXPECT_FALSE(platform().CloseHandle(handle));
        FileTime creation = untouchedTime;
        FileTime lastAccess = untouchedTime;
        FileTime lastWrite = untouchedTime;
        EXPECT_FALSE(platform().GetFileTime(handle, &creation, &lastAccess, &lastWrite));
        EXPECT_EQ(creation, untouchedTime);
        EXPECT_EQ(lastAccess, untouchedTime);
        EXPECT_EQ(lastWrite, untouchedTime);
    }
    const FileHandle closed = open(knownPath());
    ASSERT_NE(closed, invalidFileHandle);
    ASSERT_TRUE(platform().CloseHandle(closed));
    FileTime lastWrite = untouchedTime;
    EXPECT_FALSE(platform().GetFileTime(closed, nullptr, nullptr, &lastWrite));
    EXPECT_EQ(lastWrite, untouchedTime) << "a closed handle tells nothing";
}

// Share modes.

TEST_P(FileContract, ReadersThatShareReadingOpenSideBySide) {
    const FileHandle first = open(knownPath());
    const FileHandle second = open(knownPath());
    ASSERT_NE(first, invalidFileHandle);
    ASSERT_NE(second, invalidFileHandle);
    EXPECT_NE(first, second);
    EXPECT_TRUE(platform().CloseHandle(first));
    EXPECT_TRUE(platform().GetFileTime(second, nullptr, nullptr, nullptr))
        << "closing one leaves the other open";
    EXPECT_TRUE(platform().CloseHandle(second));
}

TEST_P(FileContract, FileOpenForWritingElsewhereCannotBeOpenedSharingOnlyReading) {
    {
        const std::shared_ptr<void> writer = backend_->holdKnownFileOpenForWriting();
        EXPECT_EQ(open(knownPath()), invalidFileHandle);
        const FileHandle sharing = open(knownPath(), read, shareAll);
        EXPECT_NE(sharing, invalidFileHandle) << "sharing writing, the open goes ahead";
        EXPECT_TRUE(platform().CloseHandle(sharing));
    }
    const FileHandle afterwards = open(knownPath());
    EXPECT_NE(afterwards, invalidFileHandle) << "once the writer is gone";
    EXPECT_TRUE(platform().CloseHandle(afterwards));
}

TEST_P(FileContract, FileThisPlatformOpenedForWritingCannotBeOpenedSharingOnlyReading) {
    const FileHandle writer = open(knownPath(), write, shareAll);
    ASSERT_NE(writer, invalidFileHandle);
    EXPECT_EQ(open(knownPath()), invalidFileHandle);
    const FileHandle sharing = open(knownPath(), read, shareAll);
    EXPECT_NE(sharing, invalidFileHandle);
    EXPECT_TRUE(platform().CloseHandle(sharing));
    EXPECT_TRUE(platform().CloseHandle(writer));

    const FileHandle afterwards = open(knownPath());
    EXPECT_NE(afterwards, invalidFileHandle);
    EXPECT_TRUE(platform().CloseHandle(afterwards));
}

TEST_P(FileContract, FileOpenSharingOnlyReadingCannotBeOpenedForWriting) {
    const FileHandle reader = open(knownPath());
    ASSERT_NE(reader, invalidFileHandle);
    EXPECT_EQ(open(knownPath(), write, shareAll), invalidFileHandle);
    EXPECT_TRUE(platform().CloseHandle(reader));
    const FileHandle writer = open(knownPath(), write, shareAll);
    EXPECT_NE(writer, invalidFileHandle);
    EXPECT_TRUE(platform().CloseHandle(writer));
}

// Times.

TEST_P(FileContract, GetFileTimeGivesTheTimesTheKnownFileWasGiven) {
    const FileHandle file = open(knownPath());
    ASSERT_NE(file, invalidFileHandle);
    FileTime creation = untouchedTime;
    FileTime lastAccess = untouchedTime;
    FileTime lastWrite = untouchedTime;
    ASSERT_TRUE(platform().GetFileTime(file, &creation, &lastAccess, &lastWrite));
    EXPECT_EQ(lastWrite, knownFile_.lastWriteTime) << "to the 100 nanoseconds";
    EXPECT_EQ(lastAccess, knownFile_.lastAccessTime) << "before 1970 too";
    EXPECT_NE(creation, untouchedTime);

    FileTime onlyWrite = untouchedTime;
    EXPECT_TRUE(platform().GetFileTime(file, nullptr, nullptr, &onlyWrite));
    EXPECT_EQ(onlyWrite, knownFile_.lastWriteTime) << "null outputs are skipped";
    EXPECT_TRUE(platform().CloseHandle(file));
}

struct TimeRow {
    std::uint64_t ticks;
    SystemTime time;
};

FileTime fileTimeOf(std::uint64_t ticks) {
    return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

TEST_P(FileContract, FileTimeToSystemTimeGivesTheCalendarDate) {
    // year, month, dayOfWeek (0 Sunday), day, hour, minute, second, milliseconds
    const TimeRow rows[] = {
        {0, {1601, 1, 1, 1, 0, 0, 0, 0}},
        {9'999, {1601, 1, 1, 1, 0, 0, 0, 0}},  // below a millisecond
        {10'000, {1601, 1, 1, 1, 0, 0, 0, 1}},
        {0x019DB1DED53E8000ULL, {1970, 1, 4, 1, 0, 0, 0, 0}},  // the Unix epoch
        {0x01C3D394A4DF7607ULL, {2004, 1, 1, 5, 14, 3, 7, 123}},
        {0x01C5204D1BBF0000ULL, {2005, 3, 5, 4, 0, 0, 0, 0}},
        {0x01BF8247EBCC8000ULL, {2000, 2, 2, 29, 0, 0, 0, 0}},  // leap day of a 400th year
        {0x014F6598C43F8000ULL - 864'000'000'000ULL, {1900, 2, 3, 28, 0, 0, 0, 0}},
        {0x014F6598C43F8000ULL, {1900, 3, 4, 1, 0, 0, 0, 0}},  // 1900 has no leap day
        {0x01BF53EB256D3FFFULL, {1999, 12, 5, 31, 23, 59, 59, 999}},
        {0x01E9FD1ED53E8000ULL, {2038, 1, 2, 19, 3, 14, 8, 0}},  // past 32-bit Unix time
        {0x7FFFFFFFFFFFFFFFULL, {30828, 9, 4, 14, 2, 48, 5, 477}},
    };
    for (const TimeRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "ticks 0x" << std::hex << row.ticks);
        const FileTime fileTime = fileTimeOf(row.ticks);
        SystemTime time{};
        ASSERT_TRUE(platform().FileTimeToSystemTime(&fileTime, &time));
        EXPECT_EQ(time, row.time);
    }
}

TEST_P(FileContract, FileTimeToSystemTimeRefusesTimesFromTwoToTheSixtyThird) {
    const SystemTime untouched{1, 2, 3, 4, 5, 6, 7, 8};
    for (const std::uint64_t ticks : {0x8000000000000000ULL, 0xFFFFFFFFFFFFFFFFULL}) {
        SCOPED_TRACE(testing::Message() << "ticks 0x" << std::hex << ticks);
        const FileTime fileTime = fileTimeOf(ticks);
        SystemTime time = untouched;
        EXPECT_FALSE(platform().FileTimeToSystemTime(&fileTime, &time));
        EXPECT_EQ(time, untouched);
    }
}

// Short paths.

TEST_P(FileContract, ShortPathOfAnExistingFileIsWrittenWithItsLength) {
    for (const std::string& path :
         {knownPath(), knownRoot() + "Listing", knownRoot() + "Listing\\Sub"}) {
        SCOPED_TRACE(path);
        std::array<char, 260> buffer{};
        buffer.fill(fill);
        const std::uint32_t length =
            platform().GetShortPathNameA(path.c_str(), buffer.data(), buffer.size());
        ASSERT_GT(length, 0u);
        ASSERT_LT(length, buffer.size());
        EXPECT_EQ(buffer[length], '\0');
        EXPECT_EQ(std::string(buffer.data()).size(), length);
        if (!backend_->keepsShortNames()) {
            EXPECT_EQ(std::string(buffer.data()), path);
        }
    }
}

TEST_P(FileContract, ShortPathThatDoesNotFitGivesTheSizeItNeedsAndWritesNothing) {
    const std::string path = knownPath();
    std::array<char, 260> fitting{};
    const std::uint32_t length =
        platform().GetShortPathNameA(path.c_str(), fitting.data(), fitting.size());
    ASSERT_GT(length, 0u);

    for (const std::uint32_t size : {length, 1u, 0u}) {
        SCOPED_TRACE(size);
        std::array<char, 260> buffer{};
        buffer.fill(fill);
        EXPECT_EQ(platform().GetShortPathNameA(path.c_str(), buffer.data(), size), length + 1)
            << "the size needed counts the NUL";
        EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == fill; }));
    }
    EXPECT_EQ(platform().GetShortPathNameA(path.c_str(), nullptr, 0), length + 1);

    std::array<char, 260> exact{};
    exact.fill(fill);
    EXPECT_EQ(platform().GetShortPathNameA(path.c_str(), exact.data(), length + 1), length);
    EXPECT_EQ(std::string(exact.data()), std::string(fitting.data()));
    EXPECT_EQ(exact[length + 1], fill);
}

TEST_P(FileContract, ShortPathOfNothingIsZeroAndWritesNothing) {
    const std::vector<std::string> paths = {
        knownRoot() + "missing.txt",
        knownRoot() + "Listing\\missing\\plain.txt",
        std::string{backend_->emptyLetter(), ':', '\\'} + knownFile_.name,
        "",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE("path \"" + path + "\"");
        std::array<char, 16> buffer{};
        buffer.fill(fill);
        EXPECT_EQ(platform().GetShortPathNameA(path.c_str(), buffer.data(), buffer.size()), 0u);
        EXPECT_EQ(buffer[0], fill);
    }
    EXPECT_EQ(platform().GetShortPathNameA(nullptr, nullptr, 0), 0u);
}

// Icons.

TEST_P(FileContract, IconOfTheKnownFileIsInTheSystemImageList) {
    platform::ShFileInfo info;
    info.iconIndex = -7;
    const std::uintptr_t list =
        platform().SHGetFileInfoA(knownPath().c_str(), 0, &info, sizeof info, browserIconFlags);
    ASSERT_NE(list, 0u);
    EXPECT_GE(info.iconIndex, 0);

    platform::ShFileInfo again;
    EXPECT_EQ(
        platform().SHGetFileInfoA(knownPath().c_str(), 0, &again, sizeof again, browserIconFlags),
        list)
        << "one system image list";
    EXPECT_EQ(again.iconIndex, info.iconIndex);

    platform::ShFileInfo folder;
    EXPECT_EQ(platform().SHGetFileInfoA((knownRoot() + "Listing").c_str(), 0, &folder,
                                        sizeof folder, browserIconFlags),
              list);
    EXPECT_NE(folder.iconIndex, info.iconIndex) << "a folder looks unlike a text file";
}

TEST_P(FileContract, IconOfNothingIsZeroAndLeavesTheInfoUntouched) {
    const std::vector<std::string> paths = {
        knownRoot() + "missing.txt",
        knownRoot() + "Listing\\missing\\plain.txt",
        std::string{backend_->emptyLetter(), ':', '\\'} + knownFile_.name,
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        platform::ShFileInfo info;
        info.iconIndex = -7;
        info.displayName = "#untouched#";
        EXPECT_EQ(platform().SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, browserIconFlags),
                  0u);
        EXPECT_EQ(info.iconIndex, -7);
        EXPECT_EQ(info.displayName, "#untouched#");
    }
    platform::ShFileInfo info;
    EXPECT_EQ(platform().SHGetFileInfoA(nullptr, 0, &info, sizeof info, browserIconFlags), 0u);
    EXPECT_EQ(
        platform().SHGetFileInfoA(knownPath().c_str(), 0, nullptr, sizeof info, browserIconFlags),
        0u);
}

TEST_P(FileContract, ImageListDrawDrawsTheFilesIconWhereAsked) {
    platform::ShFileInfo info;
    const std::uintptr_t list =
        platform().SHGetFileInfoA(knownPath().c_str(), 0, &info, sizeof info, browserIconFlags);
    ASSERT_NE(list, 0u);
    fake::RecordingDeviceContext surface;
    if (!backend_->drawsThemeIcons()) {
        EXPECT_FALSE(platform().ImageList_Draw(list, info.iconIndex, surface, 3, 4, 1))
            << "a surface without a native handle";
        EXPECT_TRUE(surface.draws().empty());
        return;
    }
    EXPECT_TRUE(platform().ImageList_Draw(list, info.iconIndex, surface, 3, 4, 1));
    ASSERT_EQ(surface.draws().size(), 1u);
    EXPECT_FALSE(surface.draws()[0].iconName.empty());
    EXPECT_EQ(surface.draws()[0].x, 3);
    EXPECT_EQ(surface.draws()[0].y, 4);
}

TEST_P(FileContract, ImageListDrawRefusesUnknownListsAndIndexes) {
    platform::ShFileInfo info;
    const std::uintptr_t list =
        platform().SHGetFileInfoA(knownPath().c_str(), 0, &info, sizeof info, browserIconFlags);
    ASSERT_NE(list, 0u);
    fake::RecordingDeviceContext surface;
    EXPECT_FALSE(platform().ImageList_Draw(0, info.iconIndex, surface, 0, 0, 1));
    EXPECT_FALSE(platform().ImageList_Draw(list, -1, surface, 0, 0, 1));
    EXPECT_FALSE(platform().ImageList_Draw(list, 1'000'000, surface, 0, 0, 1));
    EXPECT_TRUE(surface.draws().empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, FileContract, testing::ValuesIn(contract::backends),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
