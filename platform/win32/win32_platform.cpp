#include "platform/win32/win32_platform.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "platform/drive_root.h"
#include "platform/out_params.h"

namespace platform {

using out_params::store;

namespace {

// Switches off the critical-error box for as long as it lives, then restores the mode the
// process had.
class NoCriticalErrorBox {
  public:
    NoCriticalErrorBox()
        : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~NoCriticalErrorBox() { ::SetErrorMode(previous_); }
    NoCriticalErrorBox(const NoCriticalErrorBox&) = delete;
    NoCriticalErrorBox& operator=(const NoCriticalErrorBox&) = delete;

  private:
    UINT previous_;
};

// A buffer of the caller's size that the call writes into; copied out only on success, so a
// failed call leaves the caller's buffer as it was.
class NameBuffer {
  public:
    NameBuffer(char* callerBuffer, std::uint32_t size)
        : caller_(callerBuffer), local_(callerBuffer ? size : 0, '\0') {}
    char* data() { return caller_ ? local_.data() : nullptr; }
    DWORD size() const { return static_cast<DWORD>(local_.size()); }
    // The text the call wrote, with its terminator.
    void copyOut() const {
        if (caller_ == nullptr || local_.empty()) return;
        const std::size_t length = local_.find('\0');
        const std::size_t count = length == std::string::npos ? local_.size() : length + 1;
        local_.copy(caller_, count);
    }

  private:
    char* caller_;
    std::string local_;
};

// A path that starts with a drive's root: "X:\" and whatever follows.
bool startsWithDriveRoot(const char* path) {
    return path != nullptr && path[0] != '\0' && path[1] == ':' && path[2] == '\\' &&
           driveIndex(std::string(path, 3).c_str()).has_value();
}

FindData findDataOf(const WIN32_FIND_DATAA& data) {
    FindData result;
    result.fileAttributes = static_cast<std::uint32_t>(data.dwFileAttributes);
    result.fileSize = std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    result.fileName = data.cFileName;
    return result;
}

}  // namespace

// Only drive roots reach the system: Windows would take a null or empty path for the current
// folder's drive, which the callers never mean.
std::uint32_t Win32Platform::GetDriveTypeA(const char* rootPathName) {
    if (!driveIndex(rootPathName)) return drive_type::noRootDir;
    return ::GetDriveTypeA(rootPathName);
}

bool Win32Platform::GetVolumeInformationA(
    const char* rootPathName, char* volumeNameBuffer, std::uint32_t volumeNameSize,
    std::uint32_t* volumeSerialNumber, std::uint32_t* maximumComponentLength,
    std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer, std::uint32_t fileSystemNameSize) {
    if (!driveIndex(rootPathName)) return false;
    NameBuffer volumeName(volumeNameBuffer, volumeNameSize);
    NameBuffer fileSystemName(fileSystemNameBuffer, fileSystemNameSize);
    DWORD serialNumber = 0;
    DWORD maxComponentLength = 0;
    DWORD flags = 0;
    BOOL succeeded = FALSE;
    {
        const NoCriticalErrorBox quiet;
        succeeded = ::GetVolumeInformationA(rootPathName, volumeName.data(), volumeName.size(),
                                            &serialNumber, &maxComponentLength, &flags,
                                            fileSystemName.data(), fileSystemName.size());
    }
    if (!succeeded) return false;
    volumeName.copyOut();
    fileSystemName.copyOut();
    store(volumeSerialNumber, static_cast<std::uint32_t>(serialNumber));
    store(maximumComponentLength, static_cast<std::uint32_t>(maxComponentLength));
    store(fileSystemFlags, static_cast<std::uint32_t>(flags));
    return true;
}

bool Win32Platform::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                                      std::uint32_t* bytesPerSector,
                                      std::uint32_t* numberOfFreeClusters,
                                      std::uint32_t* totalNumberOfClusters) {
    if (!driveIndex(rootPathName)) return false;
    DWORD sectors = 0;
    DWORD bytes = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    BOOL succeeded = FALSE;
    {
        const NoCriticalErrorBox quiet;
        succeeded =
            ::GetDiskFreeSpaceA(rootPathName, &sectors, &bytes, &freeClusters, &totalClusters);
    }
    if (!succeeded) return false;
    store(sectorsPerCluster, static_cast<std::uint32_t>(sectors));
    store(bytesPerSector, static_cast<std::uint32_t>(bytes));
    store(numberOfFreeClusters, static_cast<std::uint32_t>(freeClusters));
    store(totalNumberOfClusters, static_cast<std::uint32_t>(totalClusters));
    return true;
}

Win32Platform::~Win32Platform() {
    for (const auto& [number, search] : searches_) ::FindClose(search);
}

FindHandle Win32Platform::FindFirstFileA(const char* fileName, FindData* findFileData) {
    if (!startsWithDriveRoot(fileName) || findFileData == nullptr) return invalidFindHandle;
    WIN32_FIND_DATAA data{};
    HANDLE search = INVALID_HANDLE_VALUE;
    {
        const NoCriticalErrorBox quiet;
        search = ::FindFirstFileA(fileName, &data);
    }
    if (search == INVALID_HANDLE_VALUE) return invalidFindHandle;
    const std::uintptr_t number = nextHandle_++;
    searches_.emplace(number, search);
    *findFileData = findDataOf(data);
    return static_cast<FindHandle>(number);
}

bool Win32Platform::FindNextFileA(FindHandle findFile, FindData* findFileData) {
    const auto search = searches_.find(static_cast<std::uintptr_t>(findFile));
    if (search == searches_.end() || findFileData == nullptr) return false;
    WIN32_FIND_DATAA data{};
    if (!::FindNextFileA(search->second, &data)) return false;
    *findFileData = findDataOf(data);
    return true;
}

bool Win32Platform::FindClose(FindHandle findFile) {
    const auto search = searches_.find(static_cast<std::uintptr_t>(findFile));
    if (search == searches_.end()) return false;
    ::FindClose(search->second);
    searches_.erase(search);
    return true;
}

std::uint32_t Win32Platform::GetFileAttributesA(const char* fileName) {
    if (!startsWithDriveRoot(fileName)) return invalidFileAttributes;
    const NoCriticalErrorBox quiet;
    return static_cast<std::uint32_t>(::GetFileAttributesA(fileName));
}

bool Win32Platform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    if (!startsWithDriveRoot(fileName)) return false;
    const NoCriticalErrorBox quiet;
    return ::SetFileAttributesA(fileName, static_cast<DWORD>(fileAttributes)) != FALSE;
}

std::intptr_t Win32Platform::ShellExecuteA(WindowHandle owner, const char* operation,
                                           const char* file, const char* parameters,
                                           const char* directory, std::int32_t showCommand) {
    if (!startsWithDriveRoot(file)) return shellFileNotFound;
    const HINSTANCE result =
        ::ShellExecuteA(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(owner)), operation, file,
                        parameters, directory, static_cast<INT>(showCommand));
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace platform
