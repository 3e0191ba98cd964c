// The Windows backend under Wine, on the drives tests/wine/run_wine_tests.sh prepares.
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/platform/wine_drives.h"
#include "volume_queries/mod_volscope.h"

namespace {

class Win32PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto prepared = wine_drives::prepared();
        if (!prepared) GTEST_SKIP() << "no prepared drives: run under tests/wine/run_wine_tests.sh";
        drives = *prepared;
    }

    static std::string root(char letter) { return {letter, ':', '\\'}; }

    wine_drives::Drives drives;
    platform::Win32Platform os;
};

TEST_F(Win32PlatformTest, LetterWithoutDriveGivesTypeOneAndAnEmptyRecordWithoutAPopUp) {
    const UINT modeBefore = ::GetErrorMode();
    EXPECT_EQ(os.GetDriveTypeA(root(drives.empty).c_str()), platform::drive_type::noRootDir);

    volume_queries::ModVolscope modVolscope(os);
    modVolscope.CurrentDrive = std::string(1, drives.empty);
    volume_queries::VolumeDetails details{"stale", 1, 2, "FS", 3, 4, 5, 6, 7, 8};
    modVolscope.QueryVolumeDetails(details);
    EXPECT_EQ(details, volume_queries::VolumeDetails{});
    EXPECT_EQ(::GetErrorMode(), modeBefore) << "the process's error mode is given back";
}

TEST_F(Win32PlatformTest, CdromLetterReportsTypeFiveAndItsLabel) {
    EXPECT_EQ(os.GetDriveTypeA(root(drives.cdrom).c_str()), platform::drive_type::cdrom);
    char label[255];
    ASSERT_TRUE(os.GetVolumeInformationA(root(drives.cdrom).c_str(), label, sizeof label, nullptr,
                                         nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(std::string(label), drives.cdromLabel);
}

TEST_F(Win32PlatformTest, QueryOfTheFixedDriveGivesTrimmedLabelAndExactBytes) {
    volume_queries::ModVolscope modVolscope(os);
    modVolscope.CurrentDrive = std::string(1, drives.fixed);
    volume_queries::VolumeDetails details;
    modVolscope.QueryVolumeDetails(details);
    EXPECT_EQ(details.VolumeName, "Contract");
    EXPECT_EQ(static_cast<std::uint32_t>(details.SerialNumber), drives.serialNumber);
    EXPECT_EQ(static_cast<std::uint64_t>(details.TotalBytes), drives.totalBytes);
    EXPECT_EQ(static_cast<std::uint64_t>(details.FreeBytes), drives.freeBytes);
    EXPECT_EQ(details.MaxComponentLength, 255);
}

TEST_F(Win32PlatformTest,
       AnAttributeWordWrittenWithSetFileAttributesReadsBackThroughGetFileAttributes) {
    if (drives.folder.empty()) GTEST_SKIP() << "the script built no known folder";
    const std::string path = root(drives.fixed) + drives.folder + "\\written-by-wine.txt";
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    const std::uint32_t word = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(os.SetFileAttributesA(path.c_str(), word));
    EXPECT_EQ(os.GetFileAttributesA(path.c_str()), word);
    EXPECT_EQ(os.GetFileAttributesA(path.c_str()), ::GetFileAttributesA(path.c_str()))
        << "the system's own answer";
    ASSERT_TRUE(os.SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(os.GetFileAttributesA(path.c_str()),
              static_cast<std::uint32_t>(FILE_ATTRIBUTE_ARCHIVE))
        << "Wine shows every file with the archive bit";
}

}  // namespace
