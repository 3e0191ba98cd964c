#pragma once

#include <cstdint>
#include <string>

#include "platform/device_context.h"
#include "platform/files.h"

// The operating system as the program sees it: drive letters A to Z with Windows semantics.
//
// Each operation is named after the Windows function that the program's routines call and keeps
// that function's contract: the same inputs, the same result codes, and outputs left exactly as
// they were when the call fails. Text is narrow, in the system code page (UTF-8 on Linux); names
// are passed on as bytes. Roots are given as "X:\" (letter, colon, backslash).
//
// Backends: platform/posix (Linux: letters mapped onto mounted volumes), platform/win32 (Windows:
// the system's own calls) and, for tests, the scriptable fake in tests/support. An implementation
// is used from one thread at a time.
namespace platform {

// The codes GetDriveTypeA returns.
namespace drive_type {
inline constexpr std::uint32_t unknown = 0;    // the kind of drive cannot be determined
inline constexpr std::uint32_t noRootDir = 1;  // no volume behind the letter
inline constexpr std::uint32_t removable = 2;
inline constexpr std::uint32_t fixed = 3;
inline constexpr std::uint32_t remote = 4;
inline constexpr std::uint32_t cdrom = 5;
inline constexpr std::uint32_t ramdisk = 6;
}  // namespace drive_type

// Bits of the file-system flags word that GetVolumeInformationA reports.
namespace fs_flags {
inline constexpr std::uint32_t caseSensitiveSearch = 0x1;
inline constexpr std::uint32_t casePreservedNames = 0x2;
inline constexpr std::uint32_t unicodeOnDisk = 0x4;
inline constexpr std::uint32_t readOnlyVolume = 0x80000;
}  // namespace fs_flags

// Bits of the attribute word of a file or folder (FILE_ATTRIBUTE_*).
namespace file_attribute {
inline constexpr std::uint32_t readOnly = 0x1;
inline constexpr std::uint32_t hidden = 0x2;
inline constexpr std::uint32_t system = 0x4;
inline constexpr std::uint32_t directory = 0x10;
inline constexpr std::uint32_t archive = 0x20;
inline constexpr std::uint32_t normal = 0x80;  // alone: no other bit is set
}  // namespace file_attribute

// The codes GetLastError reports (ERROR_*).
namespace error_code {
inline constexpr std::uint32_t success = 0;
inline constexpr std::uint32_t fileNotFound = 2;
inline constexpr std::uint32_t pathNotFound = 3;
inline constexpr std::uint32_t accessDenied = 5;
inline constexpr std::uint32_t writeProtect = 19;  // the medium or volume is read-only
inline constexpr std::uint32_t notReady = 21;      // the drive has no medium
inline constexpr std::uint32_t genFailure = 31;    // the device does not work: an I/O error
inline constexpr std::uint32_t notSupported = 50;  // the file system cannot do what was asked
inline constexpr std::uint32_t invalidParameter = 87;
}  // namespace error_code

// One entry of a folder listing, as WIN32_FIND_DATAA carries it.
struct FindData {
    std::uint32_t fileAttributes = 0;  // file_attribute bits
    std::uint64_t fileSize = 0;        // in bytes; 0 for folders
    std::string fileName;              // the entry's name alone, without its folder
};

// What GetFileAttributesExA tells of one file or folder: the fields of WIN32_FILE_ATTRIBUTE_DATA
// that the program reads (it reads the times from the open file, with GetFileTime).
struct FileAttributeData {
    std::uint32_t fileAttributes = 0;  // file_attribute bits
    std::uint64_t fileSize = 0;        // in bytes; 0 for folders
};

// GetFileAttributesExA's information levels (GET_FILEEX_INFO_LEVELS).
namespace file_info_level {
inline constexpr std::uint32_t standard = 0;  // GetFileExInfoStandard: FileAttributeData
}  // namespace file_info_level

// A listing started by FindFirstFileA; an opaque number, never reused while the platform lives.
enum class FindHandle : std::uintptr_t {};
inline constexpr FindHandle invalidFindHandle{~std::uintptr_t{0}};

class Platform {
  public:
    virtual ~Platform() = default;

