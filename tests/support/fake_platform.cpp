#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "platform/dos_path.h"
#include "platform/file_time.h"
#include "platform/out_params.h"

namespace fake {

using platform::out_params::copyText;
using platform::out_params::fits;
using platform::out_params::store;

namespace {

int letterIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upper(x) == upper(y); });
}

// A DOS path taken apart: its drive's index and its names, resolved as Windows does ("." and
// empty names skipped, ".." up one). Returns nullopt without "X:\" in front or for ".." above
// the root.
struct SplitPath {
    std::size_t drive = 0;
    std::vector<std::string> names;
};

std::optional<SplitPath> splitPath(std::string_view path) {
    if (path.size() < 3 || path[1] != ':' || !isSeparator(path[2]) || letterIndex(path[0]) < 0)
        return std::nullopt;
    SplitPath split;
    split.drive = static_cast<std::size_t>(letterIndex(path[0]));
    std::string_view rest = path.substr(3);
    while (!rest.empty()) {
        const auto end = std::find_if(rest.begin(), rest.end(), isSeparator);
        const std::string_view name(rest.begin(), end);
        rest.remove_prefix(name.size() + (end == rest.end() ? 0 : 1));
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (split.names.empty()) return std::nullopt;
            split.names.pop_back();
            continue;
        }
        split.names.emplace_back(name);
    }
    return split;
}

Entry* childOf(Entry& folder, std::string_view name) {
    const auto found = std::find_if(folder.children.begin(), folder.children.end(),
                                    [name](const Entry& e) { return sameName(e.name, name); });
    return found == folder.children.end() ? nullptr : &*found;
}

platform::FindData findDataOf(const Entry& entry, std::string name) {
    return {entry.attributes, entry.isFolder ? 0 : entry.size, std::move(name)};
}

}  // namespace

void Platform::setDrive(char letter, Drive drive) {
    const int index = letterIndex(letter);
    if (index < 0) throw std::invalid_argument("not a drive letter");
    drives_[static_cast<std::size_t>(index)] = std::move(drive);
}

void Platform::removeDrive(char letter) {
    const int index = letterIndex(letter);
    if (index >= 0) drives_[static_cast<std::size_t>(index)].reset();
}

Drive& Platform::drive(char letter) {
    const int index = letterIndex(letter);
    if (index < 0 || !drives_[static_cast<std::size_t>(index)])
        throw std::invalid_argument("no such scripted drive");
    return *drives_[static_cast<std::size_t>(index)];
}

const Drive* Platform::find(const char* rootPathName) const {
    const std::optional<std::size_t> index = platform::driveIndex(rootPathName);
    if (!index || !drives_[*index]) return nullptr;
    return &*drives_[*index];
}

void Platform::log(const char* function, const char* rootPathName) {
    calls_.push_back(std::string(function) + "(" + (rootPathName ? rootPathName : "null") + ")");
}

std::uint32_t Platform::GetDriveTypeA(const char* rootPathName) {
    log("GetDriveTypeA", rootPathName);
    const Drive* drive = find(rootPathName);
    return drive ? drive->type : platform::drive_type::noRootDir;
}

bool Platform::GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                                     std::uint32_t volumeNameSize,
                                     std::uint32_t* volumeSerialNumber,
                                     std::uint32_t* maximumComponentLength,
                                     std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                                     std::uint32_t fileSystemNameSize) {
    log("GetVolumeInformationA", rootPathName);
    const Drive* drive = find(rootPathName);
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
    log("GetDiskFreeSpaceA", rootPathName);
    const Drive* drive = find(rootPathName);
    if (drive == nullptr || !drive->hasVolume) return false;
    store(sectorsPerCluster, drive->sectorsPerCluster);
    store(bytesPerSector, drive->bytesPerSector);
    store(numberOfFreeClusters, drive->freeClusters);
    store(totalNumberOfClusters, drive->totalClusters);
    return true;
}

Entry* Platform::walk(const std::string& path, bool create) {
    const std::optional<SplitPath> split = splitPath(path);
    if (!split || !drives_[split->drive]) throw std::invalid_argument("not on a scripted drive");
    Entry* entry = &drives_[split->drive]->root;
    for (const std::string& name : split->names) {
        if (!entry->isFolder) throw std::invalid_argument("a path through a file");
        Entry* child = childOf(*entry, name);
        if (child == nullptr) {
            if (!create) return nullptr;
            Entry folder;
            folder.name = name;
            entry->children.push_back(std::move(folder));
            child = &entry->children.back();
        }
        entry = child;
    }
    return entry;
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
    }
    entry->isFolder = false;
    entry->attributes = file.attributes;
    entry->size = file.size;
    entry->file = std::move(file);
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

