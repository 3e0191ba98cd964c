#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handle_table.h"
#include "platform/platform.h"

namespace fake {

// A scripted file: what a listing reports for it, and what the file calls do with it.
struct File {
    std::uint32_t attributes = platform::file_attribute::archive;
    std::uint64_t size = 0;
    platform::FileTime creationTime;
    platform::FileTime lastAccessTime;
    platform::FileTime lastWriteTime;
    bool heldForWriting =
        false;              // open for writing elsewhere: opens that do not share writing fail
    std::string shortPath;  // what GetShortPathNameA gives; empty: the path as asked
    std::string iconName;   // empty: the icon of its extension (Platform::setExtensionIcon)
};

// A new number for a file or folder, never given before in this run: its file index.
inline std::uint64_t newFileIndex() {
    static std::uint64_t last = 0;
    return ++last;
}

// A file or folder of a scripted drive's tree.
struct Entry {
    std::string name;
    std::uint32_t attributes = platform::file_attribute::directory;
    std::uint64_t size = 0;
    bool isFolder = true;
    bool unreadable = false;      // a folder whose listing fails, as for lack of permission
    bool locked = false;          // its attributes cannot be changed, as for lack of permission
    File file;                    // of a file: its times, short path and icon (not its size)
    std::vector<Entry> children;  // of a folder, in the order they were added
    std::uint64_t index = newFileIndex();  // what GetFileInformationByHandle gives; a file that
                                           // addFile replaces gets a new one
};

// One scripted drive. A drive without a volume (an empty optical drive, an unreachable share)
// keeps its type while both volume queries fail. A drive whose fileSystemFlags have
// readOnlyVolume refuses every change of attributes (writeProtect), and one that does not keep
// an attribute refuses every change of it (notSupported).
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
    // The readOnly, hidden, system and archive bits its file system keeps.
    std::uint32_t keptAttributes =
        platform::file_attribute::readOnly | platform::file_attribute::hidden |
        platform::file_attribute::system | platform::file_attribute::archive;
    bool namedVolume = true;  // false: no volume name, as Windows keeps none for network drives
    Entry root;               // the files and folders, listed in the order they were added
};

// The arguments of one ShellExecuteA call; a null text is nullopt.
struct ShellExecution {
    platform::Platform::WindowHandle owner{};
    std::optional<std::string> operation;
    std::optional<std::string> file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    std::int32_t showCommand = 0;
};

// The scriptable operating system of the tests: a drive table indexed by letter, each drive with
// a tree of files and folders. Every call is logged as "Function(path)", or "Function(#handle)"
// for a listing's or file's handle, "ImageList_Draw(#index)" and "FileTimeToSystemTime" alone, so
// that tests can pin which calls were (not) made.
//
// Files open as Windows opens them, with the share modes of the open handles and of
// File::heldForWriting kept. Icons: SHGetFileInfoA's system image list is a table of icon names
// (handle imageList); a folder's is "folder", a file's its File::iconName, else its extension's,
// else "application-octet-stream". ImageList_Draw draws that name with drawThemeIcon. typeName
// is left empty.
//
// Paths of the tree are DOS paths ("D:\Photos\cat.jpg"); names match whatever their case, as on
// NTFS and FAT. Listings see the tree as it was when they started.
//
// Identity: every setDrive mounts a new volume, with a volume number (and volume name) of its
// own; GetFileInformationByHandle gives that number and the entry's index as they were when the
// file was opened.
class Platform final : public platform::Platform {
  public:
    using FindHandle = platform::FindHandle;

    void setDrive(char letter, Drive drive);
    void removeDrive(char letter);
    Drive& drive(char letter);

    // Adds a folder, and the folders above it that are missing; the directory bit is always
    // set. Throws std::invalid_argument for a drive that is not scripted or a path through a file.
    void addFolder(const std::string& path,
                   std::uint32_t attributes = platform::file_attribute::directory);
    // Adds a file, and the folders above it that are missing; replaces a file of that name.
    // Throws as addFolder does, and for a path that names a folder.
    void addFile(const std::string& path, File file = {});
    // Makes listing the folder at path fail (or succeed again). Throws as addFolder does, and
    // for a path that names no folder.
    void setUnreadable(const std::string& path, bool unreadable = true);

    // Removes the file or folder at path, as if someone else had deleted it; nothing when there
    // is none.
    void remove(const std::string& path);
    // Makes the attributes of the entry at path unchangeable (or changeable again). Throws as
    // setUnreadable does, and for a path that names nothing.
    void setLocked(const std::string& path, bool locked = true);

    // What ShellExecuteA answers when the file exists and the operation is "open" or null.
    void setShellExecuteResult(std::intptr_t result) { shellExecuteResult_ = result; }
    // Every ShellExecuteA call, in order.
    const std::vector<ShellExecution>& shellExecutions() const { return shellExecutions_; }
    // Makes a file held open for writing elsewhere (or no longer). Throws as addFolder does, and
    // for a path that names no file.
    void setHeldForWriting(const std::string& path, bool held = true);
    // The icon name of files whose name ends in "." and extension, in any case ("txt").
    void setExtensionIcon(const std::string& extension, const std::string& iconName);

