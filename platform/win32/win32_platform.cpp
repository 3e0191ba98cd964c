#include "platform/win32/win32_platform.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <stop_token>
#include <string>

#include "platform/dos_path.h"
#include "platform/out_params.h"

namespace platform {

using out_params::store;

namespace {

// A path that starts with a drive's root: "X:\" and whatever follows.
bool startsWithDriveRoot(const char* path) {
    return path != nullptr && letterIndex(path[0]).has_value() && path[1] == ':' && path[2] == '\\';
}

}  // namespace

Win32Platform::Win32Platform(std::chrono::milliseconds patience) : watchdog_(patience) {}

Win32Platform::~Win32Platform() {
    // Each worker is then the sole owner of what it closes, so that the tables going after this
    // let go of nothing.
    for (auto& [number, file] : files_) release(file.drive, file.handle, false);
    for (auto& [number, listing] : searches_) release(listing.drive, listing.search, false);
}

VolumeKey Win32Platform::driveOf(const char* path) {
    return {*letterIndex(path[0]), 0};
}

template <typename Call, typename Result>
Result Win32Platform::onDrive(const VolumeKey& drive, Call call, Result failed) {
    return watchdog_.run(drive, std::move(call)).value_or(std::move(failed));
}

template <typename Call>
std::optional<VolumeWatchdog::ResultOf<Call>> Win32Platform::reporting(const VolumeKey& drive,
                                                                       Call call) {
    auto answer = watchdog_.run(drive, std::move(call));
    lastError_ = answer ? answer->error : error_code::notReady;
    return answer;
}

bool Win32Platform::answers(const char* path) {
    if (!startsWithDriveRoot(path)) return true;
    return onDrive(
        driveOf(path),
        [name = std::string(path)] {
            win32::fileAttributes(name);
            return true;
        },
        false);
}

void Win32Platform::release(const VolumeKey& drive, Shared& handle, bool waited) {
    if (!handle) return;
    // Under Wine the server process closes the file itself, and a share that does not answer
    // the close would stop all of Wine: the worker first waits for the drive to answer.
    watchdog_.post(drive, [handle = std::move(handle),
                           root = std::string{static_cast<char>('A' + drive.id), ':', '\\'}] {
        win32::fileAttributes(root);
    });
    // Windows closes at once: another open that the handle's share mode kept out may go ahead
    // as soon as the caller has closed it. The worker makes its jobs in order.
    if (waited) watchdog_.run(drive, [] { return true; });
}

// Only drive roots reach the system: Windows would take a null or empty path for the current
// folder's drive, which the callers never mean.
std::uint32_t Win32Platform::GetDriveTypeA(const char* rootPathName) {
    if (!driveIndex(rootPathName)) return drive_type::noRootDir;
    return onDrive(
        driveOf(rootPathName),
        [root = std::string(rootPathName)] { return win32::driveType(root); }, drive_type::unknown);
}

bool Win32Platform::GetVolumeInformationA(
    const char* rootPathName, char* volumeNameBuffer, std::uint32_t volumeNameSize,
    std::uint32_t* volumeSerialNumber, std::uint32_t* maximumComponentLength,
    std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer, std::uint32_t fileSystemNameSize) {
    if (!driveIndex(rootPathName)) return false;
    using win32::NameBuffer;
    const std::optional<win32::VolumeInformation> answer = onDrive(
        driveOf(rootPathName),
        [root = std::string(rootPathName),
         empty = win32::VolumeInformation{NameBuffer(volumeNameBuffer != nullptr, volumeNameSize),
                                          NameBuffer(fileSystemNameBuffer != nullptr,
                                                     fileSystemNameSize)}] {
            return win32::volumeInformation(root, empty);
        },
        std::optional<win32::VolumeInformation>());
    if (!answer) return false;
    answer->volumeName.copyOut(volumeNameBuffer);
    answer->fileSystemName.copyOut(fileSystemNameBuffer);
    store(volumeSerialNumber, answer->serialNumber);
    store(maximumComponentLength, answer->maxComponentLength);
    store(fileSystemFlags, answer->fileSystemFlags);
    return true;
}

bool Win32Platform::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                                      std::uint32_t* bytesPerSector,
                                      std::uint32_t* numberOfFreeClusters,
                                      std::uint32_t* totalNumberOfClusters) {
    if (!driveIndex(rootPathName)) return false;
    const std::optional<win32::FreeSpace> answer = onDrive(
        driveOf(rootPathName),
        [root = std::string(rootPathName)] { return win32::freeSpace(root); },
        std::optional<win32::FreeSpace>());
    if (!answer) return false;
    store(sectorsPerCluster, answer->sectorsPerCluster);
    store(bytesPerSector, answer->bytesPerSector);
    store(numberOfFreeClusters, answer->freeClusters);
    store(totalNumberOfClusters, answer->totalClusters);
    return true;
}

