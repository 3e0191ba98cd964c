#include "platform/posix/posix_platform.h"

#include <fcntl.h>
#include <libmount/libmount.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stop_token>
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
#include "platform/posix/last_error.h"
#include "platform/posix/mount_table.h"
#include "platform/posix/short_path.h"
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

// Kernels from 6.8 give each mount an ID that no later mount takes over; older ones give IDs
// that a new mount may reuse once the mount that had it is gone, and older headers lack the flag.
#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x00004000U
#endif

// The mount a file or folder lies on.
struct MountIdentity {
    std::uint64_t mount = 0;   // the mount's ID, unique where the kernel keeps unique IDs
    std::uint64_t device = 0;  // the file system's device number
};

// The mount of what statx finds at (directory, path, flags), without asking the file system
// itself (a FUSE server need not answer). nullopt when statx fails.
std::optional<MountIdentity> mountIdentityOf(int directory, const char* path, int flags) {
    flags |= AT_STATX_DONT_SYNC;
    struct statx status {};
    if (statx(directory, path, flags, STATX_MNT_ID_UNIQUE, &status) != 0) return std::nullopt;
    if ((status.stx_mask & STATX_MNT_ID_UNIQUE) == 0 &&
        (statx(directory, path, flags, STATX_MNT_ID, &status) != 0 ||
         (status.stx_mask & STATX_MNT_ID) == 0))
        return std::nullopt;
    return MountIdentity{status.stx_mnt_id, makedev(status.stx_dev_major, status.stx_dev_minor)};
}

// The 32-bit volume number of a mount: its ID and device mixed, so that where mount IDs are
// reused the device number still tells most new mounts apart.
std::uint32_t volumeNumberOf(const MountIdentity& identity) {
    const std::uint64_t mixed = identity.mount ^ (identity.device * 0x9E3779B97F4A7C15ULL);
    return static_cast<std::uint32_t>(mixed ^ (mixed >> 32));
}

// What CreateFileA opened, on the volume's worker.
struct OpenedFile {
    std::shared_ptr<posix::UniqueFd> fd;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::optional<MountIdentity> mount;
};

// Opens the regular file at path as CreateFileA asks (see the class's comment on share modes).
std::optional<OpenedFile> openRegularFile(const std::string& path, std::uint32_t desiredAccess,
                                          std::uint32_t shareMode) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;

    // Non-blocking: a pipe put in the file's place meanwhile must not hang the open, and a
    // lease held by another program (a file server's) fails it instead of waiting for the break.
    constexpr int openFlags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    posix::UniqueFd probe(open(path.c_str(), O_RDONLY | openFlags));
    if (probe.valid() && (fstat(probe.get(), &status) != 0 || !S_ISREG(status.st_mode)))
        return std::nullopt;
    if ((shareMode & file_share::write) == 0 && probe.valid() &&
        openForWritingElsewhere(probe.get()).value_or(false))
        return std::nullopt;

    posix::UniqueFd fd = std::move(probe);
    if ((desiredAccess & file_access::genericWrite) != 0) {
        const int mode = (desiredAccess & file_access::genericRead) != 0 ? O_RDWR : O_WRONLY;
        fd.reset(open(path.c_str(), mode | openFlags));
        if (fd.valid() && (fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)))
            return std::nullopt;
    }
    if (!fd.valid()) return std::nullopt;
    const std::optional<MountIdentity> mount = mountIdentityOf(fd.get(), "", AT_EMPTY_PATH);
    return OpenedFile{std::make_shared<posix::UniqueFd>(std::move(fd)), status.st_dev,
                      status.st_ino, mount};
}

// The next entries of a listing, at most `most`: as many as come within a moment, so that a slow
// but living volume answers each call well within the watchdog's patience. Entries are read a
// batch at a time, to spare the listing of a large folder a wait for the worker per entry.
struct Batch {
    std::vector<FindData> entries;
    bool ended = false;  // the listing has no more
    int readError = 0;   // the errno of a read error that ended it
};

