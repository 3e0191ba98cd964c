// The contract of platform::Platform, the Windows functions' own, pinned for every backend.
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

namespace {

constexpr std::uint32_t sentinel = 0xDEADBEEFU;
constexpr char fill = '#';

// Every output of both volume queries, preset to values no call would write.
struct Outputs {
    Outputs() {
        label.fill(fill);
        fileSystem.fill(fill);
    }

    bool getVolumeInformation(platform::Platform& platform, const char* root,
                              std::uint32_t labelSize = 64, std::uint32_t fileSystemSize = 64) {
        return platform.GetVolumeInformationA(root, label.data(), labelSize, &serialNumber,
                                              &maxComponentLength, &fileSystemFlags,
                                              fileSystem.data(), fileSystemSize);
    }

    bool getDiskFreeSpace(platform::Platform& platform, const char* root) {
        return platform.GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                          &totalClusters);
    }

    bool untouched() const {
        const auto filled = [](const std::array<char, 64>& buffer) {
            return std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == fill; });
        };
        const std::array<std::uint32_t, 7> numbers{
            serialNumber,   maxComponentLength, fileSystemFlags, sectorsPerCluster,
            bytesPerSector, freeClusters,       totalClusters};
        return filled(label) && filled(fileSystem) &&
               std::all_of(numbers.begin(), numbers.end(),
                           [](std::uint32_t n) { return n == sentinel; });
    }

    std::array<char, 64> label{};
    std::array<char, 64> fileSystem{};
    std::uint32_t serialNumber = sentinel;
    std::uint32_t maxComponentLength = sentinel;
    std::uint32_t fileSystemFlags = sentinel;
    std::uint32_t sectorsPerCluster = sentinel;
    std::uint32_t bytesPerSector = sentinel;
    std::uint32_t freeClusters = sentinel;
    std::uint32_t totalClusters = sentinel;
};

std::string rootOf(char letter) {
    return {letter, ':', '\\'};
}

class PlatformContract : public contract::BackendTest {
  protected:
    const contract::KnownDrive& known() const { return backend_->knownDrive(); }
    std::string folder() const { return knownRoot() + known_.name; }

    const contract::KnownFolder known_;
};

TEST_P(PlatformContract, ReportsTheKnownDrive) {
    Outputs outputs;
    EXPECT_EQ(platform().GetDriveTypeA(knownRoot().c_str()), known().type);
    ASSERT_TRUE(outputs.getVolumeInformation(platform(), knownRoot().c_str()));
    EXPECT_EQ(std::string(outputs.label.data()), known().label) << "blanks are kept";
    EXPECT_EQ(outputs.serialNumber, known().serialNumber);
    EXPECT_EQ(std::string(outputs.fileSystem.data()), known().fileSystem);
}

TEST_P(PlatformContract, LetterWithoutVolumeIsNoRootDirAndLeavesOutputsUntouched) {
    const std::string root = rootOf(backend_->emptyLetter());
    Outputs outputs;
    EXPECT_EQ(platform().GetDriveTypeA(root.c_str()), platform::drive_type::noRootDir);
    EXPECT_FALSE(outputs.getVolumeInformation(platform(), root.c_str()));
    EXPECT_FALSE(outputs.getDiskFreeSpace(platform(), root.c_str()));
    EXPECT_TRUE(outputs.untouched());
}