    // The handle of the system image list that SHGetFileInfoA returns.
    static constexpr std::uintptr_t imageList = 1;

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
    bool GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint, char* volumeName,
                                           std::uint32_t bufferLength) override;
    FindHandle FindFirstFileA(const char* fileName, platform::FindData* findFileData) override;
    bool FindNextFileA(FindHandle findFile, platform::FindData* findFileData) override;
    bool FindClose(FindHandle findFile) override;
    // FindFirstFileA's codes: notReady on a drive without a volume, accessDenied for a folder made
    // unreadable, the others as platform.h says; SetFileAttributesA's: accessDenied for a locked
    // entry, writeProtect and notSupported as Drive says.
    std::uint32_t GetLastError() override { return lastError_; }

    // Files: attributes and opening. The entry's scripted attributes are read and changed;
    // SetFileAttributesA is logged as "SetFileAttributesA(path, 0x21)".
    std::uint32_t GetFileAttributesA(const char* fileName) override;
    bool GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                              platform::FileAttributeData* fileInformation) override;
    bool SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) override;
    std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                std::int32_t showCommand) override;

    // Files: opening, times, short names and icons.
    platform::FileHandle CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                     std::uint32_t shareMode, const void* securityAttributes,
                                     std::uint32_t creationDisposition,
                                     std::uint32_t flagsAndAttributes,
                                     platform::FileHandle templateFile) override;
    bool CloseHandle(platform::FileHandle object) override;
    bool GetFileTime(platform::FileHandle file, platform::FileTime* creationTime,
                     platform::FileTime* lastAccessTime,
                     platform::FileTime* lastWriteTime) override;
    bool GetFileInformationByHandle(platform::FileHandle file,
                                    platform::ByHandleFileInformation* fileInformation) override;
    bool FileTimeToSystemTime(const platform::FileTime* fileTime,
                              platform::SystemTime* systemTime) override;
    std::uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                                    std::uint32_t bufferLength) override;
    std::uintptr_t SHGetFileInfoA(const char* path, std::uint32_t fileAttributes,
                                  platform::ShFileInfo* info, std::uint32_t infoSize,
                                  std::uint32_t flags) override;
    bool ImageList_Draw(std::uintptr_t imageList, std::int32_t index, platform::DeviceContext& dc,
                        std::int32_t x, std::int32_t y, std::uint32_t style) override;

    // How many listings are open now.
    std::size_t openListings() const { return listings_.size(); }
    // How many files are open now.
    std::size_t openFiles() const { return files_.size(); }

  private:
    struct Listing {
        std::vector<platform::FindData> entries;
        std::size_t next = 0;
    };
    struct OpenFile {
        std::string path;
        std::uint32_t access = 0;
        std::uint32_t share = 0;
        platform::ByHandleFileInformation identity;
    };
    // Where a DOS path leads: its drive, the entry (null when there is none) and the folder the
    // entry is in (the root for the root itself).
    struct Place {
        Drive* drive = nullptr;
        Entry* entry = nullptr;
        Entry* folder = nullptr;
    };

    // The drive whose root is exactly "X:\" with X an upper- or lower-case letter, if scripted.
    const Drive* driveAt(const char* rootPathName) const;
    // Records a call as "function(argument)".
    void log(const char* function, std::string_view argument);
    // For scripting: the entry at a DOS path, creating the missing folders when `create`; null
    // when there is none. Throws std::invalid_argument for a path that is not on a scripted drive
    // or leads through a file.
    Entry* walk(const std::string& path, bool create);
    // What a lookup of path reports when nothing is there: notReady on a drive without a volume,
    // fileNotFound when the folder that should hold it is there, else pathNotFound.
    std::uint32_t missingCode(const std::string& path);
    // For the calls: where a DOS path leads; all null when the path is null or not on a scripted
    // drive with a volume, the entry null when nothing is there. Never throws.
    Place placeAt(const char* path);

    std::array<std::optional<Drive>, 26> drives_;
    std::uint32_t lastError_ = platform::error_code::success;
    std::array<std::uint32_t, 26> volumeNumbers_{};  // of each letter's mount
    std::uint32_t lastVolumeNumber_ = 0;
    std::vector<std::string> calls_;
    platform::HandleNumbers handles_;
    platform::HandleTable<FindHandle, Listing> listings_{handles_};
    platform::HandleTable<platform::FileHandle, OpenFile> files_{handles_};
    std::intptr_t shellExecuteResult_ = 42;
    std::vector<ShellExecution> shellExecutions_;
    std::map<std::string, std::string> extensionIcons_;  // by lower-case extension
    std::vector<std::string> iconNames_;                 // the system image list, by index
};

}  // namespace fake
