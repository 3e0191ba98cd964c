#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/platform.h"

// The system's calls that reach a drive, as the Windows backend makes them on the drive's worker
// thread: each takes its arguments as values of its own, switches the critical-error box off for
// its thread while the call runs, and gives what the system answered as values, so that a call
// that its caller gave up on touches nothing of the caller's. Each is the kernel32 or shell32
// call of its name; where that call fails, nothing (nullopt, null, 0) comes back.
namespace platform::win32 {

// A HANDLE of the system's, given back by close (FindClose, CloseHandle) when this goes.
class SystemHandle {
  public:
    using Close = void (*)(void*);
    SystemHandle(void* handle, Close close) : handle_(handle), close_(close) {}
    SystemHandle(const SystemHandle&) = delete;
    SystemHandle& operator=(const SystemHandle&) = delete;
    ~SystemHandle() { close_(handle_); }
    void* get() const { return handle_; }

  private:
    void* handle_;
    Close close_;
};

// Shared by the platform's tables and the jobs of the drive's worker, which closes it last.
using SharedHandle = std::shared_ptr<const SystemHandle>;

// A text buffer of the caller's size (none where the caller passed no buffer) that the system
// writes into.
class NameBuffer {
  public:
    NameBuffer(bool wanted, std::uint32_t size) : wanted_(wanted), text_(wanted ? size : 0, '\0') {}
    char* data() { return wanted_ ? text_.data() : nullptr; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(text_.size()); }
    // Copies what the system wrote, with its terminator, into the caller's buffer (if any).
    void copyOut(char* caller) const;

  private:
    bool wanted_;
    std::string text_;
};

// GetDriveTypeA.
std::uint32_t driveType(const std::string& root);

struct VolumeInformation {
    NameBuffer volumeName;
    NameBuffer fileSystemName;
    std::uint32_t serialNumber = 0;
    std::uint32_t maxComponentLength = 0;
    std::uint32_t fileSystemFlags = 0;
};
// GetVolumeInformationA into the buffers of `empty`.
std::optional<VolumeInformation> volumeInformation(const std::string& root,
                                                   VolumeInformation empty);

struct FreeSpace {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};
// GetDiskFreeSpaceA.
std::optional<FreeSpace> freeSpace(const std::string& root);

// GetVolumeNameForVolumeMountPointA into a buffer of bufferLength bytes.
std::optional<NameBuffer> volumeName(const std::string& root, std::uint32_t bufferLength);

// FindFirstFileA, and the error the system gave for it.
struct Search {
    SharedHandle handle;  // null when the call failed
    FindData first;
    std::uint32_t error = error_code::success;
};
Search findFirst(const std::string& fileName);

// The next entries of a listing: as many as come within a moment, at most 256, so that a slow
// but living drive answers each batch well within the patience.
struct Batch {
    std::vector<FindData> entries;
    bool ended = false;  // the listing has no more
};
Batch findNext(const SystemHandle& search);

// GetFileAttributesA (Platform::invalidFileAttributes when it fails).
std::uint32_t fileAttributes(const std::string& fileName);

// GetFileAttributesExA at the standard level, and the error the system gave for it.
struct AttributeAnswer {
    std::optional<FileAttributeData> data;
    std::uint32_t error = error_code::success;
};
AttributeAnswer fileAttributesEx(const std::string& fileName);

// SetFileAttributesA: error_code::success, or the error the system gave.
std::uint32_t setFileAttributes(const std::string& fileName, std::uint32_t attributes);

// CreateFileA, without security attributes or template.
SharedHandle createFile(const std::string& fileName, std::uint32_t desiredAccess,
                        std::uint32_t shareMode, std::uint32_t creationDisposition,
                        std::uint32_t flagsAndAttributes);

struct FileTimes {
    FileTime creation;
    FileTime lastAccess;
    FileTime lastWrite;
};
// GetFileTime.
std::optional<FileTimes> fileTimes(const SystemHandle& file);

// GetFileInformationByHandle's volume serial number and file index.
std::optional<ByHandleFileInformation> fileIdentity(const SystemHandle& file);

// GetShortPathNameA into a buffer of the caller's size (none where the caller passed none).
struct ShortPath {
    NameBuffer buffer{false, 0};
    std::uint32_t length = 0;  // the call's result
};
ShortPath shortPath(const std::string& longPath, bool wanted, std::uint32_t bufferLength);

// SHGetFileInfoA. An icon that nobody took (ShellInfo::takeIcon) is destroyed with the answer.
class ShellInfo {
  public:
    ShellInfo() = default;
    ShellInfo(std::uintptr_t result, ShFileInfo info) : result_(result), info_(std::move(info)) {}
    ShellInfo(ShellInfo&& other) noexcept
        : result_(other.result_), info_(std::exchange(other.info_, {})) {}
    ShellInfo& operator=(ShellInfo&&) = delete;
    ~ShellInfo();

    std::uintptr_t result() const { return result_; }
    // The information, its icon handed over to the caller.
    ShFileInfo takeInfo() { return std::exchange(info_, {}); }

  private:
    std::uintptr_t result_ = 0;
    ShFileInfo info_;
};
ShellInfo shellInfo(const std::string& path, std::uint32_t fileAttributes, std::uint32_t flags);

}  // namespace platform::win32
