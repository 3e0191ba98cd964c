#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

// One scripted drive. A drive without a volume (an empty optical drive, an unreachable share)
// keeps its type while both volume queries fail.
struct Drive {
    std::uint32_t type = platform::drive_type::fixed;
    bool hasVolume = true;
    std::string label;
    std::uint32_t serialNumber = 0;
    std::uint32_t maxComponentLength = 255;
    std::uint32_t fileSystemFlags = platform::fs_flags::casePreservedNames;
    std::string fileSystem = "NTFS";
    std::uint32_t sectorsPerCluster = 8;
    std::uint32_t bytesPerSector = 512;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

// The scriptable operating system of the tests: a drive table indexed by letter. Every call is
// logged as "Function(root)" so that tests can pin which calls were (not) made.
class Platform final : public platform::Platform {
  public:
    void setDrive(char letter, Drive drive);
    void removeDrive(char letter);
    Drive& drive(char letter);

    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    std::uint32_t GetDriveTypeA(const char* rootPathName) override;
    bool GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                               std::uint32_t volumeNameSize, std::uint32_t* volumeSerialNumber,
                               std::uint32_t* maximumComponentLength,
                               std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                               std::uint32_t fileSystemNameSize) override;
    bool GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                           std::uint32_t* bytesPerSector, std::uint32_t* numberOfFreeClusters,
                           std::uint32_t* totalNumberOfClusters) override;

  private:
    // The drive whose root is exactly "X:\" with X an upper- or lower-case letter, if scripted.
    const Drive* find(const char* rootPathName) const;
    void log(const char* function, const char* rootPathName);

    std::array<std::optional<Drive>, 26> drives_;
    std::vector<std::string> calls_;
};

}  // namespace fake
