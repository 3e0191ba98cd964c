#include "platform/posix/posix_platform.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "platform/dos_path.h"
#include "platform/file_time.h"
#include "platform/out_params.h"
#include "platform/posix/attribute_writer.h"
#include "platform/posix/desktop_opener.h"
#include "platform/posix/disk_geometry.h"
#include "platform/posix/dos_names.h"
#include "platform/posix/entry_reader.h"
#include "platform/posix/last_error.h"
#include "platform/posix/mount_identity.h"
#include "platform/posix/short_path.h"
#include "platform/posix/unix_time.h"
#include "platform/posix/volume_probe.h"

namespace platform {

using posix::PathCall;
using posix::Place;
using posix::Volume;

using out_params::copyText;
using out_params::fits;
using out_params::store;

namespace {

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
    return std::equal(text.begin(), text.end(), lower.begin(), lower.end(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
}

// The volume behind the drive whose root is rootPathName, in the call's table; null for none.
const Volume* volumeAt(const posix::DriveSnapshot& drives, const char* rootPathName) {
    const std::optional<std::size_t> index = driveIndex(rootPathName);
    if (!index || !drives.letters[*index]) return nullptr;
    return &*drives.letters[*index];
}

// The folder a path's own file is in: the path itself for a drive's root.
std::string folderOf(const posix::UnixPath& path) {
    if (path.isRoot) return path.path;
    std::string folder = path.path.substr(0, path.path.rfind('/'));
    if (folder.empty()) folder.push_back('/');
    return folder;
}

}  // namespace

PosixPlatform::PosixPlatform(std::string opener, std::string mimeFolder,
                             std::chrono::milliseconds patience)
    : PosixPlatform(posix::systemMounts(), std::move(opener), std::move(mimeFolder), patience) {}

PosixPlatform::PosixPlatform(std::unique_ptr<posix::MountSource> mounts, std::string opener,
                             std::string mimeFolder, std::chrono::milliseconds patience)
    : opener_(std::move(opener)),
      volumes_(std::move(mounts), patience),
      icons_(std::move(mimeFolder)) {}

std::uint32_t PosixPlatform::GetDriveTypeA(const char* rootPathName) {
    const auto drives = volumes_.drives();
    const Volume* volume = volumeAt(*drives, rootPathName);
    return volume ? posix::driveType(*volume) : drive_type::noRootDir;
}

bool PosixPlatform::GetVolumeInformationA(
    const char* rootPathName, char* volumeNameBuffer, std::uint32_t volumeNameSize,
    std::uint32_t* volumeSerialNumber, std::uint32_t* maximumComponentLength,
    std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer, std::uint32_t fileSystemNameSize) {
    const auto drives = volumes_.drives();
    const Volume* volume = volumeAt(*drives, rootPathName);
    if (volume == nullptr) return false;
    const auto information = volumes_.onVolume(
        *volume, [volume = *volume] { return posix::probeVolumeInformation(volume); });
    if (!information || !*information ||
        !fits((*information)->label, volumeNameBuffer, volumeNameSize) ||
        !fits((*information)->fileSystem, fileSystemNameBuffer, fileSystemNameSize))
        return false;
    const posix::VolumeInformation& answer = **information;
    copyText(answer.label, volumeNameBuffer);
    copyText(answer.fileSystem, fileSystemNameBuffer);
    store(volumeSerialNumber, answer.serialNumber);
    store(maximumComponentLength, answer.maxComponentLength);
    store(fileSystemFlags, answer.fileSystemFlags);
    return true;
}

bool PosixPlatform::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                                      std::uint32_t* bytesPerSector,
                                      std::uint32_t* numberOfFreeClusters,
                                      std::uint32_t* totalNumberOfClusters) {
    const auto drives = volumes_.drives();
    const Volume* volume = volumeAt(*drives, rootPathName);
    if (volume == nullptr) return false;
    const auto geometry =
        volumes_.onVolume(*volume, [volume = *volume] { return posix::probeDiskGeometry(volume); });
    if (!geometry || !*geometry) return false;
    store(sectorsPerCluster, (*geometry)->sectorsPerCluster);
    store(bytesPerSector, (*geometry)->bytesPerSector);
    store(numberOfFreeClusters, (*geometry)->freeClusters);
    store(totalNumberOfClusters, (*geometry)->totalClusters);
    return true;
}

bool PosixPlatform::GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint,
                                                      char* volumeName,
                                                      std::uint32_t bufferLength) {
    if (volumeName == nullptr) return false;
    const auto drives = volumes_.drives();
    const Volume* volume = volumeAt(*drives, volumeMountPoint);
    if (volume == nullptr) return false;
    // What the mount point leads to now, which is what a path on the letter reaches.
    const auto mount = volumes_.onVolume(*volume, [target = volume->mount.target] {
        return posix::mountIdentityOf(AT_FDCWD, target.c_str(), AT_NO_AUTOMOUNT);
    });
    if (!mount || !*mount) return false;
    const std::string name = posix::volumeGuidPathOf(**mount);
    if (!fits(name, volumeName, bufferLength)) return false;
    copyText(name, volumeName);
    return true;
}

