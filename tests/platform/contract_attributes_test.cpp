// The contract of platform::Platform's file attributes and opening, pinned for every backend.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "tests/platform/contract_backend.h"
#include "tests/platform/contract_fixture.h"

namespace {

namespace attr = platform::file_attribute;
using platform::FindData;
using platform::FindHandle;
using platform::invalidFindHandle;
using Platform = platform::Platform;

class AttributesContract : public contract::BackendTest {
  protected:
    std::string folder() const { return knownRoot() + contract::KnownFolder{}.name; }

    // The word the listing of the known folder reports for that name; nullopt when not listed.
    std::optional<std::uint32_t> listedAttributes(const std::string& name) {
        const std::string pattern = folder() + "\\*";
        FindData data;
        const FindHandle handle = platform().FindFirstFileA(pattern.c_str(), &data);
        if (handle == invalidFindHandle) return std::nullopt;
        std::optional<std::uint32_t> found;
        do {
            if (data.fileName == name) found = data.fileAttributes;
        } while (platform().FindNextFileA(handle, &data));
        platform().FindClose(handle);
        return found;
    }

    // What reading back a word written to a file must give on this backend.
    std::uint32_t readBackOf(std::uint32_t written) const {
        std::uint32_t word =
            written & (attr::readOnly | attr::hidden | attr::system | attr::archive);
        if (!backend_->archiveAlwaysSetReason().empty()) word |= attr::archive;
        return word == 0 ? attr::normal : word;
    }
};

TEST_P(AttributesContract, EveryWrittenWordReadsBackThroughTheFileAndItsListing) {
    if (const std::string why = backend_->archiveAlwaysSetReason(); !why.empty())
        RecordProperty("archive", why);
    for (std::uint32_t bits = 0; bits < 16; ++bits) {
        const std::uint32_t word =
            ((bits & 1) ? attr::readOnly : 0) | ((bits & 2) ? attr::hidden : 0) |
            ((bits & 4) ? attr::system : 0) | ((bits & 8) ? attr::archive : 0);
        const std::string name = "word-" + std::to_string(word) + ".txt";
        SCOPED_TRACE(name);
        const std::string path = backend_->makeFile(name);
        ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), word));
        EXPECT_EQ(platform().GetFileAttributesA(path.c_str()), readBackOf(word));
        EXPECT_EQ(listedAttributes(name), readBackOf(word));
    }
}

TEST_P(AttributesContract, ReadOnlyComesAndGoesWithoutTouchingTheOtherBits) {
    const std::string path = backend_->makeFile("toggled.txt");
    const std::uint32_t hidden = attr::hidden | attr::archive;
    ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), hidden));
    ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), hidden | attr::readOnly));
    EXPECT_EQ(platform().GetFileAttributesA(path.c_str()), hidden | attr::readOnly);
    ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), hidden));
    EXPECT_EQ(platform().GetFileAttributesA(path.c_str()), hidden);
    ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), hidden)) << "setting it again is fine";
    EXPECT_EQ(platform().GetFileAttributesA(path.c_str()), hidden);
}

TEST_P(AttributesContract, NormalOrZeroClearsEveryBit) {
    for (const std::uint32_t word : {attr::normal, 0U, attr::normal | attr::hidden}) {
        const std::string name = "cleared-" + std::to_string(word) + ".txt";
        SCOPED_TRACE(name);
        const std::string path = backend_->makeFile(name);
        ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), attr::hidden | attr::system));
        ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), word));
        EXPECT_EQ(platform().GetFileAttributesA(path.c_str()), readBackOf(word))
            << "normal counts only alone";
    }
}

TEST_P(AttributesContract, DirectoryBitIsIgnoredOnWrite) {
    const std::string path = backend_->makeFile("not-a-folder.txt");
    ASSERT_TRUE(platform().SetFileAttributesA(path.c_str(), attr::directory | attr::hidden));
    EXPECT_EQ(platform().GetFileAttributesA(path.c_str()), readBackOf(attr::hidden));
}