TEST_P(PlatformContract, MalformedRootsAreNoRootDirAndLeaveOutputsUntouched) {
    const char letter = known().letter;
    const std::vector<std::string> malformed = {
        "",
        std::string{letter},
        std::string{letter, ':'},
        std::string{letter, ':', '/'},
        std::string{letter, ':', '\\', 'x'},
        std::string{letter, ':', '\\', '\\'},
        std::string{letter, letter, ':', '\\'},
        std::string{' ', letter, ':', '\\'},
        "1:\\",
        "@:\\",
    };
    for (const std::string& root : malformed) {
        SCOPED_TRACE("root \"" + root + "\"");
        Outputs outputs;
        EXPECT_EQ(platform().GetDriveTypeA(root.c_str()), platform::drive_type::noRootDir);
        EXPECT_FALSE(outputs.getVolumeInformation(platform(), root.c_str()));
        EXPECT_FALSE(outputs.getDiskFreeSpace(platform(), root.c_str()));
        EXPECT_TRUE(outputs.untouched());
    }
    Outputs outputs;
    EXPECT_EQ(platform().GetDriveTypeA(nullptr), platform::drive_type::noRootDir);
    EXPECT_FALSE(outputs.getVolumeInformation(platform(), nullptr));
    EXPECT_FALSE(outputs.getDiskFreeSpace(platform(), nullptr));
    EXPECT_TRUE(outputs.untouched());
}

TEST_P(PlatformContract, LowerCaseRootNamesTheSameDrive) {
    const std::string lower = rootOf(static_cast<char>(known().letter - 'A' + 'a'));
    Outputs outputs;
    EXPECT_EQ(platform().GetDriveTypeA(lower.c_str()), known().type);
    ASSERT_TRUE(outputs.getVolumeInformation(platform(), lower.c_str()));
    EXPECT_EQ(std::string(outputs.label.data()), known().label);
    EXPECT_EQ(outputs.serialNumber, known().serialNumber);
    EXPECT_TRUE(outputs.getDiskFreeSpace(platform(), lower.c_str()));
}

TEST_P(PlatformContract, NullOutputsAreAccepted) {
    const std::string root = knownRoot();
    EXPECT_TRUE(platform().GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr,
                                                 nullptr, nullptr, 0));
    EXPECT_TRUE(platform().GetDiskFreeSpaceA(root.c_str(), nullptr, nullptr, nullptr, nullptr));

    // A null buffer needs no room; the other outputs are still written.
    std::array<char, 64> fileSystem{};
    std::uint32_t serialNumber = sentinel;
    EXPECT_TRUE(platform().GetVolumeInformationA(root.c_str(), nullptr, 0, &serialNumber, nullptr,
                                                 nullptr, fileSystem.data(), 64));
    EXPECT_EQ(std::string(fileSystem.data()), known().fileSystem);
    EXPECT_EQ(serialNumber, known().serialNumber);
}

TEST_P(PlatformContract, NameWithoutRoomForItsTerminatorFailsAndWritesNothing) {
    if (const std::string why = backend_->skipReasonForShortBuffers(); !why.empty())
        GTEST_SKIP() << why;
    const std::string root = knownRoot();
    const auto labelSize = static_cast<std::uint32_t>(known().label.size());
    const auto fileSystemSize = static_cast<std::uint32_t>(known().fileSystem.size());

    Outputs shortLabel;
    EXPECT_FALSE(shortLabel.getVolumeInformation(platform(), root.c_str(), labelSize));
    EXPECT_TRUE(shortLabel.untouched());

    Outputs noLabelRoom;
    EXPECT_FALSE(noLabelRoom.getVolumeInformation(platform(), root.c_str(), 0));
    EXPECT_TRUE(noLabelRoom.untouched());

    Outputs shortFileSystem;
    EXPECT_FALSE(
        shortFileSystem.getVolumeInformation(platform(), root.c_str(), 64, fileSystemSize));
    EXPECT_TRUE(shortFileSystem.untouched());
}

TEST_P(PlatformContract, NamesThatExactlyFitAreWritten) {
    const auto labelSize = static_cast<std::uint32_t>(known().label.size() + 1);
    const auto fileSystemSize = static_cast<std::uint32_t>(known().fileSystem.size() + 1);
    Outputs outputs;
    ASSERT_TRUE(
        outputs.getVolumeInformation(platform(), knownRoot().c_str(), labelSize, fileSystemSize));
    EXPECT_EQ(std::string(outputs.label.data(), labelSize), known().label + '\0');
    EXPECT_EQ(std::string(outputs.fileSystem.data(), fileSystemSize), known().fileSystem + '\0');
    EXPECT_EQ(outputs.label[labelSize], fill) << "nothing is written past the buffer's size";
}

