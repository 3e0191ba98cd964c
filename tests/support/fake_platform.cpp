#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <type_traits>

#include "platform/dos_path.h"
#include "platform/file_time.h"
#include "platform/out_params.h"

namespace fake {

using platform::out_params::copyText;
using platform::out_params::fits;
using platform::out_params::store;

namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upper(x) == upper(y); });
}

Entry* childOf(Entry& folder, std::string_view name) {
    const auto found = std::find_if(folder.children.begin(), folder.children.end(),
                                    [name](const Entry& e) { return sameName(e.name, name); });
    return found == folder.children.end() ? nullptr : &*found;
}

// Where names lead from root down the tree.
struct Descent {
    Entry* entry = nullptr;   // null when a name is missing or below a file
    Entry* folder = nullptr;  // the folder holding entry; root for root itself
    bool throughFile = false;
};

// The one walk of the tree; create adds the missing names as folders.
Descent descend(Entry& root, const std::vector<std::string_view>& names, bool create) {
    Descent descent{&root, &root};
    for (const std::string_view name : names) {
        if (!descent.entry->isFolder) return {nullptr, descent.entry, true};
        descent.folder = descent.entry;
        descent.entry = childOf(*descent.folder, name);
        if (descent.entry == nullptr) {
            if (!create) return {nullptr, descent.folder, false};
            Entry folder;
            folder.name = name;
            descent.folder->children.push_back(std::move(folder));
            descent.entry = &descent.folder->children.back();
        }
    }
    return descent;
}

platform::FindData findDataOf(const Entry& entry, std::string name) {
    return {entry.attributes, entry.isFolder ? 0 : entry.size, std::move(name)};
}

// A path argument as the log shows it.
std::string_view shown(const char* path) {
    return path != nullptr ? path : "null";
}

// A listing's or file's handle as the log shows it.
template <typename Handle>
requires std::is_enum_v<Handle> std::string shown(Handle handle) {
    return "#" + std::to_string(static_cast<std::uintptr_t>(handle));
}

}  // namespace

void Platform::setDrive(char letter, Drive drive) {
    const std::optional<std::size_t> index = platform::letterIndex(letter);
    if (!index) throw std::invalid_argument("not a drive letter");
    drives_[*index] = std::move(drive);
    volumeNumbers_[*index] = ++lastVolumeNumber_;
}

void Platform::removeDrive(char letter) {
    const std::optional<std::size_t> index = platform::letterIndex(letter);
    if (index) drives_[*index].reset();
}

Drive& Platform::drive(char letter) {
    const std::optional<std::size_t> index = platform::letterIndex(letter);
    if (!index || !drives_[*index]) throw std::invalid_argument("no such scripted drive");
    return *drives_[*index];
}

void Platform::addFolder(const std::string& path, std::uint32_t attributes) {
    Entry* folder = walk(path, true);
    if (!folder->isFolder) throw std::invalid_argument("a file is in the way");
    folder->attributes = attributes | platform::file_attribute::directory;
}

void Platform::addFile(const std::string& path, File file) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) throw std::invalid_argument("not on a scripted drive");
    Entry* folder = walk(path.substr(0, separator + 1), true);
    const std::string name = path.substr(separator + 1);
    if (!folder->isFolder || name.empty() || name == "." || name == "..")
        throw std::invalid_argument("not the path of a file");
    Entry* entry = childOf(*folder, name);
    if (entry != nullptr && entry->isFolder) throw std::invalid_argument("a folder is in the way");
    if (entry == nullptr) {
        folder->children.push_back(Entry{name});
        entry = &folder->children.back();
    } else {
        entry->index = newFileIndex();
    }
    entry->isFolder = false;
    entry->attributes = file.attributes;
    entry->size = file.size;
    entry->file = std::move(file);
}

void Platform::setUnreadable(const std::string& path, bool unreadable) {
    Entry* folder = walk(path, false);
    if (folder == nullptr || !folder->isFolder) throw std::invalid_argument("no such folder");
    folder->unreadable = unreadable;
}

