// Each call of the Linux backend takes the drive table once, at its start, and maps all its paths
// with that reading: a mount table that changes between two readings cannot take a call's letter
// away halfway through it. Needs no mounting: the calls reach a scratch folder in /tmp on C:.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/mounted_drives.h"
#include "tests/platform/posix_platform_access.h"

namespace {

using platform::Platform;
using platform::test_support::PosixPlatformAccess;

// This process's mount table at the first reading, and nothing mounted at every later one (as
// when the table cannot be read); it reports a change before each reading, and counts them.
class VanishingMounts final : public platform::posix::MountSource {
  public:
    explicit VanishingMounts(int& readings) : readings_(readings) {}
    bool changed() override { return true; }
    std::vector<platform::posix::Volume> volumes() override {
        if (readings_++ == 0) return platform::posix::mountedVolumes();
        return {};
    }

  private:
    int& readings_;
};

// One call of the interface on the scratch folder's file (or C:\ itself); true when it answered
// as it does for a file that is there.
struct CallRow {
    const char* name;
    std::function<bool(Platform&, const std::string& file)> answers;
};

void PrintTo(const CallRow& row, std::ostream* out) {
    *out << row.name;
}

const std::string root = "C:\\";

const CallRow callRows[] = {
    {"GetDriveTypeA",
     [](Platform& p, const std::string&) {
         return p.GetDriveTypeA(root.c_str()) != platform::drive_type::noRootDir;
     }},
    {"GetVolumeInformationA",
     [](Platform& p, const std::string&) {
         char label[261];
         return p.GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr,
                                        nullptr, nullptr, 0);
     }},
    {"GetDiskFreeSpaceA",
     [](Platform& p, const std::string&) {
         std::uint32_t clusters = 0;
         return p.GetDiskFreeSpaceA(root.c_str(), nullptr, nullptr, nullptr, &clusters);
     }},
    {"GetVolumeNameForVolumeMountPointA",
     [](Platform& p, const std::string&) {
         char name[64];
         return p.GetVolumeNameForVolumeMountPointA(root.c_str(), name, sizeof name);
     }},
    {"FindFirstFileAOfAFolder",
     [](Platform& p, const std::string& file) {
         platform::FindData data;
         const std::string folder = file.substr(0, file.rfind('\\'));
         const platform::FindHandle found = p.FindFirstFileA((folder + "\\*").c_str(), &data);
         return found != platform::invalidFindHandle && p.FindClose(found);
     }},
    {"FindFirstFileAOfOneName",
     [](Platform& p, const std::string& file) {
         platform::FindData data;
         const platform::FindHandle found = p.FindFirstFileA(file.c_str(), &data);
         return found != platform::invalidFindHandle && p.FindClose(found);
     }},
    {"GetFileAttributesA",
     [](Platform& p, const std::string& file) {
         return p.GetFileAttributesA(file.c_str()) != Platform::invalidFileAttributes;
     }},
    {"GetFileAttributesExA",
     [](Platform& p, const std::string& file) {
         platform::FileAttributeData data;
         return p.GetFileAttributesExA(file.c_str(), platform::file_info_level::standard, &data);
     }},
    {"SetFileAttributesA",
     [](Platform& p, const std::string& file) {
         return p.SetFileAttributesA(
             file.c_str(), platform::file_attribute::readOnly | platform::file_attribute::archive);
     }},
    {"ShellExecuteA",
     [](Platform& p, const std::string& file) {
         return p.ShellExecuteA({}, "open", file.c_str(), nullptr, nullptr, 1) > 32;
     }},
    {"CreateFileA",
     [](Platform& p, const std::string& file) {
         const platform::FileHandle opened = p.CreateFileA(
             file.c_str(), platform::file_access::genericRead, platform::file_share::read, nullptr,
             platform::creation_disposition::openExisting, 0, platform::noFile);
         return opened != platform::invalidFileHandle && p.CloseHandle(opened);
     }},
    {"GetShortPathNameA",
     [](Platform& p, const std::string& file) {
         char shortPath[512];
         return p.GetShortPathNameA(file.c_str(), shortPath, sizeof shortPath) != 0;
     }},
    {"SHGetFileInfoA",
     [](Platform& p, const std::string& file) {
         platform::ShFileInfo info;
         return p.SHGetFileInfoA(file.c_str(), 0, &info, sizeof info,
                                 platform::shell_info::sysIconIndex) != 0;
     }},
};

class DriveSnapshots : public testing::TestWithParam<CallRow> {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/volscope-snapshot-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::ofstream(folder_ + "/file.txt") << "there";
        file_ = "C:" + folder_ + "/file.txt";
        std::replace(file_.begin(), file_.end(), '/', '\\');
    }
    void TearDown() override {
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
    }

    std::string folder_;
    std::string file_;  // the DOS path of folder_'s file.txt
};

// Before, SetFileAttributesA and ShellExecuteA read the table again to find the path's volume,
// and took the letter's volume from that second reading unchecked.
TEST_P(DriveSnapshots, ACallAnswersFromTheOneTableItTookThoughTheTableChangesAfter) {
    int readings = 0;
    const std::unique_ptr<platform::PosixPlatform> platform =
        PosixPlatformAccess::withMounts(std::make_unique<VanishingMounts>(readings), "true");
    EXPECT_TRUE(GetParam().answers(*platform, file_)) << "on the first table, which has C:";
    EXPECT_EQ(readings, 1) << "the call took the table once";
    EXPECT_FALSE(GetParam().answers(*platform, file_)) << "on the next table, which has no C:";
    EXPECT_EQ(readings, 2);
}

INSTANTIATE_TEST_SUITE_P(Calls, DriveSnapshots, testing::ValuesIn(callRows),
                         [](const testing::TestParamInfo<CallRow>& row) {
                             return std::string(row.param.name);
                         });

}  // namespace
