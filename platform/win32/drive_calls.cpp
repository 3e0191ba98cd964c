#include "platform/win32/drive_calls.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <chrono>

namespace platform::win32 {

namespace {

// Switches off the critical-error box ("There is no disk in the drive") for the calling thread
// for as long as it lives, then restores the thread's mode. The thread's, not the process's:
// calls on several drives' workers run at once, and one stuck in a call would keep the mode.
class NoCriticalErrorBox {
  public:
    NoCriticalErrorBox() {
        ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_);
    }
    ~NoCriticalErrorBox() { ::SetThreadErrorMode(previous_, nullptr); }
    NoCriticalErrorBox(const NoCriticalErrorBox&) = delete;
    NoCriticalErrorBox& operator=(const NoCriticalErrorBox&) = delete;

  private:
    DWORD previous_ = 0;
};

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

void NameBuffer::copyOut(char* caller) const {
    if (caller == nullptr || text_.empty()) return;
    const std::size_t length = text_.find('\0');
    const std::size_t count = length == std::string::npos ? text_.size() : length + 1;
    text_.copy(caller, count);
}

std::uint32_t driveType(const std::string& root) {
    return static_cast<std::uint32_t>(::GetDriveTypeA(root.c_str()));
}

std::optional<VolumeInformation> volumeInformation(const std::string& root,
                                                   VolumeInformation empty) {
    VolumeInformation answer = std::move(empty);
    DWORD serialNumber = 0;
    DWORD maxComponentLength = 0;
    DWORD flags = 0;
    const NoCriticalErrorBox quiet;
    if (!::GetVolumeInformationA(root.c_str(), answer.volumeName.data(), answer.volumeName.size(),
                                 &serialNumber, &maxComponentLength, &flags,
                                 answer.fileSystemName.data(), answer.fileSystemName.size()))
        return std::nullopt;
    answer.serialNumber = static_cast<std::uint32_t>(serialNumber);
    answer.maxComponentLength = static_cast<std::uint32_t>(maxComponentLength);
    answer.fileSystemFlags = static_cast<std::uint32_t>(flags);
    return answer;
}

std::optional<FreeSpace> freeSpace(const std::string& root) {
    DWORD sectors = 0;
    DWORD bytes = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    const NoCriticalErrorBox quiet;
    if (!::GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &freeClusters, &totalClusters))
        return std::nullopt;
    return FreeSpace{static_cast<std::uint32_t>(sectors), static_cast<std::uint32_t>(bytes),
                     static_cast<std::uint32_t>(freeClusters),
                     static_cast<std::uint32_t>(totalClusters)};
}

std::optional<NameBuffer> volumeName(const std::string& root, std::uint32_t bufferLength) {
    NameBuffer name(true, bufferLength);
    const NoCriticalErrorBox quiet;
    if (!::GetVolumeNameForVolumeMountPointA(root.c_str(), name.data(), name.size()))
        return std::nullopt;
    return name;
}

Search findFirst(const std::string& fileName) {
    WIN32_FIND_DATAA data{};
    const NoCriticalErrorBox quiet;
    const HANDLE search = ::FindFirstFileA(fileName.c_str(), &data);
    const auto error = static_cast<std::uint32_t>(::GetLastError());
    if (search == INVALID_HANDLE_VALUE) return {nullptr, {}, error};
    return {std::make_shared<const SystemHandle>(search, [](void* handle) { ::FindClose(handle); }),
            findDataOf(data), error};
}

Batch findNext(const SystemHandle& search) {
    constexpr auto moment = std::chrono::milliseconds(50);
    constexpr std::size_t most = 256;
    const auto start = std::chrono::steady_clock::now();
    Batch batch;
    WIN32_FIND_DATAA data{};
    while (batch.entries.size() < most && std::chrono::steady_clock::now() - start < moment) {
        if (!::FindNextFileA(search.get(), &data)) {
            batch.ended = true;
            break;
        }
        batch.entries.push_back(findDataOf(data));
    }
    return batch;
}

std::uint32_t fileAttributes(const std::string& fileName) {
    const NoCriticalErrorBox quiet;
    return static_cast<std::uint32_t>(::GetFileAttributesA(fileName.c_str()));
}

AttributeAnswer fileAttributesEx(const std::string& fileName) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const NoCriticalErrorBox quiet;
    const BOOL succeeded = ::GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data);
    AttributeAnswer answer{std::nullopt, static_cast<std::uint32_t>(::GetLastError())};
    if (succeeded)
        answer.data =
            FileAttributeData{static_cast<std::uint32_t>(data.dwFileAttributes),
                              std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow};
    return answer;
}

std::uint32_t setFileAttributes(const std::string& fileName, std::uint32_t attributes) {
    const NoCriticalErrorBox quiet;
    if (::SetFileAttributesA(fileName.c_str(), static_cast<DWORD>(attributes)))
        return error_code::success;
    return static_cast<std::uint32_t>(::GetLastError());
}

SharedHandle createFile(const std::string& fileName, std::uint32_t desiredAccess,
                        std::uint32_t shareMode, std::uint32_t creationDisposition,
                        std::uint32_t flagsAndAttributes) {
    const NoCriticalErrorBox quiet;
    const HANDLE file = ::CreateFileA(fileName.c_str(), desiredAccess, shareMode, nullptr,
                                      creationDisposition, flagsAndAttributes, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_shared<const SystemHandle>(file, [](void* handle) { ::CloseHandle(handle); });
}

std::optional<FileTimes> fileTimes(const SystemHandle& file) {
    FILETIME creation{};
    FILETIME lastAccess{};
    FILETIME lastWrite{};
    if (!::GetFileTime(file.get(), &creation, &lastAccess, &lastWrite)) return std::nullopt;
    return FileTimes{fileTimeOf(creation), fileTimeOf(lastAccess), fileTimeOf(lastWrite)};
}

std::optional<ByHandleFileInformation> fileIdentity(const SystemHandle& file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
    return ByHandleFileInformation{static_cast<std::uint32_t>(information.dwVolumeSerialNumber),
                                   static_cast<std::uint32_t>(information.nFileIndexHigh),
                                   static_cast<std::uint32_t>(information.nFileIndexLow)};
}

ShortPath shortPath(const std::string& longPath, bool wanted, std::uint32_t bufferLength) {
    ShortPath answer{NameBuffer(wanted, bufferLength)};
    const NoCriticalErrorBox quiet;
    answer.length = static_cast<std::uint32_t>(
        ::GetShortPathNameA(longPath.c_str(), answer.buffer.data(), answer.buffer.size()));
    return answer;
}

ShellInfo::~ShellInfo() {
    if (info_.icon != 0) ::DestroyIcon(reinterpret_cast<HICON>(info_.icon));
}

ShellInfo shellInfo(const std::string& path, std::uint32_t fileAttributes, std::uint32_t flags) {
    SHFILEINFOA data{};
    DWORD_PTR result = 0;
    {
        const NoCriticalErrorBox quiet;
        result = ::SHGetFileInfoA(path.c_str(), fileAttributes, &data, sizeof data, flags);
    }
    if (result == 0) return {};
    return {static_cast<std::uintptr_t>(result),
            {reinterpret_cast<std::uintptr_t>(data.hIcon), data.iIcon,
             static_cast<std::uint32_t>(data.dwAttributes), data.szDisplayName, data.szTypeName}};
}

}  // namespace platform::win32
