#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/drive_letters.h"

// Mount tables for the tests of drive letters and drive types, written as rows of the fields
// that matter to them.
namespace mount_rows {

using platform::posix::BlockDevice;
using platform::posix::Volume;

inline BlockDevice disk(bool removable = false) {
    BlockDevice device;
    device.removable = removable;
    return device;
}

inline BlockDevice loop(bool readOnlyDevice = false) {
    BlockDevice device;
    device.kind = BlockDevice::Kind::loop;
    device.readOnly = readOnlyDevice;
    return device;
}

inline BlockDevice floppy() {
    BlockDevice device;
    device.kind = BlockDevice::Kind::floppy;
    device.removable = true;
    return device;
}

inline BlockDevice optical() {
    BlockDevice device;
    device.kind = BlockDevice::Kind::optical;
    device.removable = true;
    return device;
}

// One line of a mount table, as few fields as the row needs.
struct MountRow {
    std::string target;
    std::string fsType;
    std::optional<BlockDevice> device;
    std::string root = "/";
    bool readOnly = false;
    std::string fsOptions;
    int parent = 0;                // 1-based row it is mounted on; 0: the first "/" row
    std::uint64_t fileSystem = 0;  // rows with the same nonzero number share a file system
    int id = 0;                    // its mount ID; 0: 100 and the row's index
};

inline std::vector<Volume> toVolumes(const std::vector<MountRow>& rows) {
    constexpr int firstId = 100;
    std::vector<int> ids;
    for (std::size_t i = 0; i < rows.size(); ++i)
        ids.push_back(rows[i].id != 0 ? rows[i].id : firstId + static_cast<int>(i));
    int rootId = 1;  // outside the table, like the namespace root's parent in mountinfo
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].target == "/") {
            rootId = ids[i];
            break;
        }
    }
    std::vector<Volume> volumes;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MountRow& row = rows[i];
        Volume volume;
        volume.mount.id = ids[i];
        volume.mount.parentId = row.parent != 0             ? ids.at(row.parent - 1)
                                : volume.mount.id == rootId ? 1
                                                            : rootId;
        volume.mount.device =
            row.fileSystem != 0 ? row.fileSystem : 1000 + static_cast<std::uint64_t>(ids[i]);
        volume.mount.root = row.root;
        volume.mount.target = row.target;
        volume.mount.fsType = row.fsType;
        volume.mount.fsOptions = row.fsOptions;
        volume.mount.readOnly = row.readOnly;
        volume.device = row.device;
        volumes.push_back(volume);
    }
    return volumes;
}

// Each lettered drive as "target fsType".
inline std::map<char, std::string> lettersIn(const platform::posix::DriveTable& table) {
    std::map<char, std::string> letters;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i])
            letters[static_cast<char>('A' + i)] =
                table[i]->mount.target + " " + table[i]->mount.fsType;
    }
    return letters;
}

inline std::map<char, std::string> lettersOf(const std::vector<MountRow>& rows) {
    return lettersIn(platform::posix::assignDriveLetters(toVolumes(rows)));
}

}  // namespace mount_rows
