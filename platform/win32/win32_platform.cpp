#include "platform/win32/win32_platform.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "platform/dos_path.h"
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
    return path != nullptr && letterIndex(path[0]).has_value() && path[1] == ':' && path[2] == '\\';
}

FileTime fileTimeOf(const FILETIME& time) {
    return {static_cast<std::uint32_t>(time.dwLowDateTime),
            static_cast<std::uint32_t>(time.dwHighDateTime)};
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

bool Win32Platform::GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint,
                                                      char* volumeName,
                                                      std::uint32_t bufferLength) {
    if (!driveIndex(volumeMountPoint) || volumeName == nullptr) return false;
    NameBuffer name(volumeName, bufferLength);
    BOOL succeeded = FALSE;
    {
        const NoCriticalErrorBox quiet;
        succeeded = ::GetVolumeNameForVolumeMountPointA(volumeMountPoint, name.data(), name.size());
    }
    if (!succeeded) return false;
    name.copyOut();
    return true;
}

FindHandle Win32Platform::FindFirstFileA(const char* fileName, FindData* findFileData) {
    lastError_ = findFileData == nullptr ? error_code::invalidParameter : error_code::pathNotFound;
    if (!startsWithDriveRoot(fileName) || findFileData == nullptr) return invalidFindHandle;
    WIN32_FIND_DATAA data{};
    HANDLE search = INVALID_HANDLE_VALUE;
    {
        const NoCriticalErrorBox quiet;
        search = ::FindFirstFileA(fileName, &data);
        lastError_ = static_cast<std::uint32_t>(::GetLastError());
    }
    if (search == INVALID_HANDLE_VALUE) return invalidFindHandle;
    *findFileData = findDataOf(data);
    return searches_.add(SystemHandle(search, [](void* handle) { ::FindClose(handle); }));
}

bool Win32Platform::FindNextFileA(FindHandle findFile, FindData* findFileData) {
    const SystemHandle* search = searches_.find(findFile);
    if (search == nullptr || findFileData == nullptr) return false;
    WIN32_FIND_DATAA data{};
    if (!::FindNextFileA(search->get(), &data)) return false;
    *findFileData = findDataOf(data);
    return true;
}

bool Win32Platform::FindClose(FindHandle findFile) {
    return searches_.close(findFile);
}

std::uint32_t Win32Platform::GetFileAttributesA(const char* fileName) {
    if (!startsWithDriveRoot(fileName)) return invalidFileAttributes;
    const NoCriticalErrorBox quiet;
    return static_cast<std::uint32_t>(::GetFileAttributesA(fileName));
}

bool Win32Platform::GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                                         FileAttributeData* fileInformation) {
    lastError_ = error_code::invalidParameter;
    if (fileInformation == nullptr || infoLevelId != file_info_level::standard) return false;
    lastError_ = error_code::pathNotFound;
    if (!startsWithDriveRoot(fileName)) return false;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    BOOL succeeded = FALSE;
    {
        const NoCriticalErrorBox quiet;
        succeeded = ::GetFileAttributesExA(fileName, GetFileExInfoStandard, &data);
        lastError_ = static_cast<std::uint32_t>(::GetLastError());
    }
    if (!succeeded) return false;
    fileInformation->fileAttributes = static_cast<std::uint32_t>(data.dwFileAttributes);
    fileInformation->fileSize = std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    return true;
}

bool Win32Platform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    lastError_ = fileName == nullptr ? error_code::invalidParameter : error_code::pathNotFound;
    if (!startsWithDriveRoot(fileName)) return false;
    const NoCriticalErrorBox quiet;
    const BOOL succeeded = ::SetFileAttributesA(fileName, static_cast<DWORD>(fileAttributes));
    lastError_ = static_cast<std::uint32_t>(::GetLastError());
    return succeeded != FALSE;
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

