#include "platform/posix/posix_platform.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/dos_path.h"
#include "platform/file_time.h"
#include "platform/out_params.h"
#include "platform/posix/attribute_writer.h"
#include "platform/posix/block_device.h"
#include "platform/posix/desktop_opener.h"
#include "platform/posix/dos_names.h"
#include "platform/posix/dos_path.h"
#include "platform/posix/entry_reader.h"
#include "platform/posix/mount_table.h"
#include "platform/posix/unix_time.h"
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

std::optional<Volume> volumeAt(const DriveTable& drives, const char* rootPathName) {
    const std::optional<std::size_t> index = driveIndex(rootPathName);
    if (!index) return std::nullopt;
    return drives[*index];
}

std::optional<posix::UnixPath> unixPathOf(const DriveTable& drives, const char* dosPath) {
    if (dosPath == nullptr) return std::nullopt;
    return posix::mapDosPath(dosPath, drives);
}

// Whether some descriptor, of any process, has the file open for writing: the kernel grants no
// read lease then. nullopt when leases cannot tell (see the class's comment).
std::optional<bool> openForWritingElsewhere(int readOnlyFd) {
    if (fcntl(readOnlyFd, F_SETLEASE, F_RDLCK) == 0) {
        fcntl(readOnlyFd, F_SETLEASE, F_UNLCK);
        return false;
    }
    if (errno == EAGAIN) return true;
    return std::nullopt;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

PosixPlatform::PosixPlatform(std::string opener, std::string mimeFolder)
    : opener_(std::move(opener)), mimeFolder_(std::move(mimeFolder)) {}

namespace {

// The mounts of this process's mount table with their block devices; none when it cannot be read.
std::vector<Volume> mountedVolumes() {
    const std::optional<std::vector<MountEntry>> mounts =
        posix::readMountTable("/proc/self/mountinfo");
    std::vector<Volume> volumes;
    if (!mounts) return volumes;
    volumes.reserve(mounts->size());
    for (const MountEntry& mount : *mounts)
        volumes.push_back({mount, posix::findBlockDevice(mount)});
    return volumes;
}

}  // namespace

DriveTable PosixPlatform::currentDrives() {
    return posix::assignDriveLetters(mountedVolumes());
}

const DriveTable& PosixPlatform::drives() {
    // The kernel marks /proc/self/mountinfo with POLLPRI when the mount table changes; until
    // then the letters stand as they were read. Reading the file to its end acknowledges the
    // change before the table is read again, so a mount made meanwhile is seen next time.
    if (!mountTable_.valid())
        mountTable_.reset(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC));
    bool changed = !drives_ || !mountTable_.valid();
    if (mountTable_.valid()) {
        pollfd watch{mountTable_.get(), POLLPRI, 0};
        if (::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLERR | POLLPRI)) != 0) changed = true;
    }
    if (changed) {
        if (mountTable_.valid()) {
            char buffer[8192];
            ::lseek(mountTable_.get(), 0, SEEK_SET);
            while (::read(mountTable_.get(), buffer, sizeof buffer) > 0) {
            }
        }
        const std::vector<Volume> volumes = mountedVolumes();
        drives_ = posix::assignDriveLetters(volumes, drives_.value_or(DriveTable{}));
    }
    return *drives_;
}

std::uint32_t PosixPlatform::GetDriveTypeA(const char* rootPathName) {
    const std::optional<Volume> volume = volumeAt(drives(), rootPathName);
    return volume ? posix::driveType(*volume) : drive_type::noRootDir;
}

bool PosixPlatform::GetVolumeInformationA(
    const char* rootPathName, char* volumeNameBuffer, std::uint32_t volumeNameSize,
    std::uint32_t* volumeSerialNumber, std::uint32_t* maximumComponentLength,
    std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer, std::uint32_t fileSystemNameSize) {
    const std::optional<Volume> volume = volumeAt(drives(), rootPathName);
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
    const std::optional<Volume> volume = volumeAt(drives(), rootPathName);
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
    const FindTarget target = findTargetOf(fileName);
    if (target.kind == FindTarget::Kind::oneEntry) return findOneEntry(target.path, findFileData);
    if (target.kind != FindTarget::Kind::folder) return invalidFindHandle;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(target.path, drives());
    if (!path) return invalidFindHandle;
    std::unique_ptr<posix::FolderListing> listing =
        posix::FolderListing::open(path->path, !path->isRoot);
    if (!listing) return invalidFindHandle;
    // Windows fails a listing with no entry at all, which only a root can be.
    std::optional<FindData> first = listing->next();
    if (!first) return invalidFindHandle;
    *findFileData = std::move(*first);
    return listings_.add(std::move(listing));
}