Batch readEntries(posix::FolderListing& listing, std::size_t most = 256) {
    constexpr auto moment = std::chrono::milliseconds(50);
    const auto start = std::chrono::steady_clock::now();
    Batch batch;
    while (batch.entries.size() < most && std::chrono::steady_clock::now() - start < moment) {
        std::optional<FindData> entry = listing.next();
        if (!entry) {
            batch.ended = true;
            batch.readError = listing.readError();
            break;
        }
        batch.entries.push_back(std::move(*entry));
    }
    return batch;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

PosixPlatform::PosixPlatform(std::string opener, std::string mimeFolder,
                             std::chrono::milliseconds patience)
    : opener_(std::move(opener)), mimeFolder_(std::move(mimeFolder)), watchdog_(patience) {}

PosixPlatform::~PosixPlatform() {
    // Closing a file or folder can wait for its volume; the workers do it, each the sole owner of
    // what it closes, so that the tables going after this let go of nothing.
    for (auto& [number, file] : files_) release(file);
    for (auto& [number, listing] : listings_) release(listing);
}

VolumeKey PosixPlatform::keyOf(const MountEntry& mount) {
    return {static_cast<std::uint64_t>(mount.id), mount.device};
}

// Only the root of a local file system is asked directly: it is where the program and its
// libraries live, so the program could not run if it hung. Everything below a drive's root may
// lead elsewhere (another mount, a symbolic link to a share), so files are always asked through
// the watchdog.
bool PosixPlatform::answersDirectly(const Volume& volume) {
    const std::string& type = volume.mount.fsType;
    return volume.mount.target == "/" && !mnt_fstype_is_netfs(type.c_str()) &&
           !type.starts_with("fuse");
}

MountEntry PosixPlatform::mountOf(const posix::UnixPath& path) {
    const MountEntry* mount = posix::mountHolding(visibleMounts_, path.path);
    return mount ? *mount : drives()[path.drive]->mount;
}

VolumeKey PosixPlatform::volumeHolding(const posix::UnixPath& path) {
    return keyOf(mountOf(path));
}

template <typename Call, typename Result>
Result PosixPlatform::onVolume(const VolumeKey& volume, Call call, Result failed) {
    return watchdog_.run(volume, std::move(call)).value_or(std::move(failed));
}

template <typename Call, typename Result>
Result PosixPlatform::onVolume(const Volume& volume, Call call, Result failed) {
    if (answersDirectly(volume)) return call();
    return onVolume(keyOf(volume.mount), std::move(call), std::move(failed));
}

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
        visibleMounts_ = posix::visibleMounts(volumes);
        std::vector<VolumeKey> mounted;
        for (const MountEntry& mount : visibleMounts_) mounted.push_back(keyOf(mount));
        watchdog_.keepOnly(mounted);
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
    const std::optional<VolumeInformation> information = onVolume(
        *volume, [volume = *volume] { return posix::probeVolumeInformation(volume); },
        std::optional<VolumeInformation>());
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
    const std::optional<DiskGeometry> geometry = onVolume(
        *volume, [volume = *volume] { return posix::probeDiskGeometry(volume); },
        std::optional<DiskGeometry>());
    if (!geometry) return false;
    store(sectorsPerCluster, geometry->sectorsPerCluster);
    store(bytesPerSector, geometry->bytesPerSector);
    store(numberOfFreeClusters, geometry->freeClusters);
    store(totalNumberOfClusters, geometry->totalClusters);
    return true;
}