TEST_P(PlatformContract, GeometryMultipliesOutToTheVolumeSize) {
    Outputs outputs;
    ASSERT_TRUE(outputs.getDiskFreeSpace(platform(), knownRoot().c_str()));
    const std::uint64_t cluster = std::uint64_t{outputs.sectorsPerCluster} * outputs.bytesPerSector;
    EXPECT_GT(cluster, 0u);
    EXPECT_EQ(cluster * outputs.totalClusters, backend_->totalBytes());
    EXPECT_EQ(cluster * outputs.freeClusters, backend_->freeBytes());
}

// The volume's name: the same for every asking, and written only whole.

TEST_P(PlatformContract, VolumeNameIsAVolumeGuidPathAndStaysTheSame) {
    std::array<char, 64> name{};
    ASSERT_TRUE(platform().GetVolumeNameForVolumeMountPointA(knownRoot().c_str(), name.data(),
                                                             name.size()));
    const std::string text = name.data();
    EXPECT_EQ(text.size(), 49u) << text;
    EXPECT_EQ(text.rfind("\\\\?\\Volume{", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("}\\")) << text;
    std::array<char, 50> again{};
    const std::string lower = rootOf(static_cast<char>(known().letter - 'A' + 'a'));
    ASSERT_TRUE(
        platform().GetVolumeNameForVolumeMountPointA(lower.c_str(), again.data(), again.size()))
        << "the smallest buffer that holds it, through the lower-case root";
    EXPECT_EQ(std::string(again.data()), text);
}

TEST_P(PlatformContract, NoVolumeNameForNoVolumeAPathThatIsNoRootOrAShortBuffer) {
    std::array<char, 64> name;
    name.fill(fill);
    const auto untouched = [&] {
        return std::all_of(name.begin(), name.end(), [](char c) { return c == fill; });
    };
    for (const std::string& path :
         {rootOf(backend_->emptyLetter()), knownRoot() + known_.name + "\\", std::string()}) {
        SCOPED_TRACE("path \"" + path + "\"");
        EXPECT_FALSE(
            platform().GetVolumeNameForVolumeMountPointA(path.c_str(), name.data(), name.size()));
        EXPECT_TRUE(untouched());
    }
    EXPECT_FALSE(platform().GetVolumeNameForVolumeMountPointA(knownRoot().c_str(), name.data(), 49))
        << "no room for the terminator";
    EXPECT_TRUE(untouched());
    EXPECT_FALSE(platform().GetVolumeNameForVolumeMountPointA(nullptr, name.data(), name.size()));
    EXPECT_FALSE(platform().GetVolumeNameForVolumeMountPointA(knownRoot().c_str(), nullptr, 64));
    EXPECT_TRUE(untouched());
}

// Listings.

using platform::FindData;
using platform::FindHandle;
using platform::invalidFindHandle;

const FindData untouchedData{sentinel, 0xDEADBEEFCAFEF00DULL, "#untouched#"};

bool isUntouched(const FindData& data) {
    return data.fileAttributes == untouchedData.fileAttributes &&
           data.fileSize == untouchedData.fileSize && data.fileName == untouchedData.fileName;
}

// Every entry of a listing, in the order given; fails the test when the listing cannot start or
// its handle does not close.
std::vector<FindData> listAll(platform::Platform& platform, const std::string& pattern) {
    std::vector<FindData> entries;
    FindData data = untouchedData;
    const FindHandle handle = platform.FindFirstFileA(pattern.c_str(), &data);
    EXPECT_NE(handle, invalidFindHandle) << pattern;
    if (handle == invalidFindHandle) return entries;
    do {
        entries.push_back(data);
    } while (platform.FindNextFileA(handle, &data));
    EXPECT_TRUE(platform.FindClose(handle));
    return entries;
}

std::size_t countNamed(const std::vector<FindData>& entries, const std::string& name) {
    return static_cast<std::size_t>(std::count_if(
        entries.begin(), entries.end(), [&](const FindData& e) { return e.fileName == name; }));
}

TEST_P(PlatformContract, ListsEveryEntryWithItsAttributesAndSize) {
    std::vector<FindData> entries = listAll(platform(), folder() + "\\*");
    std::erase_if(entries,
                  [](const FindData& e) { return e.fileName == "." || e.fileName == ".."; });
    ASSERT_EQ(entries.size(), known_.entries.size());
    for (const contract::KnownEntry& expected : known_.entries) {
        SCOPED_TRACE(expected.name);
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const FindData& e) {
            return e.fileName == expected.name;
        });
        ASSERT_NE(found, entries.end());
        EXPECT_EQ(found->fileAttributes, expected.attributes);
        EXPECT_EQ(found->fileSize, expected.size);
    }
}

