#include "platform/posix/mounted_drives.h"

#include <utility>

#include "platform/posix/block_device.h"
#include "platform/posix/mount_watch.h"

namespace platform::posix {

VolumeKey volumeKeyOf(const MountEntry& mount) {
    return {static_cast<std::uint64_t>(mount.id), mount.device};
}

const MountEntry* DriveSnapshot::mountHolding(const UnixPath& path) const {
    if (const MountEntry* mount = posix::mountHolding(visible, path.path)) return mount;
    if (path.drive >= letters.size() || !letters[path.drive]) return nullptr;
    return &letters[path.drive]->mount;
}

std::vector<Volume> mountedVolumes() {
    const std::optional<std::vector<MountEntry>> mounts = readMountTable("/proc/self/mountinfo");
    std::vector<Volume> volumes;
    if (!mounts) return volumes;
    volumes.reserve(mounts->size());
    for (const MountEntry& mount : *mounts) volumes.push_back({mount, findBlockDevice(mount)});
    return volumes;
}

namespace {

class SystemMounts final : public MountSource {
  public:
    bool changed() override { return watch_.changed(); }
    std::vector<Volume> volumes() override { return mountedVolumes(); }

  private:
    MountWatch watch_;
};

}  // namespace

std::unique_ptr<MountSource> systemMounts() {
    return std::make_unique<SystemMounts>();
}

MountedDrives::MountedDrives(std::unique_ptr<MountSource> source) : source_(std::move(source)) {}

std::shared_ptr<const DriveSnapshot> MountedDrives::current() {
    // The watch is asked first, so that a change made while the table is read is seen next time.
    if (!source_->changed() && current_) return current_;
    const std::vector<Volume> volumes = source_->volumes();
    auto next = std::make_shared<DriveSnapshot>();
    next->letters = assignDriveLetters(volumes, current_ ? current_->letters : DriveTable{});
    next->visible = visibleMounts(volumes);
    current_ = std::move(next);
    return current_;
}

}  // namespace platform::posix
