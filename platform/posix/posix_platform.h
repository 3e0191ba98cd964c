#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/handle_table.h"
#include "platform/platform.h"
#include "platform/posix/listing_table.h"
#include "platform/posix/mounted_drives.h"
#include "platform/posix/open_files.h"
#include "platform/posix/shell_icons.h"
#include "platform/posix/volume_calls.h"

namespace platform {

namespace test_support {
class PosixPlatformAccess;
}

// Linux: the drive letters are mapped onto the mounted volumes (see posix::assignDriveLetters).
// Every call asks the file system afresh, so a volume mounted or unmounted between two calls is
// seen at the next. The mount table is read again only when the kernel reports a change of it,
// and each reading keeps the letters of the volumes that are still mounted: a volume keeps its
// letter for as long as this platform lives and the volume stays mounted. Each call takes the
// table once, at its start, and maps all its paths with that one reading. Open listings and files
// are kept until closed, or until the platform goes.
// DOS paths are mapped onto Linux paths by posix::mapDosPath, names by posix::dosNameOf. A
// file's attributes, in listings as alone, are read, and changed by posix::writeAttributes, in
// the store of where its volume keeps them (posix::probeAttributeHome): NTFS's and FAT's own on
// those volumes, the mode and user.DOSATTRIB elsewhere. GetShortPathNameA gives the 8.3 names
// that store keeps (posix::shortPathOf), the path itself where it keeps none.
// ShellExecuteA starts the opener program (xdg-open: the desktop's default application) on the
// file's Linux path, in the mapped directory.
//
// Volumes that do not answer. Every call that reaches a volume (its size and label, listings,
// attributes, opening, times, short names, icons, ShellExecuteA) is made on that volume's worker
// thread and waited for at most `patience` (VolumeWatchdog); a volume that did not answer
// in time fails every further call at once, as a volume that is not there, until the call it is
// stuck in returns. A change (SetFileAttributesA, ShellExecuteA) given up on is not made when
// the volume answers late, unless it had started its first change by then. A file's volume is
// the mount that holds its path. Only the size, label and name of the root volume, when it is a
// local file system, are asked directly. GetDriveTypeA asks no volume. Handles are closed on
// their volume's worker, since closing a file of a FUSE volume waits for its server.
//
// Files. CreateFileA opens regular files only (and symbolic links to them); devices, pipes and
// sockets are refused as folders are. Linux has no share modes, so they are kept in two ways:
// among this platform's own handles by Windows' rule (posix::OpenFiles), and against every
// process for the case that matters, an open without file_share::write while the file is open
// for writing anywhere (posix::openRegularFile, by a read lease). Where no lease can be had for
// another reason (a file system without leases, a file owned by another user without
// CAP_LEASE, leases switched off) the open goes ahead: those files are opened as on Windows
// when nobody writes them, rather than never. Other processes are not held to this platform's
// share modes, nor does an open without file_share::read notice their readers.
//
// GetLastError's codes are Linux's errno translated by posix::errorCodeOf, a missing entry told
// from a missing folder by posix::unreachableEntryCode; a volume that does not answer in time
// gives notReady.
//
// Identity: GetVolumeNameForVolumeMountPointA names the mount that a drive's root leads to now,
// and GetFileInformationByHandle numbers a file's mount and gives its inode, both from statx's
// mount ID (on kernels from 6.8 one that no later mount takes over; before, a reused ID is told
// apart by the device number where it differs), so that a volume mounted anew is another volume.
//
// GetFileTime reads statx: last write is the mtime, last access the atime, creation the birth
// time where the file system records one, else the ctime; a time out of FILETIME's range is
// given as outOfRangeFileTime.
//
// Icons are the desktop icon theme's, chosen by the file's name alone (posix::ShellIcons); the
// system image list is this platform's table of icon names, and ImageList_Draw draws the first
// name that the surface's theme has, else the last. The flags of shell_info::windowsOnly are not
// supported (the call fails); shell_info::exeType has no effect. typeName is the MIME type
// ("text/plain", "inode/directory").
class PosixPlatform final : public Platform {
  public:
    // The handle of the system image list that SHGetFileInfoA returns.
    static constexpr std::uintptr_t systemImageList = 1;