FindHandle PosixPlatform::findOneEntry(std::string_view fileName, FindData* findFileData) {
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, drives());
    if (!path || path->isRoot) return invalidFindHandle;
    std::optional<FindData> entry = posix::describeEntryAt(path->path, false);
    if (!entry) return invalidFindHandle;
    *findFileData = std::move(*entry);
    return listings_.add(nullptr);
}

bool PosixPlatform::FindNextFileA(FindHandle findFile, FindData* findFileData) {
    const std::unique_ptr<posix::FolderListing>* listing = listings_.find(findFile);
    if (listing == nullptr || findFileData == nullptr || !*listing) return false;
    std::optional<FindData> next = (*listing)->next();
    if (!next) return false;
    *findFileData = std::move(*next);
    return true;
}

bool PosixPlatform::FindClose(FindHandle findFile) {
    return listings_.close(findFile);
}

std::uint32_t PosixPlatform::GetFileAttributesA(const char* fileName) {
    if (fileName == nullptr) return invalidFileAttributes;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, drives());
    if (!path) return invalidFileAttributes;
    const std::optional<FindData> entry = posix::describeEntryAt(path->path, path->isRoot);
    return entry ? entry->fileAttributes : invalidFileAttributes;
}

bool PosixPlatform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    if (fileName == nullptr) return false;
    const DriveTable& drives = this->drives();
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
    const DriveTable& drives = this->drives();
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

