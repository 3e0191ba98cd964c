#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/files.h"
#include "platform/handle_table.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/volume_calls.h"
#include "platform/volume_watchdog.h"

namespace platform::posix {

// A file that CreateFileA opened. Its descriptor is shared with its volume's worker, which
// closes it.
struct OpenFile {
    std::shared_ptr<UniqueFd> fd;
    VolumeKey volume;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint32_t access = 0;                   // the file_access bits it was opened for
    std::uint32_t share = 0;                    // the file_share bits it grants others
    std::optional<std::uint32_t> volumeNumber;  // of its mount, where statx told it
};

// Opens the regular file at place (or what a symbolic link there leads to) for desiredAccess,
// genericRead and/or genericWrite, on the volume's worker. Without file_share::write in
// shareMode, a file that some descriptor of any process has open for writing is refused: the
// kernel refuses a read lease (F_SETLEASE) then, so one is taken and at once given back; where no
// lease can be had for another reason (a file system without leases, a file of another user, leases
// switched off) the open goes ahead. nullopt for anything else than a regular file (a folder, a
// device, a pipe, a socket), a refused file, and one that cannot be opened.
std::optional<OpenFile> openRegularFile(const Place& place, std::uint32_t desiredAccess,
                                        std::uint32_t shareMode);

// The files a platform has open, behind their handles, with Windows' share modes kept among them.
class OpenFiles {
  public:
    // numbers: shared with the platform's other tables. volumes: where the files are closed. Both
    // must outlive the table.
    OpenFiles(HandleNumbers& numbers, VolumeCalls& volumes);
    // Hands every file still open to its volume's worker to close, without waiting for it.
    ~OpenFiles();
    OpenFiles(const OpenFiles&) = delete;
    OpenFiles& operator=(const OpenFiles&) = delete;

    // Keeps file open behind a new handle and returns the handle; but where an open file of the
    // table is the same file (device and inode) and the two do not share what the other asks
    // (sharingAllows), file is closed and invalidFileHandle returned.
    FileHandle add(OpenFile file);
    // The file behind handle; null when it is not open.
    const OpenFile* find(FileHandle handle);
    // Hands the file to its volume's worker to close; false for a handle that is not open.
    bool close(FileHandle handle);

  private:
    void release(OpenFile& file);

    VolumeCalls& volumes_;
    HandleTable<FileHandle, OpenFile> files_;
};

}  // namespace platform::posix