Entry* Platform::entryAt(const char* path) {
    if (path == nullptr) return nullptr;
    const std::optional<SplitPath> split = splitPath(path);
    if (!split || !drives_[split->drive] || !drives_[split->drive]->hasVolume) return nullptr;
    Entry* entry = &drives_[split->drive]->root;
    for (const std::string& name : split->names) {
        entry = entry->isFolder ? childOf(*entry, name) : nullptr;
        if (entry == nullptr) return nullptr;
    }
    return entry;
}

void Platform::setUnreadable(const std::string& path, bool unreadable) {
    Entry* folder = walk(path, false);
    if (folder == nullptr || !folder->isFolder) throw std::invalid_argument("no such folder");
    folder->unreadable = unreadable;
}

void Platform::remove(const std::string& path) {
    const std::optional<SplitPath> split = splitPath(path);
    if (!split || split->names.empty() || !drives_[split->drive]) return;
    Entry* folder = &drives_[split->drive]->root;
    for (std::size_t i = 0; i + 1 < split->names.size(); ++i) {
        folder = folder->isFolder ? childOf(*folder, split->names[i]) : nullptr;
        if (folder == nullptr) return;
    }
    std::erase_if(folder->children,
                  [&](const Entry& e) { return sameName(e.name, split->names.back()); });
}

void Platform::setLocked(const std::string& path, bool locked) {
    Entry* entry = walk(path, false);
    if (entry == nullptr) throw std::invalid_argument("no such file or folder");
    entry->locked = locked;
}

std::uint32_t Platform::GetFileAttributesA(const char* fileName) {
    log("GetFileAttributesA", fileName);
    const Entry* entry = entryAt(fileName);
    return entry ? entry->attributes : invalidFileAttributes;
}

bool Platform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    char word[16];
    std::snprintf(word, sizeof word, ", 0x%x", static_cast<unsigned>(fileAttributes));
    log("SetFileAttributesA", (std::string(fileName ? fileName : "null") + word).c_str());
    Entry* entry = entryAt(fileName);
    if (entry == nullptr || entry->locked) return false;
    const std::size_t drive = *platform::driveIndex(std::string(fileName, 3).c_str());
    if ((drives_[drive]->fileSystemFlags & platform::fs_flags::readOnlyVolume) != 0) return false;
    namespace attr = platform::file_attribute;
    const std::uint32_t kept =
        fileAttributes & (attr::readOnly | attr::hidden | attr::system | attr::archive);
    if (entry->isFolder)
        entry->attributes = attr::directory | kept;
    else
        entry->attributes = kept == 0 ? attr::normal : kept;
    return true;
}

std::intptr_t Platform::ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                      const char* parameters, const char* directory,
                                      std::int32_t showCommand) {
    log("ShellExecuteA", file);
    const auto text = [](const char* s) {
        return s ? std::optional<std::string>(s) : std::nullopt;
    };
    shellExecutions_.push_back(
        {owner, text(operation), text(file), text(parameters), text(directory), showCommand});
    if (operation != nullptr && !sameName(operation, "open")) return shellNoAssociation;
    if (entryAt(file) == nullptr) return shellFileNotFound;
    return shellExecuteResult_;
}

void Platform::log(const char* function, FindHandle handle) {
    calls_.push_back(std::string(function) + "(#" +
                     std::to_string(static_cast<std::uintptr_t>(handle)) + ")");
}

Platform::FindHandle Platform::FindFirstFileA(const char* fileName,
                                              platform::FindData* findFileData) {
    log("FindFirstFileA", fileName);
    if (fileName == nullptr || findFileData == nullptr) return platform::invalidFindHandle;
    const std::string_view pattern(fileName);
    const std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string_view::npos) return platform::invalidFindHandle;
    const std::string_view last = pattern.substr(separator + 1);
    if (last != "*" && last != "*.*") {
        // A name without wildcards finds that one entry, as Windows does.
        const Entry* entry = last.find_first_of("*?") == std::string_view::npos && !last.empty()
                                 ? entryAt(fileName)
                                 : nullptr;
        if (entry == nullptr) return platform::invalidFindHandle;
        Listing single;
        single.entries.push_back(findDataOf(*entry, entry->name));
        single.next = 1;
        *findFileData = single.entries.front();
        const std::uintptr_t handle = nextHandle_++;
        listings_.emplace(handle, std::move(single));
        log("FindFirstFileA", static_cast<FindHandle>(handle));
        return static_cast<FindHandle>(handle);
    }
    const std::optional<SplitPath> split = splitPath(pattern.substr(0, separator + 1));
    if (!split || !drives_[split->drive] || !drives_[split->drive]->hasVolume)
        return platform::invalidFindHandle;
    Entry* folder = &drives_[split->drive]->root;
    Entry* parent = folder;
    for (const std::string& name : split->names) {
        parent = folder;
        folder = folder->isFolder ? childOf(*folder, name) : nullptr;
        if (folder == nullptr) return platform::invalidFindHandle;
    }
    if (!folder->isFolder || folder->unreadable) return platform::invalidFindHandle;

    Listing listing;
    if (!split->names.empty()) {
        listing.entries.push_back(findDataOf(*folder, "."));
        listing.entries.push_back(findDataOf(*parent, ".."));
    }
    for (const Entry& entry : folder->children)
        listing.entries.push_back(findDataOf(entry, entry.name));
    if (listing.entries.empty()) return platform::invalidFindHandle;

    *findFileData = listing.entries.front();
    listing.next = 1;
    const std::uintptr_t handle = nextHandle_++;
    listings_.emplace(handle, std::move(listing));
    return static_cast<FindHandle>(handle);
}

