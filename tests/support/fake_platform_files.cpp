// The fake platform's file calls: attributes, opening, times, short names and icons.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/dos_path.h"
#include "platform/file_time.h"
#include "platform/out_params.h"
#include "tests/support/fake_names.h"
#include "tests/support/fake_platform.h"

namespace fake {

using names::sameName;
using names::shown;
using platform::out_params::copyText;
using platform::out_params::store;

std::uint32_t Platform::GetFileAttributesA(const char* fileName) {
    log("GetFileAttributesA", shown(fileName));
    const Entry* entry = placeAt(fileName).entry;
    return entry ? entry->attributes : invalidFileAttributes;
}

bool Platform::GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                                    platform::FileAttributeData* fileInformation) {
    using namespace platform::error_code;
    log("GetFileAttributesExA", shown(fileName));
    lastError_ = invalidParameter;
    if (fileName == nullptr || fileInformation == nullptr ||
        infoLevelId != platform::file_info_level::standard)
        return false;
    const Entry* entry = placeAt(fileName).entry;
    if (entry == nullptr) {
        lastError_ = missingCode(fileName);
        return false;
    }
    lastError_ = success;
    *fileInformation = {entry->attributes, entry->isFolder ? 0 : entry->size};
    return true;
}

bool Platform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    char word[16];
    std::snprintf(word, sizeof word, ", 0x%x", static_cast<unsigned>(fileAttributes));
    log("SetFileAttributesA", std::string(shown(fileName)) + word);
    using namespace platform::error_code;
    namespace attr = platform::file_attribute;
    lastError_ = invalidParameter;
    if (fileName == nullptr) return false;
    const Place place = placeAt(fileName);
    Entry* entry = place.entry;
    if (entry == nullptr) {
        lastError_ = missingCode(fileName);
        return false;
    }
    lastError_ = accessDenied;
    if (entry->locked) return false;
    lastError_ = writeProtect;
    if ((place.drive->fileSystemFlags & platform::fs_flags::readOnlyVolume) != 0) return false;
    constexpr std::uint32_t dosBits = attr::readOnly | attr::hidden | attr::system | attr::archive;
    const std::uint32_t kept = fileAttributes & dosBits;
    lastError_ = notSupported;
    if (((entry->attributes ^ kept) & dosBits & ~place.drive->keptAttributes) != 0) return false;
    lastError_ = success;
    if (entry->isFolder)
        entry->attributes = attr::directory | kept;
    else
        entry->attributes = kept == 0 ? attr::normal : kept;
    return true;
}

std::intptr_t Platform::ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                      const char* parameters, const char* directory,
                                      std::int32_t showCommand) {
    log("ShellExecuteA", shown(file));
    const auto text = [](const char* s) {
        return s ? std::optional<std::string>(s) : std::nullopt;
    };
    shellExecutions_.push_back(
        {owner, text(operation), text(file), text(parameters), text(directory), showCommand});
    if (operation != nullptr && !sameName(operation, "open")) return shellNoAssociation;
    if (placeAt(file).entry == nullptr) return shellFileNotFound;
    return shellExecuteResult_;
}

platform::FileHandle Platform::CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                           std::uint32_t shareMode, const void* securityAttributes,
                                           std::uint32_t creationDisposition,
                                           std::uint32_t flagsAndAttributes,
                                           platform::FileHandle templateFile) {
    using namespace platform;
    log("CreateFileA", shown(fileName));
    if (fileName == nullptr ||
        !isSupportedOpen(desiredAccess, shareMode, securityAttributes, creationDisposition,
                         flagsAndAttributes, templateFile))
        return invalidFileHandle;
    const Entry* entry = placeAt(fileName).entry;
    if (entry == nullptr || entry->isFolder) return invalidFileHandle;
    if (entry->file.heldForWriting && (shareMode & file_share::write) == 0)
        return invalidFileHandle;
    for (const auto& [number, open] : files_) {
        if (placeAt(open.path.c_str()).entry == entry &&
            !sharingAllows(open.access, open.share, desiredAccess, shareMode))
            return invalidFileHandle;
    }
    const platform::ByHandleFileInformation identity{
        volumeNumbers_[platform::splitDosPath(fileName)->drive],
        static_cast<std::uint32_t>(entry->index >> 32), static_cast<std::uint32_t>(entry->index)};
    return files_.add({fileName, desiredAccess, shareMode, identity});
}