bool Win32Platform::GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint,
                                                      char* volumeName,
                                                      std::uint32_t bufferLength) {
    if (!driveIndex(volumeMountPoint) || volumeName == nullptr) return false;
    const std::optional<win32::NameBuffer> name = onDrive(
        driveOf(volumeMountPoint),
        [root = std::string(volumeMountPoint), bufferLength] {
            return win32::volumeName(root, bufferLength);
        },
        std::optional<win32::NameBuffer>());
    if (!name) return false;
    name->copyOut(volumeName);
    return true;
}

FindHandle Win32Platform::FindFirstFileA(const char* fileName, FindData* findFileData) {
    lastError_ = findFileData == nullptr ? error_code::invalidParameter : error_code::pathNotFound;
    if (!startsWithDriveRoot(fileName) || findFileData == nullptr) return invalidFindHandle;
    Listing listing;
    listing.drive = driveOf(fileName);
    std::optional<win32::Search> started =
        reporting(listing.drive, [name = std::string(fileName)] { return win32::findFirst(name); });
    if (!started || !started->handle) return invalidFindHandle;
    listing.search = std::move(started->handle);
    *findFileData = std::move(started->first);
    return searches_.add(std::move(listing));
}

bool Win32Platform::FindNextFileA(FindHandle findFile, FindData* findFileData) {
    Listing* listing = searches_.find(findFile);
    if (listing == nullptr || findFileData == nullptr) return false;
    if (listing->ahead.empty() && listing->search) {
        std::optional<win32::Batch> batch = onDrive(
            listing->drive,
            [search = listing->search] {
                return std::optional<win32::Batch>(win32::findNext(*search));
            },
            std::optional<win32::Batch>());
        // A drive that stopped answering ends the listing where it is.
        if (!batch || batch->ended) release(listing->drive, listing->search);
        if (batch) {
            for (FindData& entry : batch->entries) listing->ahead.push_back(std::move(entry));
        }
    }
    if (listing->ahead.empty()) return false;
    *findFileData = std::move(listing->ahead.front());
    listing->ahead.pop_front();
    return true;
}

bool Win32Platform::FindClose(FindHandle findFile) {
    Listing* listing = searches_.find(findFile);
    if (listing == nullptr) return false;
    release(listing->drive, listing->search);
    return searches_.close(findFile);
}

std::uint32_t Win32Platform::GetFileAttributesA(const char* fileName) {
    if (!startsWithDriveRoot(fileName)) return invalidFileAttributes;
    return onDrive(
        driveOf(fileName), [name = std::string(fileName)] { return win32::fileAttributes(name); },
        invalidFileAttributes);
}

bool Win32Platform::GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                                         FileAttributeData* fileInformation) {
    lastError_ = error_code::invalidParameter;
    if (fileInformation == nullptr || infoLevelId != file_info_level::standard) return false;
    lastError_ = error_code::pathNotFound;
    if (!startsWithDriveRoot(fileName)) return false;
    const std::optional<win32::AttributeAnswer> answer =
        reporting(driveOf(fileName),
                  [name = std::string(fileName)] { return win32::fileAttributesEx(name); });
    if (!answer || !answer->data) return false;
    *fileInformation = *answer->data;
    return true;
}

bool Win32Platform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    lastError_ = fileName == nullptr ? error_code::invalidParameter : error_code::pathNotFound;
    if (!startsWithDriveRoot(fileName)) return false;
    // The error is the system's, carried from the drive's thread, where it was set.
    struct Changed {
        std::uint32_t error = error_code::success;
    };
    const std::optional<Changed> answer =
        reporting(driveOf(fileName),
                  [name = std::string(fileName), fileAttributes](const std::stop_token& givenUp) {
                      // A drive that answers after the caller gave up must not be changed after
                      // all. The change is one call of the system's, so the wait is in reaching the
                      // file first.
                      win32::fileAttributes(name);
                      if (givenUp.stop_requested()) return Changed{error_code::notReady};
                      return Changed{win32::setFileAttributes(name, fileAttributes)};
                  });
    return answer && answer->error == error_code::success;
}