    // The drive type code (drive_type above) of the drive whose root is rootPathName.
    // A letter with nothing behind it, or a path that is not a root, gives noRootDir.
    virtual std::uint32_t GetDriveTypeA(const char* rootPathName) = 0;

    // Fills the volume's label and file-system name (each NUL-terminated, of at most
    // size - 1 bytes) and its serial number, maximum file-name component length in characters
    // and file-system flags. Any output pointer may be null; a null buffer is skipped.
    // Returns false, writing nothing at all, when there is no volume behind the root or when
    // a name does not fit its buffer with its terminator.
    virtual bool GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                                       std::uint32_t volumeNameSize,
                                       std::uint32_t* volumeSerialNumber,
                                       std::uint32_t* maximumComponentLength,
                                       std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                                       std::uint32_t fileSystemNameSize) = 0;

    // The volume's geometry: sectors per cluster, bytes per sector, the clusters available to
    // the user and all clusters, whose product is the volume's size. A volume with more blocks
    // than 32 bits count is reported in larger clusters (sectors per cluster doubled until the
    // count fits), so that the product stays its size. Any output pointer may be null. Returns
    // false, writing nothing, when there is no volume behind the root.
    virtual bool GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                                   std::uint32_t* bytesPerSector,
                                   std::uint32_t* numberOfFreeClusters,
                                   std::uint32_t* totalNumberOfClusters) = 0;

    // The name that tells the volume mounted at a drive's root ("X:\") from every other volume,
    // "\\?\Volume{GUID}\" (49 characters), into volumeName with its NUL. Windows keeps one name
    // per volume; on Linux each mount has its own, so a volume mounted again, or another volume
    // given the letter, is named anew. Returns false, writing nothing, when there is no volume
    // behind the root, for a path that is no drive's root, when the volume does not answer,
    // when the system keeps no such name (Windows: network drives), when the name does not fit
    // bufferLength with its NUL, and for null arguments.
    virtual bool GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint, char* volumeName,
                                                   std::uint32_t bufferLength) = 0;

    // Starts listing a folder: fileName is the folder's DOS path followed by "\*" ("D:\Photos\*",
    // "C:\*"; "\*.*" means the same; other patterns are the system's own on Windows and fail
    // elsewhere). Fills findFileData with the first entry ("." and ".." included, as Windows
    // lists them below a drive's root) and returns a handle for FindNextFileA. Entries come in no
    // fixed order. Returns invalidFindHandle, leaving findFileData as it was, when the folder
    // cannot be read (missing, not a folder, no permission, no volume), when it has no entry at
    // all (an empty root), and for a null argument. A fileName whose last name has no wildcard
    // finds that one file or folder, as on Windows (then FindNextFileA has nothing more). The
    // caller closes a valid handle with FindClose.
    virtual FindHandle FindFirstFileA(const char* fileName, FindData* findFileData) = 0;
    // The next entry; false, leaving findFileData as it was, when there is none or on failure.
    virtual bool FindNextFileA(FindHandle findFile, FindData* findFileData) = 0;
    // Ends a listing; false for a handle that is not open.
    virtual bool FindClose(FindHandle findFile) = 0;

    // Why this platform's last failed FindFirstFileA, GetFileAttributesExA or SetFileAttributesA
    // did not do what was asked, as Windows keeps it for the thread right after the call: an
    // error_code. The other calls leave it as it was; after a call that succeeded it holds no
    // defined value. They set:
    //   fileNotFound  the folder was read and nothing in it matched: a root without any entry
    //                 ("X:\*" on an empty volume; below a root "." and ".." are always there),
    //                 or no entry of that one name ("X:\Data\missing.txt");
    //   pathNotFound  the folder is missing, the letter has no volume, or the path is not one
    //                 this platform can resolve;
    //   accessDenied  listing the folder, or reaching the file, is not permitted;
    //   notReady      the drive has no medium;
    //   invalidParameter  a null argument, or a pattern this platform does not list;
    //   another code (never fileNotFound) for any other failure, genFailure for a read error.
    // So fileNotFound after "...\*" means "no entries", which is no failure to read the folder.
    // SetFileAttributesA sets the same codes for a file or folder it cannot reach, and:
    //   notSupported  the volume cannot keep an attribute change that was asked for;
    //   accessDenied  the change is not permitted;
    //   writeProtect  the volume is read-only;
    //   another code for any other failure.
    virtual std::uint32_t GetLastError() = 0;

    // Files: attributes and opening.

    // GetFileAttributesA's answer for a file or folder that cannot be reached.
    static constexpr std::uint32_t invalidFileAttributes = 0xFFFFFFFFU;
    // ShellExecuteA's error results (SE_ERR_*); it succeeds with any value above 32.
    static constexpr std::intptr_t shellFileNotFound = 2;
    static constexpr std::intptr_t shellPathNotFound = 3;
    static constexpr std::intptr_t shellOutOfMemory = 8;
    static constexpr std::intptr_t shellDdeFailed = 29;
    static constexpr std::intptr_t shellNoAssociation = 31;
    static constexpr std::intptr_t shellDllNotFound = 32;
    // A window that the system's own dialogs belong to (an HWND on Windows); 0 for none.
    enum class WindowHandle : std::uintptr_t {};

    // The attribute word (file_attribute bits) of the file or folder at the DOS path fileName,
    // the same word a listing of its folder reports for it; "X:\" is the drive's root.
    // Returns invalidFileAttributes when it cannot be reached: missing, on a letter without a
    // volume, below a folder that may not be searched, or a null fileName.
    virtual std::uint32_t GetFileAttributesA(const char* fileName) = 0;
    // The attribute word and size of the one file or folder at the DOS path fileName, the same
    // that a listing of its folder reports for it: exactly that name, never a pattern ("*" and
    // "?" are no wildcards here; on Windows no name holds them); "X:\" is the drive's root.
    // infoLevelId must be file_info_level::standard. Returns false, leaving fileInformation as
    // it was, when nothing is there or it cannot be reached, and for a null argument or another
    // level; GetLastError then says why, with FindFirstFileA's codes (fileNotFound when only
    // the last name is missing).
    virtual bool GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                                      FileAttributeData* fileInformation) = 0;
    // Gives the file or folder at the DOS path fileName the readOnly, hidden, system and archive
    // bits of fileAttributes, clearing those it lacks (normal alone, or 0, clears them all).
    // The other bits (directory among them) are ignored, and every other attribute the file
    // system keeps for the file stays as it was. Returns false, changing nothing, when the file
    // is missing, the volume is read-only, permission is lacking, the file system cannot keep a
    // change asked for, and for a null fileName; GetLastError then says why. A link to a file
    // gets its target changed.
    virtual bool SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) = 0;
    // Opens the file (or folder) at the DOS path `file` with the application the desktop
    // associates with it, as the user would by double-clicking it, and returns at once without
    // waiting for the application. operation is "open" or null; parameters are for programs and
    // ignored for documents; directory is the DOS path of the folder the application starts in
    // (null or "": the file's own); showCommand is a SW_* value, a hint the desktop may ignore.
    // Returns a value above 32 when the application was started, else an error code:
    // shellFileNotFound for a file that cannot be reached, shellPathNotFound for a directory
    // that cannot, shellNoAssociation when nothing can open it or the operation is not "open",
    // shellOutOfMemory when the system lacks the resources to start anything, shellDllNotFound
    // when the part of the system that opens files is missing, shellDdeFailed when it was
    // started but failed to hand the file to an application.
    // owner is not kept.
    virtual std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        std::int32_t showCommand) = 0;

    // Files: opening, times, short names and icons.

    // Opens an existing file (not a folder) at a DOS path ("D:\Photos\cat.jpg") for
    // desiredAccess, genericRead and/or genericWrite, and returns its handle. shareMode
    // (file_share bits) says what others may do while it is open: without file_share::write
    // the open fails while the file is open for writing elsewhere, and a later open for writing
    // fails while this one lasts; the same for reading. creationDisposition must be
    // openExisting; the attribute bits of flagsAndAttributes are ignored (they matter to files
    // being created). Returns invalidFileHandle for a missing file, a folder, a sharing
    // conflict, no permission, and anything else this interface does not support: other access
    // rights, dispositions or flags, a non-null securityAttributes, a templateFile other than
    // noFile, a null fileName. The caller closes a valid handle with CloseHandle.
    virtual FileHandle CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                   std::uint32_t shareMode, const void* securityAttributes,
                                   std::uint32_t creationDisposition,
                                   std::uint32_t flagsAndAttributes, FileHandle templateFile) = 0;
    // Closes a file; false for a handle that is not open.
    virtual bool CloseHandle(FileHandle object) = 0;

    // The open file's creation, last-access and last-write times. Any output may be null.
    // Each time is given on its own: one that FILETIME cannot hold comes as a value of 2^63 or
    // more (outOfRangeFileTime, files.h), which FileTimeToSystemTime refuses, and the others
    // stay exact. Returns false, writing nothing, for a handle that is not open or when the
    // system cannot tell the times.
    virtual bool GetFileTime(FileHandle file, FileTime* creationTime, FileTime* lastAccessTime,
                             FileTime* lastWriteTime) = 0;

    // Which file an open handle is: the number of the volume it lies on and its index there
    // (Linux: a number of the mount, as GetVolumeNameForVolumeMountPointA tells mounts apart, and
    // the inode), which together name that file for as long as it exists; a file deleted and
    // made again under its name is another. Only these fields of BY_HANDLE_FILE_INFORMATION are
    // given. Returns false, writing nothing, for a handle that is not open and a null output.
    virtual bool GetFileInformationByHandle(FileHandle file,
                                            ByHandleFileInformation* fileInformation) = 0;

    // The calendar date and time of a FILETIME value (see file_time.h). Returns false, leaving
    // systemTime as it was, for values of 2^63 and beyond and for null arguments.
    virtual bool FileTimeToSystemTime(const FileTime* fileTime, SystemTime* systemTime) = 0;

    // The short (8.3) form of the DOS path of an existing file or folder. Returns the length
    // written to shortPath, without its terminating NUL; when shortPath cannot hold the path
    // and its NUL, the size it needs, NUL included, writing nothing; 0, writing nothing, when
    // nothing is at longPath or for a null longPath. Each name for which the volume keeps an
    // 8.3 name of its own (NTFS, FAT) is given as that name; where it keeps none for any name of
    // the path, as on volumes without 8.3 names, the path itself is given.
    virtual std::uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                                            std::uint32_t bufferLength) = 0;

    // What the shell shows for the file or folder at a DOS path. With shell_info::sysIconIndex
    // in flags, info->iconIndex is the icon's index in the system image list and the result is
    // that list's handle for ImageList_Draw; otherwise the result is non-zero on success. Which
    // other fields are filled is for the flags to say (shell_info). infoSize is
    // sizeof(ShFileInfo). Returns 0, leaving info as it was, when nothing is at path (the
    // program passes fileAttributes 0 and no shell_info::useFileAttributes), for a null
    // argument or a smaller infoSize.
    virtual std::uintptr_t SHGetFileInfoA(const char* path, std::uint32_t fileAttributes,
                                          ShFileInfo* info, std::uint32_t infoSize,
                                          std::uint32_t flags) = 0;
    // Draws the icon at index of an image list that SHGetFileInfoA returned into dc, its top-left
    // corner at (x, y); style is an image_list_draw value. Returns false, drawing nothing, for an
    // unknown list or index and for a surface that the backend cannot draw into.
    virtual bool ImageList_Draw(std::uintptr_t imageList, std::int32_t index, DeviceContext& dc,
                                std::int32_t x, std::int32_t y, std::uint32_t style) = 0;
};

}  // namespace platform