FileHandle PosixPlatform::CreateFileA(const char* fileName, std::uint32_t desiredAccess,
                                      std::uint32_t shareMode, const void* securityAttributes,
                                      std::uint32_t creationDisposition,
                                      std::uint32_t flagsAndAttributes, FileHandle templateFile) {
    if (!isSupportedOpen(desiredAccess, shareMode, securityAttributes, creationDisposition,
                         flagsAndAttributes, templateFile))
        return invalidFileHandle;
    const std::optional<posix::UnixPath> path = unixPathOf(drives(), fileName);
    if (!path || path->isRoot) return invalidFileHandle;
    struct stat status {};
    if (stat(path->path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return invalidFileHandle;

    // Non-blocking: a pipe put in the file's place meanwhile must not hang the open, and a
    // lease held by another program (a file server's) fails it instead of waiting for the break.
    constexpr int openFlags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    posix::UniqueFd probe(open(path->path.c_str(), O_RDONLY | openFlags));
    if (probe.valid() && (fstat(probe.get(), &status) != 0 || !S_ISREG(status.st_mode)))
        return invalidFileHandle;
    if ((shareMode & file_share::write) == 0 && probe.valid() &&
        openForWritingElsewhere(probe.get()).value_or(false))
        return invalidFileHandle;

    posix::UniqueFd fd = std::move(probe);
    if ((desiredAccess & file_access::genericWrite) != 0) {
        const int mode = (desiredAccess & file_access::genericRead) != 0 ? O_RDWR : O_WRONLY;
        fd.reset(open(path->path.c_str(), mode | openFlags));
        if (fd.valid() && (fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)))
            return invalidFileHandle;
    }
    if (!fd.valid()) return invalidFileHandle;

    OpenFile opened{std::move(fd), status.st_dev, status.st_ino, desiredAccess, shareMode};
    const bool shared = std::all_of(files_.begin(), files_.end(), [&](const auto& entry) {
        const OpenFile& other = entry.second;
        return other.device != opened.device || other.inode != opened.inode ||
               sharingAllows(other.access, other.share, opened.access, opened.share);
    });
    if (!shared) return invalidFileHandle;
    return files_.add(std::move(opened));
}

bool PosixPlatform::CloseHandle(FileHandle object) {
    return files_.close(object);
}

bool PosixPlatform::GetFileTime(FileHandle file, FileTime* creationTime, FileTime* lastAccessTime,
                                FileTime* lastWriteTime) {
    const OpenFile* open = files_.find(file);
    if (open == nullptr) return false;
    struct statx status {};
    if (statx(open->fd.get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &status) != 0)
        return false;
    const auto fileTime = [](const struct statx_timestamp& stamp) {
        return posix::fileTimeOf(stamp.tv_sec, stamp.tv_nsec);
    };
    const std::optional<FileTime> creation =
        fileTime((status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime : status.stx_ctime);
    const std::optional<FileTime> lastAccess = fileTime(status.stx_atime);
    const std::optional<FileTime> lastWrite = fileTime(status.stx_mtime);
    if (!creation || !lastAccess || !lastWrite) return false;
    store(creationTime, *creation);
    store(lastAccessTime, *lastAccess);
    store(lastWriteTime, *lastWrite);
    return true;
}

bool PosixPlatform::FileTimeToSystemTime(const FileTime* fileTime, SystemTime* systemTime) {
    return fileTimeToSystemTime(fileTime, systemTime);
}

std::uint32_t PosixPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                               std::uint32_t bufferLength) {
    const std::optional<posix::UnixPath> path = unixPathOf(drives(), longPath);
    struct stat status {};
    if (!path || lstat(path->path.c_str(), &status) != 0) return 0;
    const std::size_t length = std::strlen(longPath);
    if (length >= 0xFFFFFFFFU) return 0;
    if (shortPath == nullptr || length >= bufferLength)
        return static_cast<std::uint32_t>(length + 1);
    // Windows lets both arguments be the same buffer.
    std::memmove(shortPath, longPath, length + 1);
    return static_cast<std::uint32_t>(length);
}

void PosixPlatform::loadMimeDatabase() {
    if (mimeGlobs_) return;
    const auto text = [this](const char* name) {
        return readWholeFile(mimeFolder_ + "/" + name).value_or("");
    };
    mimeGlobs_ = posix::MimeGlobs::parse(text("globs2"));
    mimeIcons_ = posix::MimeIcons::parse(text("icons"), text("generic-icons"));
}

std::int32_t PosixPlatform::iconIndexOf(std::vector<std::string> names) {
    const auto found = std::find(imageList_.begin(), imageList_.end(), names);
    if (found != imageList_.end()) return static_cast<std::int32_t>(found - imageList_.begin());
    imageList_.push_back(std::move(names));
    return static_cast<std::int32_t>(imageList_.size() - 1);
}

// fileAttributes is only read with shell_info::useFileAttributes, which is not supported.
std::uintptr_t PosixPlatform::SHGetFileInfoA(const char* path, std::uint32_t /*fileAttributes*/,
                                             ShFileInfo* info, std::uint32_t infoSize,
                                             std::uint32_t flags) {
    if (info == nullptr || infoSize < sizeof(ShFileInfo) || (flags & shell_info::windowsOnly) != 0)
        return 0;
    const std::optional<posix::UnixPath> unixPath = unixPathOf(drives(), path);
    if (!unixPath) return 0;
    struct stat status {};
    // A dangling symbolic link is a file, as in listings.
    if (stat(unixPath->path.c_str(), &status) != 0 && lstat(unixPath->path.c_str(), &status) != 0)
        return 0;

    const std::string_view unixName =
        std::string_view(unixPath->path).substr(unixPath->path.rfind('/') + 1);
    std::vector<std::string> names;
    std::string type = "inode/directory";
    if (unixPath->isRoot) {
        names = {"drive-harddisk", "folder"};
    } else if (S_ISDIR(status.st_mode)) {
        names = {"folder"};
    } else {
        loadMimeDatabase();
        const std::optional<std::string> mimeType = mimeGlobs_->typeOf(unixName);
        type = mimeType.value_or("application/octet-stream");
        names = mimeType ? mimeIcons_->namesOf(*mimeType) : posix::MimeIcons::unknownTypeNames();
    }

    ShFileInfo result = *info;
    if ((flags & shell_info::sysIconIndex) != 0) result.iconIndex = iconIndexOf(std::move(names));
    if ((flags & shell_info::displayName) != 0)
        result.displayName = unixPath->isRoot ? std::string(path, 2) : posix::dosNameOf(unixName);
    if ((flags & shell_info::typeName) != 0) result.typeName = type;
    *info = std::move(result);
    return (flags & shell_info::sysIconIndex) != 0 ? systemImageList : 1;
}

// Theme icons are always drawn with their transparency, whatever the style.
bool PosixPlatform::ImageList_Draw(std::uintptr_t imageList, std::int32_t index, DeviceContext& dc,
                                   std::int32_t x, std::int32_t y, std::uint32_t /*style*/) {
    if (imageList != systemImageList || index < 0 ||
        static_cast<std::size_t>(index) >= imageList_.size())
        return false;
    const std::vector<std::string>& names = imageList_[static_cast<std::size_t>(index)];
    const auto themed = std::find_if(
        names.begin(), names.end(), [&](const std::string& name) { return dc.hasThemeIcon(name); });
    dc.drawThemeIcon(themed != names.end() ? *themed : names.back(), x, y);
    return true;
}

}  // namespace platform