TEST_P(PlatformContract, StarDotStarListsTheSame) {
    EXPECT_EQ(listAll(platform(), folder() + "\\*.*").size(),
              listAll(platform(), folder() + "\\*").size());
}

TEST_P(PlatformContract, DotsAreListedBelowARootOnly) {
    const std::vector<FindData> below = listAll(platform(), folder() + "\\*");
    EXPECT_EQ(countNamed(below, "."), 1u);
    EXPECT_EQ(countNamed(below, ".."), 1u);
    for (const FindData& entry : below) {
        if (entry.fileName == "." || entry.fileName == "..") {
            EXPECT_NE(entry.fileAttributes & platform::file_attribute::directory, 0u);
        }
    }

    const std::string lowerRoot{static_cast<char>(known().letter - 'A' + 'a'), ':', '\\'};
    for (const std::string& root : {knownRoot(), lowerRoot}) {
        SCOPED_TRACE(root);
        const std::vector<FindData> top = listAll(platform(), root + "*");
        EXPECT_EQ(countNamed(top, "."), 0u);
        EXPECT_EQ(countNamed(top, ".."), 0u);
        EXPECT_EQ(countNamed(top, known_.name), 1u);
    }
}

TEST_P(PlatformContract, EmptyFolderListsOnlyTheDots) {
    std::vector<FindData> entries = listAll(platform(), folder() + "\\Empty\\*");
    std::vector<std::string> names;
    for (const FindData& entry : entries) names.push_back(entry.fileName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", ".."}));
}

TEST_P(PlatformContract, UnreadableFoldersGiveNoHandleAndLeaveTheDataUntouched) {
    const std::vector<std::string> patterns = {
        folder() + "\\missing\\*",
        folder() + "\\plain.txt\\*",
        rootOf(backend_->emptyLetter()) + "*",
        rootOf(backend_->emptyLetter()) + known_.name + "\\*",
        "",
    };
    for (const std::string& pattern : patterns) {
        SCOPED_TRACE("pattern \"" + pattern + "\"");
        FindData data = untouchedData;
        EXPECT_EQ(platform().FindFirstFileA(pattern.c_str(), &data), invalidFindHandle);
        EXPECT_TRUE(isUntouched(data));
    }
    FindData data = untouchedData;
    EXPECT_EQ(platform().FindFirstFileA(nullptr, &data), invalidFindHandle);
    EXPECT_TRUE(isUntouched(data));
}

TEST_P(PlatformContract, FailedFindSaysWhetherItsFolderWasThere) {
    namespace code = platform::error_code;
    struct Row {
        std::string fileName;
        std::uint32_t lastError;
    };
    const Row rows[] = {
        {folder() + "\\missing.txt", code::fileNotFound},
        {folder() + "\\missing\\*", code::pathNotFound},
        {folder() + "\\missing\\plain.txt", code::pathNotFound},
        {rootOf(backend_->emptyLetter()) + "*", code::pathNotFound},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fileName);
        FindData data = untouchedData;
        EXPECT_EQ(platform().FindFirstFileA(row.fileName.c_str(), &data), invalidFindHandle);
        EXPECT_EQ(platform().GetLastError(), row.lastError);
        EXPECT_TRUE(isUntouched(data));
    }
    FindData data;
    const std::string throughFile = folder() + "\\plain.txt\\*";
    EXPECT_EQ(platform().FindFirstFileA(throughFile.c_str(), &data), invalidFindHandle);
    EXPECT_NE(platform().GetLastError(), code::fileNotFound) << "a file is no empty folder";
    EXPECT_NE(platform().GetLastError(), code::success);
}