FindHandle PosixPlatform::FindFirstFileA(const char* fileName, FindData* findFileData) {
    lastError_ = error_code::invalidParameter;
    if (fileName == nullptr || findFileData == nullptr) return invalidFindHandle;
    const FindTarget target = findTargetOf(fileName);
    if (target.kind == FindTarget::Kind::oneEntry) return findOneEntry(target.path, findFileData);
    if (target.kind != FindTarget::Kind::folder) return invalidFindHandle;
    return listings_.start(PathCall(volumes_, target.path), findFileData, lastError_);
}

FindHandle PosixPlatform::findOneEntry(std::string_view fileName, FindData* findFileData) {
    const PathCall call(volumes_, fileName);
    // Windows finds no entry for the root itself: its name is empty.
    if (call.place() != nullptr && call.place()->path.isRoot) {
        lastError_ = error_code::fileNotFound;
        return invalidFindHandle;
    }
    std::optional<FindData> entry = describe(call, &lastError_);
    if (!entry) return invalidFindHandle;
    *findFileData = std::move(*entry);
    return listings_.addGiven();
}

bool PosixPlatform::FindNextFileA(FindHandle findFile, FindData* findFileData) {
    return listings_.next(findFile, findFileData);
}

bool PosixPlatform::FindClose(FindHandle findFile) {
    return listings_.close(findFile);
}

std::uint32_t PosixPlatform::GetFileAttributesA(const char* fileName) {
    const std::optional<FindData> entry = describe(PathCall(volumes_, fileName), nullptr);
    return entry ? entry->fileAttributes : invalidFileAttributes;
}

bool PosixPlatform::GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                                         FileAttributeData* fileInformation) {
    lastError_ = error_code::invalidParameter;
    if (fileName == nullptr || fileInformation == nullptr ||
        infoLevelId != file_info_level::standard)
        return false;
    const std::optional<FindData> entry = describe(PathCall(volumes_, fileName), &lastError_);
    if (!entry) return false;
    *fileInformation = {entry->fileAttributes, entry->fileSize};
    return true;
}

std::optional<FindData> PosixPlatform::describe(const PathCall& call, std::uint32_t* lastError) {
    struct Described {
        std::optional<FindData> entry;
        std::uint32_t error = error_code::success;
    };
    const std::optional<Described> answer = call.run(
        [](const Place& place) {
            std::optional<FindData> entry = posix::describeEntryAt(
                place.path.path, place.path.isRoot, posix::probeAttributeHome(place.mount));
            if (entry) return Described{std::move(entry)};
            return Described{std::nullopt, posix::unreachableEntryCode(place.path.path)};
        },
        lastError);
    if (!answer) return std::nullopt;
    if (lastError != nullptr) *lastError = answer->error;
    return answer->entry;
}

