#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>
#include <string_view>

#include "platform/dos_path.h"
#include "platform/out_params.h"
#include "tests/support/fake_names.h"

// The scripting of the tree, the drives and the listings; the file calls are in
// fake_platform_files.cpp.
namespace fake {

using names::sameName;
using names::shown;
using platform::out_params::copyText;
using platform::out_params::fits;
using platform::out_params::store;

namespace {

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

}  // namespace fake
