#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::posix {

// One mount of the kernel's mount table, with the escapes of its fields (\040 for a blank and
// the like) undone.
struct MountEntry {
    int id = 0;                // the mount's ID
    int parentId = 0;          // the ID of the mount it is mounted on
    std::uint64_t device = 0;  // the file system's device number (dev_t), shared by its bind mounts
    std::string root;       // the directory of the file system that is mounted; "/" for all of it
    std::string target;     // the mount point
    std::string fsType;     // the kernel's name of the type: "ext4", "nfs4", "fuse.sshfs"
    std::string source;     // "/dev/sda1", "server:/export", "tmpfs"
    std::string fsOptions;  // the file system's own options: "rw,subvol=/@home"
    bool readOnly = false;  // this mount or the whole file system is read-only
};

// The mounts listed in path, a file in /proc/self/mountinfo's format, in the file's order (for
// mountinfo: oldest first), parsed with libmount. Lines libmount cannot parse are skipped.
// Returns nullopt when the file cannot be read.
std::optional<std::vector<MountEntry>> readMountTable(const char* path);

}  // namespace platform::posix