TEST_P(PlatformContract, EmptyRootFindsNothingAndSaysNothingWasThere) {
    const char letter = backend_->emptyRootLetter();
    if (letter == '\0') GTEST_SKIP() << "this backend built no volume without entries";
    FindData data = untouchedData;
    const std::string pattern = rootOf(letter) + "*";
    EXPECT_EQ(platform().FindFirstFileA(pattern.c_str(), &data), invalidFindHandle);
    EXPECT_EQ(platform().GetLastError(), platform::error_code::fileNotFound)
        << "the root was read and has no entries";
    EXPECT_TRUE(isUntouched(data));
}

TEST_P(PlatformContract, NextAfterTheEndIsFalseAndLeavesTheDataUntouched) {
    const std::string pattern = folder() + "\\Sub\\*";
    const std::size_t count = listAll(platform(), pattern).size();
    FindData data = untouchedData;
    const FindHandle handle = platform().FindFirstFileA(pattern.c_str(), &data);
    ASSERT_NE(handle, invalidFindHandle);
    for (std::size_t i = 1; i < count; ++i) EXPECT_TRUE(platform().FindNextFileA(handle, &data));
    data = untouchedData;
    EXPECT_FALSE(platform().FindNextFileA(handle, &data));
    EXPECT_FALSE(platform().FindNextFileA(handle, &data)) << "and stays at the end";
    EXPECT_TRUE(isUntouched(data));
    EXPECT_TRUE(platform().FindClose(handle));
}

TEST_P(PlatformContract, HandlesNotOpenAreRefused) {
    FindData data = untouchedData;
    EXPECT_FALSE(platform().FindClose(invalidFindHandle));
    EXPECT_FALSE(platform().FindClose(static_cast<FindHandle>(12345)));
    EXPECT_FALSE(platform().FindNextFileA(static_cast<FindHandle>(12345), &data));
    EXPECT_FALSE(platform().FindNextFileA(invalidFindHandle, &data));

    const std::string pattern = folder() + "\\*";
    const FindHandle handle = platform().FindFirstFileA(pattern.c_str(), &data);
    ASSERT_NE(handle, invalidFindHandle);
    EXPECT_TRUE(platform().FindClose(handle));
    EXPECT_FALSE(platform().FindClose(handle)) << "closed once only";
    data = untouchedData;
    EXPECT_FALSE(platform().FindNextFileA(handle, &data)) << "a closed handle lists nothing";
    EXPECT_TRUE(isUntouched(data));
}

TEST_P(PlatformContract, ListingsRunSideBySide) {
    const std::string pattern = folder() + "\\*";
    FindData first;
    FindData second;
    const FindHandle one = platform().FindFirstFileA(pattern.c_str(), &first);
    const FindHandle two = platform().FindFirstFileA(pattern.c_str(), &second);
    ASSERT_NE(one, invalidFindHandle);
    ASSERT_NE(two, invalidFindHandle);
    EXPECT_NE(one, two);
    EXPECT_EQ(first.fileName, second.fileName);
    EXPECT_TRUE(platform().FindClose(one));
    EXPECT_TRUE(platform().FindNextFileA(two, &second)) << "closing one leaves the other open";
    EXPECT_TRUE(platform().FindClose(two));
}

INSTANTIATE_TEST_SUITE_P(Backends, PlatformContract, testing::ValuesIn(contract::backends),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