TEST_P(AttributesContract, FoldersAndTheRootReadAsListed) {
    EXPECT_EQ(platform().GetFileAttributesA(folder().c_str()), attr::directory);
    EXPECT_EQ(platform().GetFileAttributesA((folder() + "\\Sub").c_str()), attr::directory);
    EXPECT_EQ(platform().GetFileAttributesA((folder() + "\\Sub\\").c_str()), attr::directory);
    EXPECT_NE(platform().GetFileAttributesA(knownRoot().c_str()) & attr::directory, 0U);
    for (const contract::KnownEntry& entry : contract::KnownFolder{}.entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(platform().GetFileAttributesA((folder() + "\\" + entry.name).c_str()),
                  entry.attributes);
    }
}

TEST_P(AttributesContract, UnreachableFilesHaveNoAttributesAndTakeNone) {
    const std::string emptyRoot{backend_->emptyLetter(), ':', '\\'};
    for (const std::string& path : {folder() + "\\missing.txt", folder() + "\\Missing\\a.txt",
                                    folder() + "\\plain.txt\\a.txt", emptyRoot + "a.txt"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(platform().GetFileAttributesA(path.c_str()), Platform::invalidFileAttributes);
        EXPECT_FALSE(platform().SetFileAttributesA(path.c_str(), attr::hidden));
    }
    EXPECT_EQ(platform().GetFileAttributesA(nullptr), Platform::invalidFileAttributes);
    EXPECT_FALSE(platform().SetFileAttributesA(nullptr, attr::hidden));
}

TEST_P(AttributesContract, AChangeThatCannotBeMadeSaysWhy) {
    namespace code = platform::error_code;
    const struct {
        std::string path;
        std::uint32_t lastError;
    } rows[] = {
        {folder() + "\\missing.txt", code::fileNotFound},
        {folder() + "\\Missing\\a.txt", code::pathNotFound},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_FALSE(platform().SetFileAttributesA(row.path.c_str(), attr::hidden));
        EXPECT_EQ(platform().GetLastError(), row.lastError);
    }
    EXPECT_FALSE(platform().SetFileAttributesA(nullptr, attr::hidden));
    EXPECT_EQ(platform().GetLastError(), code::invalidParameter);
}

TEST_P(AttributesContract, AttributesExOfOneNameGiveWhatTheListingGives) {
    for (const contract::KnownEntry& entry : contract::KnownFolder{}.entries) {
        SCOPED_TRACE(entry.name);
        platform::FileAttributeData data;
        ASSERT_TRUE(platform().GetFileAttributesExA((folder() + "\\" + entry.name).c_str(),
                                                    platform::file_info_level::standard, &data));
        EXPECT_EQ(data.fileAttributes, entry.attributes);
        EXPECT_EQ(data.fileSize, entry.size);
    }
    platform::FileAttributeData root;
    ASSERT_TRUE(platform().GetFileAttributesExA(knownRoot().c_str(),
                                                platform::file_info_level::standard, &root));
    EXPECT_NE(root.fileAttributes & attr::directory, 0U);
}

TEST_P(AttributesContract, AttributesExOfNothingSayWhyAndLeaveTheDataUntouched) {
    namespace code = platform::error_code;
    const platform::FileAttributeData untouched{0xDEADBEEFU, 0xDEADBEEFCAFEF00DULL};
    struct Row {
        std::string path;
        std::uint32_t level;
        std::optional<std::uint32_t> lastError;  // nullopt: the system's own (Windows: a bad name)
    };
    const Row rows[] = {
        {folder() + "\\missing.txt", 0, code::fileNotFound},
        {folder() + "\\Missing\\a.txt", 0, code::pathNotFound},
        // Windows says pathNotFound, Wine fileNotFound.
        {std::string{backend_->emptyLetter(), ':', '\\'} + "a.txt", 0, std::nullopt},
        // Patterns are no names: nothing is named "pl*n.txt" or "plain?txt".
        {folder() + "\\pl*n.txt", 0, std::nullopt},
        {folder() + "\\plain?txt", 0, std::nullopt},
        {folder() + "\\plain.txt", 1, code::invalidParameter},  // no level but the standard one
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        platform::FileAttributeData data = untouched;
        EXPECT_FALSE(platform().GetFileAttributesExA(row.path.c_str(), row.level, &data));
        EXPECT_EQ(data.fileAttributes, untouched.fileAttributes);
        EXPECT_EQ(data.fileSize, untouched.fileSize);
        if (row.lastError)
            EXPECT_EQ(platform().GetLastError(), *row.lastError);
        else
            EXPECT_NE(platform().GetLastError(), code::success);
    }
    platform::FileAttributeData data;
    EXPECT_FALSE(platform().GetFileAttributesExA(nullptr, 0, &data));
    EXPECT_FALSE(platform().GetFileAttributesExA(folder().c_str(), 0, nullptr));
}

TEST_P(AttributesContract, OpeningWhatCannotBeOpenedGivesAnErrorCode) {
    const Platform::WindowHandle noOwner{};
    const std::string missing = folder() + "\\missing.txt";
    EXPECT_EQ(platform().ShellExecuteA(noOwner, "open", missing.c_str(), "", folder().c_str(), 1),
              Platform::shellFileNotFound);
    const std::string plain = folder() + "\\plain.txt";
    EXPECT_EQ(platform().ShellExecuteA(noOwner, "volscope-no-such-verb", plain.c_str(), "",
                                       folder().c_str(), 1),
              Platform::shellNoAssociation);
}

// Before, the Linux backend's GetFileAttributesA set the code of the file it could not reach.
TEST_P(AttributesContract, CallsOtherThanTheThreeThatSayWhyLeaveTheLastErrorAsItWas) {
    FindData data;
    ASSERT_EQ(platform().FindFirstFileA((folder() + "\\*").c_str(), nullptr), invalidFindHandle);
    const std::uint32_t code = platform().GetLastError();
    ASSERT_EQ(code, platform::error_code::invalidParameter) << "a code no other call would set";
    const std::string missing = folder() + "\\missing.txt";
    const std::string plain = folder() + "\\plain.txt";
    const std::string emptyRoot{backend_->emptyLetter(), ':', '\\'};
    Platform& p = platform();
    char text[64];
    std::uint32_t number = 0;
    platform::ShFileInfo info;
    platform::FileTime time;
    platform::SystemTime calendar;
    platform::ByHandleFileInformation identity;
    const platform::FileHandle notOpen{12345};
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"GetDriveTypeA", [&] { p.GetDriveTypeA(emptyRoot.c_str()); }},
        {"GetVolumeInformationA",
         [&] {
             p.GetVolumeInformationA(emptyRoot.c_str(), text, 64, &number, nullptr, nullptr,
                                     nullptr, 0);
         }},
        {"GetDiskFreeSpaceA",
         [&] { p.GetDiskFreeSpaceA(emptyRoot.c_str(), &number, nullptr, nullptr, nullptr); }},
        {"GetVolumeNameForVolumeMountPointA",
         [&] { p.GetVolumeNameForVolumeMountPointA(emptyRoot.c_str(), text, 64); }},
        {"FindNextFileA", [&] { p.FindNextFileA(invalidFindHandle, &data); }},
        {"FindClose", [&] { p.FindClose(invalidFindHandle); }},
        {"GetFileAttributesA of nothing", [&] { p.GetFileAttributesA(missing.c_str()); }},
        {"GetFileAttributesA", [&] { p.GetFileAttributesA(plain.c_str()); }},
        {"ShellExecuteA", [&] { p.ShellExecuteA({}, "open", missing.c_str(), "", nullptr, 1); }},
        {"CreateFileA",
         [&] {
             p.CreateFileA(missing.c_str(), platform::file_access::genericRead,
                           platform::file_share::read, nullptr,
                           platform::creation_disposition::openExisting, 0, platform::noFile);
         }},
        {"CloseHandle", [&] { p.CloseHandle(notOpen); }},
        {"GetFileTime", [&] { p.GetFileTime(notOpen, &time, nullptr, nullptr); }},
        {"GetFileInformationByHandle", [&] { p.GetFileInformationByHandle(notOpen, &identity); }},
        {"FileTimeToSystemTime",
         [&] {
             const platform::FileTime outOfRange{0, 0x80000000U};
             p.FileTimeToSystemTime(&outOfRange, &calendar);
         }},
        {"GetShortPathNameA", [&] { p.GetShortPathNameA(missing.c_str(), text, 64); }},
        {"SHGetFileInfoA",
         [&] {
             p.SHGetFileInfoA(missing.c_str(), 0, &info, sizeof info,
                              platform::shell_info::sysIconIndex);
         }},
    };
    for (const auto& [name, call] : calls) {
        call();
        EXPECT_EQ(platform().GetLastError(), code) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, AttributesContract, testing::ValuesIn(contract::backends),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