bool PosixPlatform::GetVolumeNameForVolumeMountPointA(const char* volumeMountPoint,
                                                      char* volumeName,
                                                      std::uint32_t bufferLength) {
    if (volumeName == nullptr) return false;
    const std::optional<Volume> volume = volumeAt(drives(), volumeMountPoint);
    if (!volume) return false;
    // What the mount point leads to now, which is what a path on the letter reaches.
    const std::optional<MountIdentity> mount = onVolume(
        *volume,
        [target = volume->mount.target] {
            return mountIdentityOf(AT_FDCWD, target.c_str(), AT_NO_AUTOMOUNT);
        },
        std::optional<MountIdentity>());
    if (!mount) return false;
    char name[64];
    std::snprintf(name, sizeof name, "\\\\?\\Volume{%08x-%04x-%04x-%04x-%012llx}\\",
                  static_cast<unsigned>(mount->mount >> 32),
                  static_cast<unsigned>(mount->mount >> 16 & 0xFFFF),
                  static_cast<unsigned>(mount->mount & 0xFFFF),
                  static_cast<unsigned>(mount->device >> 48 & 0xFFFF),
                  static_cast<unsigned long long>(mount->device & 0xFFFFFFFFFFFFULL));
    const std::string text = name;
    if (!fits(text, volumeName, bufferLength)) return false;
    copyText(text, volumeName);
    return true;
}

FindHandle PosixPlatform::FindFirstFileA(const char* fileName, FindData* findFileData) {
    lastError_ = error_code::invalidParameter;
    if (fileName == nullptr || findFileData == nullptr) return invalidFindHandle;
    const FindTarget target = findTargetOf(fileName);
    if (target.kind == FindTarget::Kind::oneEntry) return findOneEntry(target.path, findFileData);
    if (target.kind != FindTarget::Kind::folder) return invalidFindHandle;
    lastError_ = error_code::pathNotFound;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(target.path, drives());
    if (!path) return invalidFindHandle;

    struct Started {
        std::shared_ptr<posix::FolderListing> stream;  // null when the folder cannot be opened
        Batch first;
        int openError = 0;
    };
    Listing listing;
    listing.volume = volumeHolding(*path);
    std::optional<Started> started = onVolume(
        listing.volume,
        [folder = path->path, withDots = !path->isRoot,
         mount = mountOf(*path)]() -> std::optional<Started> {
            std::shared_ptr<posix::FolderListing> stream =
                posix::FolderListing::open(folder, withDots, posix::probeAttributeHome(mount));
            if (!stream) return Started{nullptr, {}, errno};
            // The first entry alone: the rest is read when asked for, as the folder is then.
            Batch first = readEntries(*stream, 1);
            return Started{std::move(stream), std::move(first)};
        },
        std::optional<Started>());
    if (!started) {
        lastError_ = error_code::notReady;  // the volume does not answer
        return invalidFindHandle;
    }
    if (!started->stream) {
        lastError_ = posix::errorCodeOf(started->openError);
        return invalidFindHandle;
    }
    listing.stream = std::move(started->stream);
    listing.ahead.assign(std::make_move_iterator(started->first.entries.begin()),
                         std::make_move_iterator(started->first.entries.end()));
    if (started->first.ended) release(listing);
    // Windows fails a listing with no entry at all, which only a root can be, and says that
    // nothing was found: the folder itself was read.
    if (listing.ahead.empty()) {
        lastError_ = started->first.readError != 0 ? posix::errorCodeOf(started->first.readError)
                                                   : error_code::fileNotFound;
        release(listing);
        return invalidFindHandle;
    }
    lastError_ = error_code::success;
    *findFileData = std::move(listing.ahead.front());
    listing.ahead.pop_front();
    return listings_.add(std::move(listing));
}

FindHandle PosixPlatform::findOneEntry(std::string_view fileName, FindData* findFileData) {
    lastError_ = error_code::pathNotFound;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, drives());
    if (!path) return invalidFindHandle;
    // Windows finds no entry for the root itself: its name is empty.
    lastError_ = error_code::fileNotFound;
    if (path->isRoot) return invalidFindHandle;
    std::optional<FindData> entry = describeOnVolume(*path);
    if (!entry) return invalidFindHandle;
    *findFileData = std::move(*entry);
    return listings_.add(Listing{});
}

