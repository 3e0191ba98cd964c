#include "platform/posix/volume_calls.h"

#include <libmount/libmount.h>

#include <vector>

namespace platform::posix {

VolumeCalls::VolumeCalls(std::unique_ptr<MountSource> mounts, std::chrono::milliseconds patience)
    : drives_(std::move(mounts)), watchdog_(patience) {}

std::shared_ptr<const DriveSnapshot> VolumeCalls::drives() {
    std::shared_ptr<const DriveSnapshot> now = drives_.current();
    if (now != lastRead_) {
        std::vector<VolumeKey> mounted;
        mounted.reserve(now->visible.size());
        for (const MountEntry& mount : now->visible) mounted.push_back(volumeKeyOf(mount));
        watchdog_.keepOnly(mounted);
        lastRead_ = now;
    }
    return now;
}

bool VolumeCalls::answersDirectly(const Volume& volume) {
    const std::string& type = volume.mount.fsType;
    return volume.mount.target == "/" && !mnt_fstype_is_netfs(type.c_str()) &&
           !type.starts_with("fuse");
}

PathCall::PathCall(VolumeCalls& volumes, const char* dosPath)
    : volumes_(volumes), drives_(volumes.drives()) {
    if (dosPath != nullptr) locate(dosPath);
}

PathCall::PathCall(VolumeCalls& volumes, std::string_view dosPath)
    : volumes_(volumes), drives_(volumes.drives()) {
    locate(dosPath);
}

void PathCall::locate(std::string_view dosPath) {
    std::optional<UnixPath> path = mapDosPath(dosPath, drives_->letters);
    if (!path || !drives_->letters[path->drive]) return;
    const MountEntry* mount = drives_->mountHolding(*path);
    if (mount == nullptr) return;
    std::string driveRoot = drives_->letters[path->drive]->mount.target;
    place_ = Place{std::string(dosPath), std::move(*path), *mount, volumeKeyOf(*mount),
                   std::move(driveRoot)};
}

}  // namespace platform::posix
