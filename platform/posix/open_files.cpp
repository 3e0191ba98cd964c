#include "platform/posix/open_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

#include "platform/posix/mount_identity.h"

namespace platform::posix {

namespace {

// Whether some descriptor, of any process, has the file open for writing: the kernel grants no
// read lease then. nullopt when leases cannot tell.
std::optional<bool> openForWritingElsewhere(int readOnlyFd) {
    if (fcntl(readOnlyFd, F_SETLEASE, F_RDLCK) == 0) {
        fcntl(readOnlyFd, F_SETLEASE, F_UNLCK);
        return false;
    }
    if (errno == EAGAIN) return true;
    return std::nullopt;
}

}  // namespace

std::optional<OpenFile> openRegularFile(const Place& place, std::uint32_t desiredAccess,
                                        std::uint32_t shareMode) {
    const std::string& path = place.path.path;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;

    // Non-blocking: a pipe put in the file's place meanwhile must not hang the open, and a
    // lease held by another program (a file server's) fails it instead of waiting for the break.
    constexpr int openFlags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    UniqueFd probe(open(path.c_str(), O_RDONLY | openFlags));
    if (probe.valid() && (fstat(probe.get(), &status) != 0 || !S_ISREG(status.st_mode)))
        return std::nullopt;
    if ((shareMode & file_share::write) == 0 && probe.valid() &&
        openForWritingElsewhere(probe.get()).value_or(false))
        return std::nullopt;

    UniqueFd fd = std::move(probe);
    if ((desiredAccess & file_access::genericWrite) != 0) {
        const int mode = (desiredAccess & file_access::genericRead) != 0 ? O_RDWR : O_WRONLY;
        fd.reset(open(path.c_str(), mode | openFlags));
        if (fd.valid() && (fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)))
            return std::nullopt;
    }
    if (!fd.valid()) return std::nullopt;
    OpenFile file{nullptr, place.volume, status.st_dev, status.st_ino, desiredAccess, shareMode};
    if (const std::optional<MountIdentity> mount = mountIdentityOf(fd.get(), "", AT_EMPTY_PATH))
        file.volumeNumber = volumeNumberOf(*mount);
    file.fd = std::make_shared<UniqueFd>(std::move(fd));
    return file;
}

OpenFiles::OpenFiles(HandleNumbers& numbers, VolumeCalls& volumes)
    : volumes_(volumes), files_(numbers) {}

OpenFiles::~OpenFiles() {
    for (auto& [number, file] : files_) release(file);
}

FileHandle OpenFiles::add(OpenFile file) {
    const bool shared = std::all_of(files_.begin(), files_.end(), [&](const auto& entry) {
        const OpenFile& other = entry.second;
        return other.device != file.device || other.inode != file.inode ||
               sharingAllows(other.access, other.share, file.access, file.share);
    });
    if (!shared) {
        release(file);
        return invalidFileHandle;
    }
    return files_.add(std::move(file));
}

const OpenFile* OpenFiles::find(FileHandle handle) {
    return files_.find(handle);
}

bool OpenFiles::close(FileHandle handle) {
    OpenFile* file = files_.find(handle);
    if (file == nullptr) return false;
    release(*file);
    return files_.close(handle);
}

void OpenFiles::release(OpenFile& file) {
    volumes_.release(file.volume, file.fd);
}

}  // namespace platform::posix