bool Platform::FindNextFileA(FindHandle findFile, platform::FindData* findFileData) {
    log("FindNextFileA", findFile);
    const auto listing = listings_.find(static_cast<std::uintptr_t>(findFile));
    if (listing == listings_.end() || findFileData == nullptr ||
        listing->second.next >= listing->second.entries.size())
        return false;
    *findFileData = listing->second.entries[listing->second.next++];
    return true;
}

bool Platform::FindClose(FindHandle findFile) {
    log("FindClose", findFile);
    return listings_.erase(static_cast<std::uintptr_t>(findFile)) == 1;
}

void Platform::log(const char* function, platform::FileHandle handle) {
    calls_.push_back(std::string(function) + "(#" +
                     std::to_string(static_cast<std::uintptr_t>(handle)) + ")");
}

platform::FileHandle Platform::CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                           std::uint32_t shareMode, const void* securityAttributes,
                                           std::uint32_t creationDisposition,
                                           std::uint32_t flagsAndAttributes,
                                           platform::FileHandle templateFile) {
    using namespace platform;
    log("CreateFileA", fileName);
    if (fileName == nullptr ||
        !isSupportedOpen(desiredAccess, shareMode, securityAttributes, creationDisposition,
                         flagsAndAttributes, templateFile))
        return invalidFileHandle;
    const Entry* entry = entryAt(fileName);
    if (entry == nullptr || entry->isFolder) return invalidFileHandle;
    if (entry->file.heldForWriting && (shareMode & file_share::write) == 0)
        return invalidFileHandle;
    for (const auto& [number, open] : files_) {
        if (entryAt(open.path.c_str()) == entry &&
            !sharingAllows(open.access, open.share, desiredAccess, shareMode))
            return invalidFileHandle;
    }
    const std::uintptr_t handle = nextHandle_++;
    files_.emplace(handle, OpenFile{fileName, desiredAccess, shareMode});
    return static_cast<FileHandle>(handle);
}

bool Platform::CloseHandle(platform::FileHandle object) {
    log("CloseHandle", object);
    return files_.erase(static_cast<std::uintptr_t>(object)) == 1;
}

bool Platform::GetFileTime(platform::FileHandle file, platform::FileTime* creationTime,
                           platform::FileTime* lastAccessTime, platform::FileTime* lastWriteTime) {
    log("GetFileTime", file);
    const auto open = files_.find(static_cast<std::uintptr_t>(file));
    if (open == files_.end()) return false;
    const Entry* entry = entryAt(open->second.path.c_str());
    if (entry == nullptr) return false;
    store(creationTime, entry->file.creationTime);
    store(lastAccessTime, entry->file.lastAccessTime);
    store(lastWriteTime, entry->file.lastWriteTime);
    return true;
}

bool Platform::FileTimeToSystemTime(const platform::FileTime* fileTime,
                                    platform::SystemTime* systemTime) {
    calls_.push_back("FileTimeToSystemTime");
    if (fileTime == nullptr || systemTime == nullptr) return false;
    const std::optional<platform::SystemTime> time = platform::systemTimeOf(*fileTime);
    if (!time) return false;
    *systemTime = *time;
    return true;
}

std::uint32_t Platform::GetShortPathNameA(const char* longPath, char* shortPath,
                                          std::uint32_t bufferLength) {
    log("GetShortPathNameA", longPath);
    if (longPath == nullptr) return 0;
    const Entry* entry = entryAt(longPath);
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
    log("SHGetFileInfoA", path);
    constexpr std::uint32_t unsupported =
        shell_info::icon | shell_info::attributes | shell_info::useFileAttributes;
    if (path == nullptr || info == nullptr || infoSize < sizeof(ShFileInfo) ||
        (flags & unsupported) != 0)
        return 0;
    const Entry* entry = entryAt(path);
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
    calls_.push_back("ImageList_Draw(#" + std::to_string(index) + ")");
    if (list != imageList || index < 0 || static_cast<std::size_t>(index) >= iconNames_.size())
        return false;
    dc.drawThemeIcon(iconNames_[static_cast<std::size_t>(index)], x, y);
    return true;
}

}  // namespace fake