bool PosixPlatform::FindNextFileA(FindHandle findFile, FindData* findFileData) {
    Listing* listing = listings_.find(findFile);
    if (listing == nullptr || findFileData == nullptr) return false;
    if (listing->ahead.empty() && listing->stream) {
        std::optional<Batch> batch = onVolume(
            listing->volume,
            [stream = listing->stream] { return std::optional<Batch>(readEntries(*stream)); },
            std::optional<Batch>());
        // A volume that stopped answering ends the listing where it is.
        if (!batch || batch->ended) release(*listing);
        if (batch) {
            for (FindData& entry : batch->entries) listing->ahead.push_back(std::move(entry));
        }
    }
    if (listing->ahead.empty()) return false;
    *findFileData = std::move(listing->ahead.front());
    listing->ahead.pop_front();
    return true;
}

bool PosixPlatform::FindClose(FindHandle findFile) {
    Listing* listing = listings_.find(findFile);
    if (listing == nullptr) return false;
    release(*listing);
    return listings_.close(findFile);
}

void PosixPlatform::release(Listing& listing) {
    if (listing.stream) watchdog_.post(listing.volume, [stream = std::move(listing.stream)] {});
}

std::uint32_t PosixPlatform::GetFileAttributesA(const char* fileName) {
    if (fileName == nullptr) return invalidFileAttributes;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, drives());
    if (!path) return invalidFileAttributes;
    const std::optional<FindData> entry = describeOnVolume(*path);
    return entry ? entry->fileAttributes : invalidFileAttributes;
}

bool PosixPlatform::GetFileAttributesExA(const char* fileName, std::uint32_t infoLevelId,
                                         FileAttributeData* fileInformation) {
    lastError_ = error_code::invalidParameter;
    if (fileName == nullptr || fileInformation == nullptr ||
        infoLevelId != file_info_level::standard)
        return false;
    lastError_ = error_code::pathNotFound;
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, drives());
    if (!path) return false;
    const std::optional<FindData> entry = describeOnVolume(*path);
    if (!entry) return false;
    *fileInformation = {entry->fileAttributes, entry->fileSize};
    return true;
}

std::optional<FindData> PosixPlatform::describeOnVolume(const posix::UnixPath& path) {
    struct Described {
        std::optional<FindData> entry;
        std::uint32_t error = error_code::success;
    };
    const std::optional<Described> answer = onVolume(
        volumeHolding(path),
        [file = path.path, isRoot = path.isRoot,
         mount = mountOf(path)]() -> std::optional<Described> {
            std::optional<FindData> entry =
                posix::describeEntryAt(file, isRoot, posix::probeAttributeHome(mount));
            if (entry) return Described{std::move(entry)};
            return Described{std::nullopt, posix::unreachableEntryCode(file)};
        },
        std::optional<Described>());
    if (!answer) {
        lastError_ = error_code::notReady;  // the volume does not answer
        return std::nullopt;
    }
    lastError_ = answer->error;
    return answer->entry;
}