void Platform::remove(const std::string& path) {
    const std::optional<platform::DosPath> split = platform::splitDosPath(path);
    if (!split || split->names.empty() || !drives_[split->drive]) return;
    const Descent descent = descend(drives_[split->drive]->root, split->names, false);
    if (descent.entry == nullptr) return;
    std::erase_if(descent.folder->children,
                  [&](const Entry& e) { return sameName(e.name, split->names.back()); });
}

void Platform::setLocked(const std::string& path, bool locked) {
    Entry* entry = walk(path, false);
    if (entry == nullptr) throw std::invalid_argument("no such file or folder");
    entry->locked = locked;
}

void Platform::setHeldForWriting(const std::string& path, bool held) {
    Entry* file = walk(path, false);
    if (file == nullptr || file->isFolder) throw std::invalid_argument("no such file");
    file->file.heldForWriting = held;
}

void Platform::setExtensionIcon(const std::string& extension, const std::string& iconName) {
    std::string key;
    for (const char c : extension)
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    extensionIcons_[key] = iconName;
}

const Drive* Platform::driveAt(const char* rootPathName) const {
    const std::optional<std::size_t> index = platform::driveIndex(rootPathName);
    if (!index || !drives_[*index]) return nullptr;
    return &*drives_[*index];
}

void Platform::log(const char* function, std::string_view argument) {
    calls_.push_back(std::string(function) + "(" + std::string(argument) + ")");
}

Entry* Platform::walk(const std::string& path, bool create) {
    const std::optional<platform::DosPath> split = platform::splitDosPath(path);
    if (!split || !drives_[split->drive]) throw std::invalid_argument("not on a scripted drive");
    const Descent descent = descend(drives_[split->drive]->root, split->names, create);
    if (descent.throughFile) throw std::invalid_argument("a path through a file");
    return descent.entry;
}

Platform::Place Platform::placeAt(const char* path) {
    if (path == nullptr) return {};
    const std::optional<platform::DosPath> split = platform::splitDosPath(path);
    if (!split || !drives_[split->drive] || !drives_[split->drive]->hasVolume) return {};
    Drive& drive = *drives_[split->drive];
    const Descent descent = descend(drive.root, split->names, false);
    return {&drive, descent.entry, descent.folder};
}

std::uint32_t Platform::missingCode(const std::string& path) {
    using namespace platform::error_code;
    const std::optional<platform::DosPath> split = platform::splitDosPath(path);
    if (split && drives_[split->drive] && !drives_[split->drive]->hasVolume) return notReady;
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return pathNotFound;
    const Entry* folder = placeAt(path.substr(0, separator + 1).c_str()).entry;
    return folder != nullptr && folder->isFolder ? fileNotFound : pathNotFound;
}

std::uint32_t Platform::GetDriveTypeA(const char* rootPathName) {
    log("GetDriveTypeA", shown(rootPathName));
    const Drive* drive = driveAt(rootPathName);
    return drive ? drive->type : platform::drive_type::noRootDir;
}

bool Platform::GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                                     std::uint32_t volumeNameSize,
                                     std::uint32_t* volumeSerialNumber,
                                     std::uint32_t* maximumComponentLength,
                                     std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                                     std::uint32_t fileSystemNameSize) {
    log("GetVolumeInformationA", shown(rootPathName));
    const Drive* drive = driveAt(rootPathName);
    if (drive == nullptr || !drive->hasVolume) return false;
    if (!fits(drive->label, volumeNameBuffer, volumeNameSize) ||
        !fits(drive->fileSystem, fileSystemNameBuffer, fileSystemNameSize))
        return false;
    copyText(drive->label, volumeNameBuffer);
    copyText(drive->fileSystem, fileSystemNameBuffer);
    store(volumeSerialNumber, drive->serialNumber);
    store(maximumComponentLength, drive->maxComponentLength);
    store(fileSystemFlags, drive->fileSystemFlags);
    return true;
}

