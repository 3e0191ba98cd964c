#pragma once

#include <memory>
#include <vector>

#include "platform/posix/dos_path.h"
#include "platform/posix/drive_letters.h"
#include "platform/posix/mount_table.h"
#include "platform/volume_watchdog.h"

namespace platform::posix {

// The volume of a mount as the watchdog tells volumes apart: its ID and its device number.
VolumeKey volumeKeyOf(const MountEntry& mount);

// One reading of the drive table. A call maps its paths with one snapshot from start to end, so
// that a mount table that changes meanwhile cannot take a letter away halfway through the call.
struct DriveSnapshot {
    DriveTable letters;
    std::vector<MountEntry> visible;  // the mounts that paths can reach (visibleMounts)

    // The mount that holds a path mapped with these letters: of the visible mounts the one that
    // holds it by name, else its drive's; null for a drive these letters do not have. Pure.
    const MountEntry* mountHolding(const UnixPath& path) const;
};

// Where a drive table is read from.
class MountSource {
  public:
    virtual ~MountSource() = default;
    // Whether the mount table may have changed since the last call.
    virtual bool changed() = 0;
    // The mounts with their block devices, oldest first; none when the table cannot be read.
    virtual std::vector<Volume> volumes() = 0;
};

// The mounts of this process's mount table (/proc/self/mountinfo) with their block devices (from
// sysfs), oldest first; none when it cannot be read.
std::vector<Volume> mountedVolumes();

// This process's mount table as mountedVolumes reads it, watched for changes by a MountWatch.
std::unique_ptr<MountSource> systemMounts();

// The drive letters as a platform gives them while it lives: the mount table is read again only
// when its source reports a change, and each reading keeps the letters of the volumes that are
// still mounted (assignDriveLetters).
class MountedDrives {
  public:
    explicit MountedDrives(std::unique_ptr<MountSource> source);

    // The table for one call: read afresh first when there is none yet or the source reports a
    // change, else the one read last. Never null; a snapshot stays as it is while it is held.
    std::shared_ptr<const DriveSnapshot> current();

  private:
    std::unique_ptr<MountSource> source_;
    std::shared_ptr<const DriveSnapshot> current_;
};

}  // namespace platform::posix