// Reaching the file and its folder is what may wait for a drive; the shell itself runs here, on
// the caller's thread, which its dialogs and the caller's COM apartment belong to.
std::intptr_t Win32Platform::ShellExecuteA(WindowHandle owner, const char* operation,
                                           const char* file, const char* parameters,
                                           const char* directory, std::int32_t showCommand) {
    if (!startsWithDriveRoot(file) || !answers(file)) return shellFileNotFound;
    if (directory != nullptr && !answers(directory)) return shellPathNotFound;
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
    OpenFile open{nullptr, driveOf(fileName)};
    open.handle = onDrive(
        open.drive,
        [name = std::string(fileName), desiredAccess, shareMode, creationDisposition,
         flagsAndAttributes] {
            return win32::createFile(name, desiredAccess, shareMode, creationDisposition,
                                     flagsAndAttributes);
        },
        Shared());
    if (!open.handle) return invalidFileHandle;
    return files_.add(std::move(open));
}

bool Win32Platform::CloseHandle(FileHandle object) {
    OpenFile* open = files_.find(object);
    if (open == nullptr) return false;
    release(open->drive, open->handle);
    return files_.close(object);
}

bool Win32Platform::GetFileTime(FileHandle file, FileTime* creationTime, FileTime* lastAccessTime,
                                FileTime* lastWriteTime) {
    const OpenFile* open = files_.find(file);
    if (open == nullptr) return false;
    const std::optional<win32::FileTimes> times = onDrive(
        open->drive, [handle = open->handle] { return win32::fileTimes(*handle); },
        std::optional<win32::FileTimes>());
    if (!times) return false;
    store(creationTime, times->creation);
    store(lastAccessTime, times->lastAccess);
    store(lastWriteTime, times->lastWrite);
    return true;
}

bool Win32Platform::GetFileInformationByHandle(FileHandle file,
                                               ByHandleFileInformation* fileInformation) {
    const OpenFile* open = files_.find(file);
    if (open == nullptr || fileInformation == nullptr) return false;
    const std::optional<ByHandleFileInformation> answer = onDrive(
        open->drive, [handle = open->handle] { return win32::fileIdentity(*handle); },
        std::optional<ByHandleFileInformation>());
    if (!answer) return false;
    *fileInformation = *answer;
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
    // Into a buffer of the worker's own, so that a failing call writes nothing of the caller's;
    // the system lets shortPath be longPath itself.
    const win32::ShortPath answer = onDrive(
        driveOf(longPath),
        [name = std::string(longPath), wanted = shortPath != nullptr, bufferLength] {
            return win32::shortPath(name, wanted, bufferLength);
        },
        win32::ShortPath());
    if (answer.length != 0 && answer.length < answer.buffer.size())
        answer.buffer.copyOut(shortPath);
    return answer.length;
}

std::uintptr_t Win32Platform::SHGetFileInfoA(const char* path, std::uint32_t fileAttributes,
                                             ShFileInfo* info, std::uint32_t infoSize,
                                             std::uint32_t flags) {
    if (!startsWithDriveRoot(path) || info == nullptr || infoSize < sizeof(ShFileInfo)) return 0;
    // The system answers SHGFI_EXETYPE alone, with the executable's type instead of the image
    // list (Wine then fills nothing else); the interface promises the list with sysIconIndex.
    if ((flags & shell_info::sysIconIndex) != 0) flags &= ~shell_info::exeType;
    win32::ShellInfo answer = onDrive(
        driveOf(path),
        [name = std::string(path), fileAttributes, flags] {
            return win32::shellInfo(name, fileAttributes, flags);
        },
        win32::ShellInfo());
    if (answer.result() == 0) return 0;
    *info = answer.takeInfo();
    return answer.result();
}

bool Win32Platform::ImageList_Draw(std::uintptr_t imageList, std::int32_t index, DeviceContext& dc,
                                   std::int32_t x, std::int32_t y, std::uint32_t style) {
    const std::uintptr_t surface = dc.nativeHandle();
    if (imageList == 0 || surface == 0) return false;
    return ::ImageList_Draw(reinterpret_cast<HIMAGELIST>(imageList), index,
                            reinterpret_cast<HDC>(surface), x, y, style) != FALSE;
}

}  // namespace platform
