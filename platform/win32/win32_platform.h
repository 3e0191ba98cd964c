#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

#include "platform/handle_table.h"
#include "platform/platform.h"
#include "platform/volume_watchdog.h"
#include "platform/win32/drive_calls.h"

namespace platform {

// Windows: every operation is the real narrow-character call of kernel32, made with the caller's
// arguments. Around the volume calls the system's critical-error box ("There is no disk in the
// drive") is switched off, so that the program, not the system, answers for an empty removable
// or optical drive. Outputs are filled only when the call succeeds, and only drive roots ("X:\")
// are passed on. How a name longer than its buffer is answered is the system's own (Wine cuts it
// short and succeeds).
//
// Listings are the system's own too: FindFirstFileA gets only paths that start with a drive's
// root ("X:\"), with the critical-error box off; the system's search handles are kept behind
// numbers of this platform's own, so that a handle that is not open is answered with false and
// never reaches the system. GetLastError gives the system's own code, read right after the call
// and kept by the platform (pathNotFound for a path that never reached the system, as Windows
// answers one it cannot parse), so that nothing called meanwhile changes it.
//
// Attributes are the system's own, for paths that start with a drive's root (GetFileAttributesExA
// at the standard level only, whose record is the one the platform fills); ShellExecuteA is
// shell32's, with the owner handle as the HWND it stands for. GetVolumeNameForVolumeMountPointA
// is the system's for drive roots, and GetFileInformationByHandle for this platform's files.
// Files are the system's own as well, opened only at paths that start with a drive's root and
// kept behind numbers in the same way; the listings and files still open when the platform goes
// are closed then. FileTimeToSystemTime is the system's. SHGetFileInfoA is
// shell32's, copied out of SHFILEINFOA, without shell_info::exeType when the system image list is
// asked for (the system answers that flag alone); with shell_info::icon the caller owns the HICON
// in ShFileInfo::icon (DestroyIcon). ImageList_Draw is comctl32's, into the surface's HDC; a
// surface without one (nativeHandle() 0) is not drawn into.
//
// Drives that do not answer (a mapped share whose server went away, a failing disk). Every call
// that reaches a drive (its kind, label, size and name, listings, attributes, opening, times,
// short names, the shell's icon lookup, and reaching the file and folder before ShellExecuteA)
// is made on that drive's worker thread and waited for at most `patience` (VolumeWatchdog), the
// system drive's too: under Wine even its volume information waits for any FUSE mount of the
// machine that does not answer. A drive is told by its letter alone, which needs no answer from
// it. A call given up on fails as a drive without a volume fails: GetDriveTypeA gives
// drive_type::unknown, outputs are left as they were, GetLastError gives notReady; every further
// call on that drive then fails so at once, until the call it is stuck in returns. A change
// (SetFileAttributesA) is made only once the file has been reached, and not when the caller gave
// up by then. Listings are read on the worker in batches, so that a long folder does not wait for
// the worker entry by entry. Handles are closed on their drive's worker once the drive answers,
// since closing a file of a share that went away waits for it (under Wine in the server process,
// which would stop all of Wine); CloseHandle and FindClose wait for the close as long as for a
// call, since another open that its share mode kept out may follow at once. The critical-error
// box is switched off for the worker's thread only (SetThreadErrorMode), and ShellExecuteA itself
// runs on the caller's thread, where the shell's own dialogs belong.
class Win32Platform final : public Platform {
  public:
    // patience: how long a call on a drive is waited for.
    explicit Win32Platform(std::chrono::milliseconds patience = std::chrono::seconds(2));
    // Open listings and files are closed by the drives' workers, without waiting for them.
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

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
    using Shared = win32::SharedHandle;
    struct OpenFile {
        Shared handle;
        VolumeKey drive;
    };
    struct Listing {
        Shared search;               // null once read to its end
        std::deque<FindData> ahead;  // read and not yet given
        VolumeKey drive;
    };

    // The drive of a path that starts with a drive's root: its letter's index.
    static VolumeKey driveOf(const char* path);
    // call on the drive's worker, as VolumeWatchdog::run makes it; `failed` when the drive does
    // not answer in time.
    template <typename Call, typename Result = VolumeWatchdog::ResultOf<Call>>
    Result onDrive(const VolumeKey& drive, Call call, Result failed);
    // The same for a call whose answer carries the error that GetLastError reports then: sets
    // lastError_ from it, or to notReady when the drive does not answer (nullopt).
    template <typename Call>
    std::optional<VolumeWatchdog::ResultOf<Call>> reporting(const VolumeKey& drive, Call call);
    // Whether the drive of path answers now (true for a path on no drive: the system answers).
    bool answers(const char* path);
    // Hands the system handle to its drive's worker to close, and waits (if `waited`) until it
    // is closed, as long as a call on the drive is waited for.
    void release(const VolumeKey& drive, Shared& handle, bool waited = true);

    std::uint32_t lastError_ = error_code::success;
    VolumeWatchdog watchdog_;
    HandleNumbers handles_;
    HandleTable<FindHandle, Listing> searches_{handles_};
    HandleTable<FileHandle, OpenFile> files_{handles_};
};

}  // namespace platform