bool Platform::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                                 std::uint32_t* bytesPerSector, std::uint32_t* numberOfFreeClusters,
                                 std::uint32_t* totalNumberOfClusters) {
    log("GetDiskFreeSpaceA", shown(rootPathName));
    const Drive* drive = driveAt(rootPathName);
    if (drive == nullptr || !drive->hasVolume) return false;
    store(sectorsPerCluster, drive->sectorsPerCluster);
    store(bytesPerSector, drive->bytesPerSector);
    store(numberOfFreeClusters, drive->freeClusters);
    store(totalNumberOfClusters, drive->totalClusters);
    return true;
}

bool Platform::GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint, char* volumeName,
                                                 std::uint32_t bufferLength) {
    log("GetVolumeNameForVolumeMountPointA", shown(volumeMountPoint));
    const Drive* drive = driveAt(volumeMountPoint);
    if (drive == nullptr || !drive->hasVolume || !drive->namedVolume || volumeName == nullptr)
        return false;
    char name[64];
    std::snprintf(name, sizeof name, "\\\\?\\Volume{00000000-0000-0000-0000-%012x}\\",
                  volumeNumbers_[*platform::driveIndex(volumeMountPoint)]);
    if (!fits(name, volumeName, bufferLength)) return false;
    copyText(name, volumeName);
    return true;
}

Platform::FindHandle Platform::FindFirstFileA(const char* fileName,
                                              platform::FindData* findFileData) {
    using namespace platform::error_code;
    log("FindFirstFileA", shown(fileName));
    lastError_ = invalidParameter;
    if (fileName == nullptr || findFileData == nullptr) return platform::invalidFindHandle;
    const platform::FindTarget target = platform::findTargetOf(fileName);
    if (target.kind == platform::FindTarget::Kind::oneEntry) {
        const Entry* entry = placeAt(fileName).entry;
        if (entry == nullptr) {
            lastError_ = missingCode(fileName);
            return platform::invalidFindHandle;
        }
        lastError_ = success;
        *findFileData = findDataOf(*entry, entry->name);
        const FindHandle handle = listings_.add({{*findFileData}, 1});
        log("FindFirstFileA", shown(handle));
        return handle;
    }
    if (target.kind != platform::FindTarget::Kind::folder) return platform::invalidFindHandle;
    const std::string folderPath(target.path);
    const Place place = placeAt(folderPath.c_str());
    const Entry* folder = place.entry;
    if (folder == nullptr || !folder->isFolder) {
        lastError_ = folder == nullptr ? missingCode(folderPath) : pathNotFound;
        return platform::invalidFindHandle;
    }
    if (folder->unreadable) {
        lastError_ = accessDenied;
        return platform::invalidFindHandle;
    }

    Listing listing;
    if (folder != &place.drive->root) {
        listing.entries.push_back(findDataOf(*folder, "."));
        listing.entries.push_back(findDataOf(*place.folder, ".."));
    }
    for (const Entry& entry : folder->children)
        listing.entries.push_back(findDataOf(entry, entry.name));
    lastError_ = listing.entries.empty() ? fileNotFound : success;
    if (listing.entries.empty()) return platform::invalidFindHandle;

    *findFileData = listing.entries.front();
    listing.next = 1;
    return listings_.add(std::move(listing));
}

bool Platform::FindNextFileA(FindHandle findFile, platform::FindData* findFileData) {
    log("FindNextFileA", shown(findFile));
    Listing* listing = listings_.find(findFile);
    if (listing == nullptr || findFileData == nullptr || listing->next >= listing->entries.size())
        return false;
    *findFileData = listing->entries[listing->next++];
    return true;
}

bool Platform::FindClose(FindHandle findFile) {
    log("FindClose", shown(findFile));
    return listings_.close(findFile);
}

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
