#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/platform.h"
#include "platform/posix/drive_letters.h"
#include "platform/posix/folder_listing.h"

namespace platform {

// Linux: the drive letters are mapped onto the mounted volumes (see posix::assignDriveLetters).
// Every call reads the mount table and asks the file system afresh, so a volume mounted or
// unmounted between two calls is seen at the next; only open listings are kept between calls.
// DOS paths are mapped onto Linux paths by posix::mapDosPath, names by posix::dosNameOf, and
// attributes are made as posix::attributesOf says and changed as posix::writeAttributes does.
// ShellExecuteA starts the opener program (xdg-open: the desktop's default application) on the
// file's Linux path, in the mapped directory.
class PosixPlatform final : public Platform {
  public:
    // opener: the program ShellExecuteA starts with a file's path, looked up on PATH unless it
    // holds a "/".
    explicit PosixPlatform(std::string opener = "xdg-open") : opener_(std::move(opener)) {}

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

    // Files: attributes and opening.
    std::uint32_t GetFileAttributesA(const char* fileName) override;
    bool SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) override;
    std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                std::int32_t showCommand) override;

    // The drive letters as they stand now, from /proc/self/mountinfo and sysfs. All letters are
    // empty when the mount table cannot be read.
    static posix::DriveTable currentDrives();

  private:
    std::unordered_map<std::uintptr_t, std::unique_ptr<posix::FolderListing>> listings_;
    std::uintptr_t nextHandle_ = 1;
    std::string opener_;
};

}  // namespace platform