bool PosixPlatform::SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) {
    lastError_ = error_code::invalidParameter;
    if (fileName == nullptr) return false;
    const DriveTable& drives = this->drives();
    const std::optional<posix::UnixPath> path = posix::mapDosPath(fileName, drives);
    lastError_ = error_code::pathNotFound;
    if (!path) return false;
    std::string name = path->isRoot ? "." : path->path.substr(path->path.rfind('/') + 1);
    lastError_ = onVolume(
        volumeHolding(*path),
        [file = path->path, name = std::move(name), root = drives[path->drive]->mount.target,
         fileAttributes, mount = mountOf(*path)](const std::stop_token& givenUp) {
            // A volume that answers after the caller gave up must not be changed after all.
            return posix::writeAttributes(file, name, root, fileAttributes,
                                          posix::probeAttributeHome(mount), givenUp);
        },
        error_code::notReady);
    return lastError_ == error_code::success;
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
    // Starting the opener waits for it to enter the folder, which waits for the volume.
    return onVolume(
        volumeHolding(*path),
        [opener = opener_, file = path->path,
         folder = std::move(folder)](const std::stop_token& givenUp) {
            // Reaching the file and folder is what may wait; an application that starts after
            // the caller reported that nothing could be opened would surprise the user.
            struct stat status {};
            stat(file.c_str(), &status);
            stat(folder.c_str(), &status);
            if (givenUp.stop_requested()) return shellFileNotFound;
            return posix::startOpener(opener, file, folder);
        },
        shellFileNotFound);
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
    const VolumeKey volume = volumeHolding(*path);
    std::optional<OpenedFile> opened = onVolume(
        volume,
        [file = path->path, desiredAccess, shareMode] {
            return openRegularFile(file, desiredAccess, shareMode);
        },
        std::optional<OpenedFile>());
    if (!opened) return invalidFileHandle;

    OpenFile open{opened->fd, volume, opened->device, opened->inode, desiredAccess, shareMode};
    if (opened->mount) open.volumeNumber = volumeNumberOf(*opened->mount);
    const bool shared = std::all_of(files_.begin(), files_.end(), [&](const auto& entry) {
        const OpenFile& other = entry.second;
        return other.device != open.device || other.inode != open.inode ||
               sharingAllows(other.access, other.share, open.access, open.share);
    });
    if (!shared) {
        release(open);
        return invalidFileHandle;
    }
    return files_.add(std::move(open));
}

bool PosixPlatform::CloseHandle(FileHandle object) {
    OpenFile* open = files_.find(object);
    if (open == nullptr) return false;
    release(*open);
    return files_.close(object);
}

void PosixPlatform::release(OpenFile& file) {
    if (file.fd) watchdog_.post(file.volume, [fd = std::move(file.fd)] {});
}

bool PosixPlatform::GetFileTime(FileHandle file, FileTime* creationTime, FileTime* lastAccessTime,
                                FileTime* lastWriteTime) {
    const OpenFile* open = files_.find(file);
    if (open == nullptr) return false;
    const std::optional<struct statx> answer = onVolume(
        open->volume,
        [fd = open->fd]() -> std::optional<struct statx> {
            struct statx status {};
            if (statx(fd->get(), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &status) != 0)
                return std::nullopt;
            return status;
        },
        std::optional<struct statx>());
    if (!answer) return false;
    const struct statx& status = *answer;
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
    const OpenFile* open = files_.find(file);
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
    const std::optional<posix::UnixPath> path = unixPathOf(drives(), longPath);
    if (!path) return 0;
    const std::optional<std::string> found = onVolume(
        volumeHolding(*path),
        [longPath = std::string(longPath), root = drives()[path->drive]->mount.target,
         mount = mountOf(*path)] {
            return posix::shortPathOf(longPath, root, mount.target,
                                      posix::probeAttributeHome(mount));
        },
        std::optional<std::string>());
    if (!found) return 0;
    const std::size_t length = found->size();
    if (length >= 0xFFFFFFFFU) return 0;
    if (shortPath == nullptr || length >= bufferLength)
        return static_cast<std::uint32_t>(length + 1);
    // Windows lets both arguments be the same buffer: found is a copy.
    std::memcpy(shortPath, found->c_str(), length + 1);
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
    const std::optional<mode_t> mode = onVolume(
        volumeHolding(*unixPath),
        [file = unixPath->path]() -> std::optional<mode_t> {
            struct stat status {};
            // A dangling symbolic link is a file, as in listings.
            if (stat(file.c_str(), &status) != 0 && lstat(file.c_str(), &status) != 0)
                return std::nullopt;
            return status.st_mode;
        },
        std::optional<mode_t>());
    if (!mode) return 0;

    const std::string_view unixName =
        std::string_view(unixPath->path).substr(unixPath->path.rfind('/') + 1);
    std::vector<std::string> names;
    std::string type = "inode/directory";
    if (unixPath->isRoot) {
        names = {"drive-harddisk", "folder"};
    } else if (S_ISDIR(*mode)) {
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