bool PosixPlatform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    lastError_ = error_code::invalidParameter;
    if (fileName == nullptr) return false;
    const std::optional<std::uint32_t> written =
        PathCall(volumes_, fileName)
            .run(
                [fileAttributes](const Place& place, const std::stop_token& givenUp) {
                    const std::string& file = place.path.path;
                    const std::string name =
                        place.path.isRoot ? "." : file.substr(file.rfind('/') + 1);
                    // A volume that answers after the caller gave up must not be changed after all.
                    return posix::writeAttributes(file, name, place.driveRoot, fileAttributes,
                                                  posix::probeAttributeHome(place.mount), givenUp);
                },
                &lastError_);
    if (written) lastError_ = *written;
    return lastError_ == error_code::success;
}

// The owner window and the show command mean nothing to xdg-open; parameters go to programs,
// which are not started here.
std::intptr_t PosixPlatform::ShellExecuteA(WindowHandle, const char* operation, const char* file,
                                           const char*, const char* directory, std::int32_t) {
    if (operation != nullptr && !equalsIgnoringCase(operation, "open")) return shellNoAssociation;
    const PathCall call(volumes_, file);
    if (call.place() == nullptr) return shellFileNotFound;
    std::string folder = folderOf(call.place()->path);
    if (directory != nullptr && *directory != '\0') {
        const std::optional<posix::UnixPath> mapped =
            posix::mapDosPath(directory, call.drives().letters);
        if (!mapped) return shellPathNotFound;
        folder = mapped->path;
    }
    // Starting the opener waits for it to enter the folder, which waits for the volume.
    return call
        .run([opener = opener_, folder = std::move(folder)](const Place& place,
                                                            const std::stop_token& givenUp) {
            // Reaching the file and folder is what may wait; an application that starts after
            // the caller reported that nothing could be opened would surprise the user.
            struct stat status {};
            stat(place.path.path.c_str(), &status);
            stat(folder.c_str(), &status);
            if (givenUp.stop_requested()) return shellFileNotFound;
            return posix::startOpener(opener, place.path.path, folder);
        })
        .value_or(shellFileNotFound);
}

FileHandle PosixPlatform::CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                      std::uint32_t shareMode, const void* securityAttributes,
                                      std::uint32_t creationDisposition,
                                      std::uint32_t flagsAndAttributes, FileHandle templateFile) {
    if (!isSupportedOpen(desiredAccess, shareMode, securityAttributes, creationDisposition,
                         flagsAndAttributes, templateFile))
        return invalidFileHandle;
    const PathCall call(volumes_, fileName);
    // A drive's root is a folder: refused without asking its volume.
    if (call.place() != nullptr && call.place()->path.isRoot) return invalidFileHandle;
    std::optional<std::optional<posix::OpenFile>> opened =
        call.run([desiredAccess, shareMode](const Place& place) {
            return posix::openRegularFile(place, desiredAccess, shareMode);
        });
    if (!opened || !*opened) return invalidFileHandle;
    return files_.add(std::move(**opened));
}

bool PosixPlatform::CloseHandle(FileHandle object) {
    return files_.close(object);
}

