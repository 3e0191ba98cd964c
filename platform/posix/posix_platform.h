#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "platform/platform.h"
#include "platform/posix/drive_letters.h"
#include "platform/posix/folder_listing.h"

namespace platform {

// Linux: the drive letters are mapped onto the mounted volumes (see posix::assignDriveLetters).
// Every call reads the mount table and asks the file system afresh, so a volume mounted or
// unmounted between two calls is seen at the next; only open listings are kept between calls.
// DOS paths are mapped onto Linux paths by posix::mapDosPath, names by posix::dosNameOf, and
// attributes are made as posix::attributesOf says.
class PosixPlatform final : public Platform {
  public:
    std::uint32_t GetDriveTypeA(const char* rootPathName) override;
    bool GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                               std::uint32_t volumeNameSize, std::uint32_t* volumeSerialNumber,
                               std::uint32_t* maximumComponentLength,
                               std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                               std::uint32_t fileSystemNameSize) override;
    bool GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                           std::uint32_t* bytesPerSector, std::uint32_t* numberOfFreeClusters,
                           std::uint32_t* totalNumberOfClusters) override;
    FindHandle FindFirstFileA(const char* fileName, FindData* findFileData) override;
    bool FindNextFileA(FindHandle findFile, FindData* findFileData) override;
    bool FindClose(FindHandle findFile) override;

    // The drive letters as they stand now, from /proc/self/mountinfo and sysfs. All letters are
    // empty when the mount table cannot be read.
    static posix::DriveTable currentDrives();

  private:
    std::unordered_map<std::uintptr_t, std::unique_ptr<posix::FolderListing>> listings_;
    std::uintptr_t nextHandle_ = 1;
};

}  // namespace platform
