#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/handle_table.h"
#include "platform/platform.h"
#include "platform/posix/dos_path.h"
#include "platform/posix/drive_letters.h"
#include "platform/posix/folder_listing.h"
#include "platform/posix/mime_globs.h"
#include "platform/posix/mime_icons.h"
#include "platform/posix/unique_fd.h"
#include "platform/volume_watchdog.h"

namespace platform {

// Linux: the drive letters are mapped onto the mounted volumes (see posix::assignDriveLetters).
// Every call asks the file system afresh, so a volume mounted or unmounted between two calls is
// seen at the next. The mount table is read again only when the kernel reports a change of it,
// and each reading keeps the letters of the volumes that are still mounted: a volume keeps its
// letter for as long as this platform lives and the volume stays mounted. Open listings and files
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
// among this platform's own handles by Windows' rule (sharingAllows), and against every process
// for the case that matters, an open without file_share::write while the file is open for
// writing anywhere: the kernel refuses a read lease (F_SETLEASE) on a file that any descriptor
// has open for writing, so one is taken and at once given back. Where no lease can be had for
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
// Icons are the desktop icon theme's, chosen by the file's name alone: its MIME type from
// shared-mime-info's globs2 (posix::MimeGlobs), the type's icon names (posix::MimeIcons),
// "folder" for folders, "drive-harddisk" then "folder" for a drive's root. The system image
// list is this platform's table of such names; ImageList_Draw draws the first name that the
// surface's theme has, else the last. The flags of shell_info::windowsOnly are not supported (the
// call fails); shell_info::exeType has no effect. typeName is the MIME type ("text/plain",
// "inode/directory").
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
    ~PosixPlatform() override;
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

    // The drive letters a platform starting now would give, from /proc/self/mountinfo and sysfs.
    // All letters are empty when the mount table cannot be read.
    static posix::DriveTable currentDrives();

    // The drive letters as this platform gives them now: read again when the mount table has
    // changed, keeping the letters of the volumes still mounted.
    const posix::DriveTable& drives();

  private:
    // Shared with the volume's worker, which closes it.
    struct OpenFile {
        std::shared_ptr<posix::UniqueFd> fd;
        VolumeKey volume;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint32_t access = 0;
        std::uint32_t share = 0;
        std::optional<std::uint32_t> volumeNumber;  // of its mount, where statx told it
    };
    struct Listing {
        std::shared_ptr<posix::FolderListing> stream;  // null once read to its end
        std::deque<FindData> ahead;                    // read and not yet given
        VolumeKey volume;
    };

    static VolumeKey keyOf(const posix::MountEntry& mount);
    // Whether the volume's own calls (its size, label) are made here rather than on a worker.
    static bool answersDirectly(const posix::Volume& volume);
    // The mount a mapped path lies on, by its name.
    posix::MountEntry mountOf(const posix::UnixPath& path);
    VolumeKey volumeHolding(const posix::UnixPath& path);
    // call on the volume's worker, as VolumeWatchdog::run makes it (with its stop token where it
    // takes one); `failed` when the volume does not answer in time.
    template <typename Call, typename Result = VolumeWatchdog::ResultOf<Call>>
    Result onVolume(const VolumeKey& volume, Call call, Result failed);
    // The same, made directly for the volumes answersDirectly names.
    template <typename Call, typename Result = std::invoke_result_t<Call&>>
    Result onVolume(const posix::Volume& volume, Call call, Result failed);
    // Hands what the listing or file holds open to its volume's worker to close.
    void release(Listing& listing);
    void release(OpenFile& file);

    // FindFirstFileA for a name without wildcards: that one entry.
    FindHandle findOneEntry(std::string_view fileName, FindData* findFileData);
    // The index in the system image list of a list of icon names, added when new.
    std::int32_t iconIndexOf(std::vector<std::string> names);
    // The entry at a mapped path as its folder's listing shows it, asked on its volume's worker;
    // sets lastError_ (notReady when the volume does not answer).
    std::optional<FindData> describeOnVolume(const posix::UnixPath& path);
    void loadMimeDatabase();

    std::uint32_t lastError_ = error_code::success;
    HandleNumbers handles_;
    HandleTable<FindHandle, Listing> listings_{handles_};
    HandleTable<FileHandle, OpenFile> files_{handles_};
    std::string opener_;
    std::string mimeFolder_;
    std::optional<posix::MimeGlobs> mimeGlobs_;
    std::optional<posix::MimeIcons> mimeIcons_;
    posix::UniqueFd mountTable_;  // /proc/self/mountinfo, watched for changes of the mount table
    std::optional<posix::DriveTable> drives_;
    std::vector<posix::MountEntry> visibleMounts_;  // of the table drives_ was made from
    VolumeWatchdog watchdog_;
    std::vector<std::vector<std::string>> imageList_;  // index: icon names, most specific first
};

}  // namespace platform
