#include "platform/posix/posix_platform.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/drive_root.h"
#include "platform/out_params.h"
#include "platform/posix/attribute_writer.h"
#include "platform/posix/block_device.h"
#include "platform/posix/desktop_opener.h"
#include "platform/posix/dos_path.h"
#include "platform/posix/entry_reader.h"
#include "platform/posix/mount_table.h"
#include "platform/posix/volume_probe.h"

namespace platform {

using posix::DiskGeometry;
using posix::DriveTable;
using posix::MountEntry;
using posix::Volume;
using posix::VolumeInformation;

using out_params::copyText;
using out_params::fits;
using out_params::store;

namespace {

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
    return std::equal(text.begin(), text.end(), lower.begin(), lower.end(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
}

std::optional<Volume> volumeAt(const char* rootPathName) {
    const std::optional<std::size_t> index = driveIndex(rootPathName);
    if (!index) return std::nullopt;
    return PosixPlatform::currentDrives()[*index];
}

}  // namespace

DriveTable PosixPlatform::currentDrives() {
    const std::optional<std::vector<MountEntry>> mounts =
        posix::readMountTable("/proc/self/mountinfo");
    if (!mounts) return {};
    std::vector<Volume> volumes;
    volumes.reserve(mounts->size());
    for (const MountEntry& mount : *mounts)
        volumes.push_back({mount, posix::findBlockDevice(mount)});
    return posix::assignDriveLetters(volumes);
}

std::uint32_t PosixPlatform::GetDriveTypeA(const char* rootPathName) {
    const std::optional<Volume> volume = volumeAt(rootPathName);
    return volume ? posix::driveType(*volume) : drive_type::noRootDir;
}

bool PosixPlatform::GetVolumeInformationA(
    const char* rootPathName, char* volumeNameBuffer, std::uint32_t volumeNameSize,
    std::uint32_t* volumeSerialNumber, std::uint32_t* maximumComponentLength,
    std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer, std::uint32_t fileSystemNameSize) {
    const std::optional<Volume> volume = volumeAt(rootPathName);
    if (!volume) return false;
    const std::optional<VolumeInformation> information = posix::probeVolumeInformation(*volume);
    if (!information || !fits(information->label, volumeNameBuffer, volumeNameSize) ||
        !fits(information->fileSystem, fileSystemNameBuffer, fileSystemNameSize))
        return false;
    copyText(information->label, volumeNameBuffer);
    copyText(information->fileSystem, fileSystemNameBuffer);
    store(volumeSerialNumber, information->serialNumber);
    store(maximumComponentLength, information->maxComponentLength);
    store(fileSystemFlags, information->fileSystemFlags);
    return true;
}

bool PosixPlatform::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                                      std::uint32_t* bytesPerSector,
                                      std::uint32_t* numberOfFreeClusters,
                                      std::uint32_t* totalNumberOfClusters) {
    const std::optional<Volume> volume = volumeAt(rootPathName);
    if (!volume) return false;
    const std::optional<DiskGeometry> geometry = posix::probeDiskGeometry(*volume);
    if (!geometry) return false;
    store(sectorsPerCluster, geometry->sectorsPerCluster);
    store(bytesPerSector, geometry->bytesPerSector);
    store(numberOfFreeClusters, geometry->freeClusters);
    store(totalNumberOfClusters, geometry->totalClusters);
    return true;
}

FindHandle PosixPlatform::FindFirstFileA(const char* fileName, FindData* findFileData) {
    if (fileName == nullptr || findFileData == nullptr) return invalidFindHandle;
    const std::optional<std::string_view> folder = posix::listedFolder(fileName);
    if (!folder) return invalidFindHandle;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(*folder, currentDrives());
    if (!path) return invalidFindHandle;
    std::unique_ptr<posix::FolderListing> listing =
        posix::FolderListing::open(path->path, !path->isRoot);
    if (!listing) return invalidFindHandle;
    // Windows fails a listing with no entry at all, which only a root can be.
    std::optional<FindData> first = listing->next();
    if (!first) return invalidFindHandle;
    const std::uintptr_t handle = nextHandle_++;
    listings_.emplace(handle, std::move(listing));
    *findFileData = std::move(*first);
    return static_cast<FindHandle>(handle);
}

bool PosixPlatform::FindNextFileA(FindHandle findFile, FindData* findFileData) {
    const auto listing = listings_.find(static_cast<std::uintptr_t>(findFile));
    if (listing == listings_.end() || findFileData == nullptr) return false;
    std::optional<FindData> next = listing->second->next();
    if (!next) return false;
    *findFileData = std::move(*next);
    return true;
}

bool PosixPlatform::FindClose(FindHandle findFile) {
    return listings_.erase(static_cast<std::uintptr_t>(findFile)) == 1;
}

std::uint32_t PosixPlatform::GetFileAttributesA(const char* fileName) {
    if (fileName == nullptr) return invalidFileAttributes;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, currentDrives());
    if (!path) return invalidFileAttributes;
    const std::optional<FindData> entry = posix::describeEntryAt(path->path, path->isRoot);
    return entry ? entry->fileAttributes : invalidFileAttributes;
}

bool PosixPlatform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    if (fileName == nullptr) return false;
    const DriveTable drives = currentDrives();
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, drives);
    if (!path) return false;
    const std::string_view name =
        path->isRoot ? "." : std::string_view(path->path).substr(path->path.rfind('/') + 1);
    return posix::writeAttributes(path->path, name, drives[path->drive]->mount.target,
                                  fileAttributes);
}

// The owner window and the show command mean nothing to xdg-open; parameters go to programs,
// which are not started here.
std::intptr_t PosixPlatform::ShellExecuteA(WindowHandle, const char* operation, const char* file,
                                           const char*, const char* directory, std::int32_t) {
    if (operation != nullptr && !equalsIgnoringCase(operation, "open")) return shellNoAssociation;
    if (file == nullptr) return shellFileNotFound;
    const DriveTable drives = currentDrives();
    const std::optional<posix::UnixPath> path = posix::mapDosPath(file, drives);
    if (!path) return shellFileNotFound;
    std::string folder;
    if (directory != nullptr && *directory != '\0') {
        const std::optional<posix::UnixPath> mapped = posix::mapDosPath(directory, drives);
        if (!mapped) return shellPathNotFound;
        folder = mapped->path;
    } else {
        folder = path->isRoot ? path->path : path->path.substr(0, path->path.rfind('/'));
        if (folder.empty()) folder.push_back('/');
    }
    return posix::startOpener(opener_, path->path, folder);
}

}  // namespace platform