bool PosixPlatform::GetFileTime(FileHandle file, FileTime* creationTime, FileTime* lastAccessTime,
                                FileTime* lastWriteTime) {
    const posix::OpenFile* open = files_.find(file);
    if (open == nullptr) return false;
    const auto answer = volumes_.onVolume(open->volume, [fd = open->fd] {
        struct statx status {};
        const bool told =
            statx(fd->get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &status) == 0;
        return told ? std::optional<struct statx>(status) : std::nullopt;
    });
    if (!answer || !*answer) return false;
    const struct statx& status = **answer;
    // tmpfs and btrfs keep any 64-bit second: one time out of FILETIME's range must not cost
    // the others.
    const auto fileTime = [](const struct statx_timestamp& stamp) {
        return posix::fileTimeOf(stamp.tv_sec, stamp.tv_nsec).value_or(outOfRangeFileTime);
    };
    store(creationTime,
          fileTime((status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime : status.stx_ctime));
    store(lastAccessTime, fileTime(status.stx_atime));
    store(lastWriteTime, fileTime(status.stx_mtime));
    return true;
}

bool PosixPlatform::GetFileInformationByHandle(FileHandle file,
                                               ByHandleFileInformation* fileInformation) {
    const posix::OpenFile* open = files_.find(file);
    if (open == nullptr || fileInformation == nullptr || !open->volumeNumber) return false;
    *fileInformation = {*open->volumeNumber, static_cast<std::uint32_t>(open->inode >> 32),
                        static_cast<std::uint32_t>(open->inode)};
    return true;
}

bool PosixPlatform::FileTimeToSystemTime(const FileTime* fileTime, SystemTime* systemTime) {
    return fileTimeToSystemTime(fileTime, systemTime);
}

std::uint32_t PosixPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                               std::uint32_t bufferLength) {
    const std::optional<std::optional<std::string>> found =
        PathCall(volumes_, longPath).run([](const Place& place) {
            return posix::shortPathOf(place.dosPath, place.driveRoot, place.mount.target,
                                      posix::probeAttributeHome(place.mount));
        });
    if (!found || !*found) return 0;
    const std::size_t length = (*found)->size();
    if (length >= 0xFFFFFFFFU) return 0;
    if (shortPath == nullptr || length >= bufferLength)
        return static_cast<std::uint32_t>(length + 1);
    // Windows lets both arguments be the same buffer: found is a copy.
    std::memcpy(shortPath, (*found)->c_str(), length + 1);
    return static_cast<std::uint32_t>(length);
}

// fileAttributes is only read with shell_info::useFileAttributes, which is not supported.
std::uintptr_t PosixPlatform::SHGetFileInfoA(const char* path, std::uint32_t /*fileAttributes*/,
                                             ShFileInfo* info, std::uint32_t infoSize,
                                             std::uint32_t flags) {
    if (info == nullptr || infoSize < sizeof(ShFileInfo) || (flags & shell_info::windowsOnly) != 0)
        return 0;
    const PathCall call(volumes_, path);
    const std::optional<std::optional<mode_t>> mode = call.run([](const Place& place) {
        struct stat status {};
        // A dangling symbolic link is a file, as in listings.
        const char* file = place.path.path.c_str();
        const bool found = stat(file, &status) == 0 || lstat(file, &status) == 0;
        return found ? std::optional<mode_t>(status.st_mode) : std::nullopt;
    });
    if (!mode || !*mode) return 0;

    const posix::UnixPath& unixPath = call.place()->path;
    const std::string_view unixName =
        std::string_view(unixPath.path).substr(unixPath.path.rfind('/') + 1);
    posix::ShellIcons::Shown shown = icons_.shownFor(unixName, S_ISDIR(**mode), unixPath.isRoot);
    ShFileInfo result = *info;
    if ((flags & shell_info::sysIconIndex) != 0)
        result.iconIndex = icons_.indexOf(std::move(shown.names));
    if ((flags & shell_info::displayName) != 0)
        result.displayName = unixPath.isRoot ? std::string(path, 2) : posix::dosNameOf(unixName);
    if ((flags & shell_info::typeName) != 0) result.typeName = std::move(shown.type);
    *info = std::move(result);
    return (flags & shell_info::sysIconIndex) != 0 ? systemImageList : 1;
}

// Theme icons are always drawn with their transparency, whatever the style.
bool PosixPlatform::ImageList_Draw(std::uintptr_t imageList, std::int32_t index, DeviceContext& dc,
                                   std::int32_t x, std::int32_t y, std::uint32_t /*style*/) {
    return imageList == systemImageList && icons_.draw(index, dc, x, y);
}

}  // namespace platform
