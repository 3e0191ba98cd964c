#pragma once

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"

// What the tests of the Linux backend's volumes on real mounts share: the figures the backend
// reports for a drive, the types of all letters, and the fixture.
namespace real_volumes {

namespace drive_type = platform::drive_type;
namespace fs_flags = platform::fs_flags;

using DriveTypes = std::array<std::uint32_t, 26>;

inline constexpr std::uint32_t unixFlags =
    fs_flags::caseSensitiveSearch | fs_flags::casePreservedNames;
inline constexpr std::uint64_t mebibyte = 1024 * 1024;

inline std::string rootOf(char letter) {
    return {letter, ':', '\\'};
}

// What the backend reports for one drive.
struct Figures {
    std::uint32_t type = 0;
    bool hasInformation = false;
    std::string label;
    std::uint32_t serialNumber = 0;
    std::uint32_t maxComponentLength = 0;
    std::uint32_t fileSystemFlags = 0;
    std::string fileSystem;
    bool hasGeometry = false;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

inline Figures figuresOf(platform::Platform& platform, char letter) {
    const std::string root = rootOf(letter);
    Figures figures;
    figures.type = platform.GetDriveTypeA(root.c_str());
    char label[261] = {};
    char fileSystem[261] = {};
    figures.hasInformation = platform.GetVolumeInformationA(
        root.c_str(), label, sizeof label, &figures.serialNumber, &figures.maxComponentLength,
        &figures.fileSystemFlags, fileSystem, sizeof fileSystem);
    figures.label = label;
    figures.fileSystem = fileSystem;
    figures.hasGeometry = platform.GetDiskFreeSpaceA(root.c_str(), &figures.sectorsPerCluster,
                                                     &figures.bytesPerSector, &figures.freeClusters,
                                                     &figures.totalClusters);
    return figures;
}

inline DriveTypes driveTypesOf(platform::Platform& platform) {
    DriveTypes types{};
    for (std::size_t i = 0; i < types.size(); ++i)
        types[i] = platform.GetDriveTypeA(rootOf(static_cast<char>('A' + i)).c_str());
    return types;
}

// The letters from D: on that have no volume, in order.
inline std::vector<char> freeLetters(const DriveTypes& types) {
    std::vector<char> letters;
    for (std::size_t i = 3; i < types.size(); ++i) {
        if (types[i] == drive_type::noRootDir) letters.push_back(static_cast<char>('A' + i));
    }
    return letters;
}

inline DriveTypes with(DriveTypes types, char letter, std::uint32_t type) {
    types[static_cast<std::size_t>(letter - 'A')] = type;
    return types;
}

inline struct statvfs statvfsOf(const std::string& path) {
    struct statvfs status {};
    EXPECT_EQ(statvfs(path.c_str(), &status), 0) << path;
    return status;
}

// The geometry matches what statvfs says of the mount point now, on sectors of sectorSize.
inline void expectGeometryOf(const Figures& figures, const std::string& target,
                             std::uint32_t sectorSize) {
    const struct statvfs now = statvfsOf(target);
    ASSERT_TRUE(figures.hasGeometry);
    EXPECT_EQ(figures.bytesPerSector, sectorSize);
    EXPECT_EQ(figures.sectorsPerCluster, now.f_frsize / sectorSize);
    EXPECT_EQ(figures.totalClusters, now.f_blocks);
    EXPECT_EQ(figures.freeClusters, now.f_bavail);
    EXPECT_EQ(
        std::uint64_t{figures.sectorsPerCluster} * figures.bytesPerSector * figures.totalClusters,
        std::uint64_t{now.f_frsize} * now.f_blocks);
}

class RealVolumes : public scratch::RealVolumeTest {
  protected:
    // Makes an image of size bytes and runs mkfs on it: mkfs followed by arguments and the image.
    std::string makeFileSystem(const std::string& name, std::uint64_t size,
                               std::vector<std::string> mkfs) {
        const std::string image = folder_->makeImage(name, size);
        mkfs.push_back(image);
        scratch::run(mkfs);
        return image;
    }
};

}  // namespace real_volumes