// Only what the interface supports reaches the system: another disposition would create files,
// and templates and security descriptors would have to be the system's own objects.
FileHandle Win32Platform::CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                      std::uint32_t shareMode, const void* securityAttributes,
                                      std::uint32_t creationDisposition,
                                      std::uint32_t flagsAndAttributes, FileHandle templateFile) {
    if (!startsWithDriveRoot(fileName) ||
        !isSupportedOpen(desiredAccess, shareMode, securityAttributes, creationDisposition,
                         flagsAndAttributes, templateFile))
        return invalidFileHandle;
    HANDLE file = INVALID_HANDLE_VALUE;
    {
        const NoCriticalErrorBox quiet;
        file = ::CreateFileA(fileName, desiredAccess, shareMode, nullptr, creationDisposition,
                             flagsAndAttributes, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) return invalidFileHandle;
    return files_.add(SystemHandle(file, [](void* handle) { ::CloseHandle(handle); }));
}

bool Win32Platform::CloseHandle(FileHandle object) {
    return files_.close(object);
}

bool Win32Platform::GetFileTime(FileHandle file, FileTime* creationTime, FileTime* lastAccessTime,
                                FileTime* lastWriteTime) {
    const SystemHandle* open = files_.find(file);
    if (open == nullptr) return false;
    FILETIME creation{};
    FILETIME lastAccess{};
    FILETIME lastWrite{};
    if (!::GetFileTime(open->get(), &creation, &lastAccess, &lastWrite)) return false;
    out_params::store(creationTime, fileTimeOf(creation));
    out_params::store(lastAccessTime, fileTimeOf(lastAccess));
    out_params::store(lastWriteTime, fileTimeOf(lastWrite));
    return true;
}

bool Win32Platform::GetFileInformationByHandle(FileHandle file,
                                               ByHandleFileInformation* fileInformation) {
    const SystemHandle* open = files_.find(file);
    if (open == nullptr || fileInformation == nullptr) return false;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(open->get(), &information)) return false;
    *fileInformation = {static_cast<std::uint32_t>(information.dwVolumeSerialNumber),
                        static_cast<std::uint32_t>(information.nFileIndexHigh),
                        static_cast<std::uint32_t>(information.nFileIndexLow)};
    return true;
}

bool Win32Platform::FileTimeToSystemTime(const FileTime* fileTime, SystemTime* systemTime) {
    if (fileTime == nullptr || systemTime == nullptr) return false;
    const FILETIME time{fileTime->lowDateTime, fileTime->highDateTime};
    SYSTEMTIME result{};
    if (!::FileTimeToSystemTime(&time, &result)) return false;
    *systemTime = {result.wYear, result.wMonth,  result.wDayOfWeek, result.wDay,
                   result.wHour, result.wMinute, result.wSecond,    result.wMilliseconds};
    return true;
}

std::uint32_t Win32Platform::GetShortPathNameA(const char* longPath, char* shortPath,
                                               std::uint32_t bufferLength) {
    if (!startsWithDriveRoot(longPath)) return 0;
    // Into a buffer of this platform's own, so that a failing call writes nothing of the
    // caller's; the system lets shortPath be longPath itself.
    std::string buffer(shortPath != nullptr ? bufferLength : 0, '\0');
    DWORD length = 0;
    {
        const NoCriticalErrorBox quiet;
        length = ::GetShortPathNameA(longPath, shortPath != nullptr ? buffer.data() : nullptr,
                                     static_cast<DWORD>(buffer.size()));
    }
    if (length != 0 && length < buffer.size()) std::memcpy(shortPath, buffer.data(), length + 1);
    return static_cast<std::uint32_t>(length);
}

std::uintptr_t Win32Platform::SHGetFileInfoA(const char* path, std::uint32_t fileAttributes,
                                             ShFileInfo* info, std::uint32_t infoSize,
                                             std::uint32_t flags) {
    if (!startsWithDriveRoot(path) || info == nullptr || infoSize < sizeof(ShFileInfo)) return 0;
    // The system answers SHGFI_EXETYPE alone, with the executable's type instead of the image
    // list (Wine then fills nothing else); the interface promises the list with sysIconIndex.
    if ((flags & shell_info::sysIconIndex) != 0) flags &= ~shell_info::exeType;
    SHFILEINFOA data{};
    DWORD_PTR result = 0;
    {
        const NoCriticalErrorBox quiet;
        result = ::SHGetFileInfoA(path, fileAttributes, &data, sizeof data, flags);
    }
    if (result == 0) return 0;
    info->icon = reinterpret_cast<std::uintptr_t>(data.hIcon);
    info->iconIndex = data.iIcon;
    info->attributes = static_cast<std::uint32_t>(data.dwAttributes);
    info->displayName = data.szDisplayName;
    info->typeName = data.szTypeName;
    return static_cast<std::uintptr_t>(result);
}

bool Win32Platform::ImageList_Draw(std::uintptr_t imageList, std::int32_t index, DeviceContext& dc,
                                   std::int32_t x, std::int32_t y, std::uint32_t style) {
    const std::uintptr_t surface = dc.nativeHandle();
    if (imageList == 0 || surface == 0) return false;
    return ::ImageList_Draw(reinterpret_cast<HIMAGELIST>(imageList), index,
                            reinterpret_cast<HDC>(surface), x, y, style) != FALSE;
}

}  // namespace platform