    // opener: the program ShellExecuteA starts with a file's path, looked up on PATH unless it
    // holds a "/". mimeFolder: where shared-mime-info's globs2, icons and generic-icons are read
    // from, once, when the first icon is asked for; missing files give every file the unknown
    // type's icon.
    // patience: how long a call that may block on a volume is waited for (see the watchdog).
    explicit PosixPlatform(std::string opener = "xdg-open",
                           std::string mimeFolder = "/usr/share/mime",
                           std::chrono::milliseconds patience = std::chrono::seconds(2));
    // Open listings and files are closed by the volumes' workers, without waiting for them.
    ~PosixPlatform() override = default;
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    std::uint32_t GetDriveTypeA(const char* rootPathName) override;
    bool GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                               std::uint32_t volumeNameSize, std::uint32_t* volumeSerialNumber,
                               std::uint32_t* maximumComponentLength,
                               std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                               std::uint32_t fileSystemNameSize) override;
    bool GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                           std::uint32_t* bytesPerSector, std::uint32_t* numberOfFreeClusters,
                           std::uint32_t* totalNumberOfClusters) override;
    bool GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint, char* volumeName,
                                           std::uint32_t bufferLength) override;
    FindHandle FindFirstFileA(const char* fileName, FindData* findFileData) override;
    bool FindNextFileA(FindHandle findFile, FindData* findFileData) override;
    bool FindClose(FindHandle findFile) override;
    std::uint32_t GetLastError() override { return lastError_; }

    // Files: attributes and opening.
    std::uint32_t GetFileAttributesA(const char* fileName) override;
    bool GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                              FileAttributeData* fileInformation) override;
    bool SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) override;
    std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                std::int32_t showCommand) override;

    // Files: opening, times, short names and icons.
    FileHandle CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                           std::uint32_t shareMode, const void* securityAttributes,
                           std::uint32_t creationDisposition, std::uint32_t flagsAndAttributes,
                           FileHandle templateFile) override;
    bool CloseHandle(FileHandle object) override;
    bool GetFileTime(FileHandle file, FileTime* creationTime, FileTime* lastAccessTime,
                     FileTime* lastWriteTime) override;
    bool GetFileInformationByHandle(FileHandle file,
                                    ByHandleFileInformation* fileInformation) override;
    bool FileTimeToSystemTime(const FileTime* fileTime, SystemTime* systemTime) override;
    std::uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                                    std::uint32_t bufferLength) override;
    std::uintptr_t SHGetFileInfoA(const char* path, std::uint32_t fileAttributes, ShFileInfo* info,
                                  std::uint32_t infoSize, std::uint32_t flags) override;
    bool ImageList_Draw(std::uintptr_t imageList, std::int32_t index, DeviceContext& dc,
                        std::int32_t x, std::int32_t y, std::uint32_t style) override;

  private:
    friend class test_support::PosixPlatformAccess;  // tests/platform: a scripted mount table

    PosixPlatform(std::unique_ptr<posix::MountSource> mounts, std::string opener,
                  std::string mimeFolder, std::chrono::milliseconds patience);

    // The entry at the call's path as its folder's listing shows it; lastError, where given, says
    // why there is none (notReady when the volume does not answer).
    static std::optional<FindData> describe(const posix::PathCall& call, std::uint32_t* lastError);
    // FindFirstFileA for a name without wildcards: that one entry.
    FindHandle findOneEntry(std::string_view fileName, FindData* findFileData);

    std::uint32_t lastError_ = error_code::success;
    std::string opener_;
    // Declared before the tables, which hand what they hold to its workers when they go.
    posix::VolumeCalls volumes_;
    HandleNumbers handles_;
    posix::ListingTable listings_{handles_, volumes_};
    posix::OpenFiles files_{handles_, volumes_};
    posix::ShellIcons icons_;
};

}  // namespace platform
