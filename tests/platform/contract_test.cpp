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

namespace {

struct BackendRow {
    const char* name;
    std::unique_ptr<contract::Backend> (*make)();
};

// Failures name the row rather than dump its bytes.
void PrintTo(const BackendRow& row, std::ostream* out) {
    *out << row.name;
}

const BackendRow backends[] = {
    {"Fake", &contract::makeFakeBackend},
#ifdef __linux__
    {"Posix", &contract::makePosixBackend},
#endif
#ifdef _WIN32
    {"Win32", &contract::makeWin32Backend},
#endif
};

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

class PlatformContract : public testing::TestWithParam<BackendRow> {
  protected:
    void SetUp() override {
        backend_ = GetParam().make();
        const std::string reason = backend_->setUp();
        if (!reason.empty()) GTEST_SKIP() << reason;
    }

    platform::Platform& platform() { return backend_->platform(); }
    const contract::KnownDrive& known() const { return backend_->knownDrive(); }
    std::string knownRoot() const { return rootOf(known().letter); }

    std::unique_ptr<contract::Backend> backend_;
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
    if (const std::string why = backend_->shortBufferUndefined(); !why.empty()) GTEST_SKIP() << why;
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

INSTANTIATE_TEST_SUITE_P(Backends, PlatformContract, testing::ValuesIn(backends),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