bool Platform::CloseHandle(platform::FileHandle object) {
    log("CloseHandle", shown(object));
    return files_.close(object);
}

bool Platform::GetFileTime(platform::FileHandle file, platform::FileTime* creationTime,
                           platform::FileTime* lastAccessTime, platform::FileTime* lastWriteTime) {
    log("GetFileTime", shown(file));
    const OpenFile* open = files_.find(file);
    if (open == nullptr) return false;
    const Entry* entry = placeAt(open->path.c_str()).entry;
    if (entry == nullptr) return false;
    store(creationTime, entry->file.creationTime);
    store(lastAccessTime, entry->file.lastAccessTime);
    store(lastWriteTime, entry->file.lastWriteTime);
    return true;
}

bool Platform::GetFileInformationByHandle(platform::FileHandle file,
                                          platform::ByHandleFileInformation* fileInformation) {
    log("GetFileInformationByHandle", shown(file));
    const OpenFile* open = files_.find(file);
    if (open == nullptr || fileInformation == nullptr) return false;
    *fileInformation = open->identity;
    return true;
}

bool Platform::FileTimeToSystemTime(const platform::FileTime* fileTime,
                                    platform::SystemTime* systemTime) {
    calls_.push_back("FileTimeToSystemTime");
    return platform::fileTimeToSystemTime(fileTime, systemTime);
}

std::uint32_t Platform::GetShortPathNameA(const char* longPath, char* shortPath,
                                          std::uint32_t bufferLength) {
    log("GetShortPathNameA", shown(longPath));
    const Entry* entry = placeAt(longPath).entry;
    if (entry == nullptr) return 0;
    const std::string path = entry->file.shortPath.empty() ? longPath : entry->file.shortPath;
    if (shortPath == nullptr || path.size() >= bufferLength)
        return static_cast<std::uint32_t>(path.size() + 1);
    copyText(path, shortPath);
    return static_cast<std::uint32_t>(path.size());
}

std::uintptr_t Platform::SHGetFileInfoA(const char* path, std::uint32_t /*fileAttributes*/,
                                        platform::ShFileInfo* info, std::uint32_t infoSize,
                                        std::uint32_t flags) {
    using namespace platform;
    log("SHGetFileInfoA", shown(path));
    if (info == nullptr || infoSize < sizeof(ShFileInfo) || (flags & shell_info::windowsOnly) != 0)
        return 0;
    const Entry* entry = placeAt(path).entry;
    if (entry == nullptr) return 0;
    std::string iconName = entry->isFolder ? "folder" : entry->file.iconName;
    if (iconName.empty()) {
        const std::size_t dot = entry->name.rfind('.');
        std::string extension;
        if (dot != std::string::npos) {
            for (const char c : entry->name.substr(dot + 1))
                extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        const auto found = extensionIcons_.find(extension);
        iconName = dot != std::string::npos && found != extensionIcons_.end()
                       ? found->second
                       : "application-octet-stream";
    }
    if ((flags & shell_info::sysIconIndex) != 0) {
        auto found = std::find(iconNames_.begin(), iconNames_.end(), iconName);
        if (found == iconNames_.end()) found = iconNames_.insert(found, iconName);
        info->iconIndex = static_cast<std::int32_t>(found - iconNames_.begin());
    }
    if ((flags & shell_info::displayName) != 0) info->displayName = entry->name;
    if ((flags & shell_info::typeName) != 0) info->typeName.clear();
    return (flags & shell_info::sysIconIndex) != 0 ? imageList : 1;
}

bool Platform::ImageList_Draw(std::uintptr_t list, std::int32_t index, platform::DeviceContext& dc,
                              std::int32_t x, std::int32_t y, std::uint32_t /*style*/) {
    log("ImageList_Draw", "#" + std::to_string(index));
    if (list != imageList || index < 0 || static_cast<std::size_t>(index) >= iconNames_.size())
        return false;
    dc.drawThemeIcon(iconNames_[static_cast<std::size_t>(index)], x, y);
    return true;
}

}  // namespace fake
