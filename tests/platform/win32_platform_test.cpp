// The Windows backend under Wine, on the drives tests/wine/run_wine_tests.sh prepares.
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "tests/platform/wine_drives.h"
#include "tests/support/recording_device_context.h"
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

TEST_F(Win32PlatformTest, FileOpenedForWritingByAnotherHandleCannotBeOpenedSharingOnlyReading) {
    if (drives.knownFile.empty()) GTEST_SKIP() << "the script built no known file";
    const std::string path = root(drives.fixed) + drives.knownFile;
    HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(os.CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_ARCHIVE, platform::noFile),
              platform::invalidFileHandle);
    ::CloseHandle(writer);

    const platform::FileHandle reader =
        os.CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_ARCHIVE, platform::noFile);
    EXPECT_NE(reader, platform::invalidFileHandle) << "once the writer has closed";
    EXPECT_TRUE(os.CloseHandle(reader));
}

// The platform closes its files on their drive's worker; the system must have closed one when
// CloseHandle returns, as Windows does.
TEST_F(Win32PlatformTest, FileClosedCanBeOpenedAtOnceByAnOpenItsShareModeKeptOut) {
    if (drives.knownFile.empty()) GTEST_SKIP() << "the script built no known file";
    const std::string path = root(drives.fixed) + drives.knownFile;
    const platform::FileHandle reader =
        os.CreateFileA(path.c_str(), platform::file_access::genericRead, platform::file_share::read,
                       nullptr, platform::creation_disposition::openExisting, 0, platform::noFile);
    ASSERT_NE(reader, platform::invalidFileHandle);
    ASSERT_TRUE(os.CloseHandle(reader));
    const HANDLE writer =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "the reader shared only reading";
    if (writer != INVALID_HANDLE_VALUE) ::CloseHandle(writer);
}

TEST_F(Win32PlatformTest, FileIconIsDrawnIntoTheSurfacesDeviceContext) {
    if (drives.knownFile.empty()) GTEST_SKIP() << "the script built no known file";
    const std::string path = root(drives.fixed) + drives.knownFile;
    platform::ShFileInfo info;
    const std::uintptr_t list = os.SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, 0x6604);
    ASSERT_NE(list, 0u);

    HDC dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 48;
    format.bmiHeader.biHeight = -48;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::fill_n(static_cast<std::uint32_t*>(bits), 48 * 48, 0x00FF00FFU);

    fake::RecordingDeviceContext surface({}, reinterpret_cast<std::uintptr_t>(dc));
    EXPECT_TRUE(os.ImageList_Draw(list, info.iconIndex, surface, 0, 0,
                                  platform::image_list_draw::transparent));
    ::GdiFlush();
    EXPECT_TRUE(std::any_of(pixels, pixels + 48 * 48, [](std::uint32_t p) {
        return (p & 0x00FFFFFFU) != 0x00FF00FFU;
    })) << "the icon's pixels cover some of the surface";
    EXPECT_TRUE(surface.draws().empty()) << "no theme icons on Windows";

    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

}  // namespace
