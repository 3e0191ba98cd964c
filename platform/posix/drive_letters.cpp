#include "platform/posix/drive_letters.h"

#include <libmount/libmount.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <unordered_map>

#include "platform/platform.h"

namespace platform::posix {

namespace {

constexpr std::size_t driveA = 0;
constexpr std::size_t driveB = 1;
constexpr std::size_t driveC = 2;
constexpr std::size_t driveD = 3;
constexpr std::size_t driveCount = 26;

// Whether path is base or lies below it, by whole components: /mnt2 is not below /mnt.
bool isAtOrBelow(std::string_view path, std::string_view base) {
    if (base == "/") return path.starts_with('/');
    return path.starts_with(base) && (path.size() == base.size() || path[base.size()] == '/');
}

bool isAtOrBelowAny(std::string_view path, std::initializer_list<std::string_view> bases) {
    return std::any_of(bases.begin(), bases.end(),
                       [path](std::string_view base) { return isAtOrBelow(path, base); });
}

bool isSystemPlace(std::string_view target) {
    return !isAtOrBelow(target, "/run/media") &&
           isAtOrBelowAny(target, {"/proc", "/sys", "/dev", "/run", "/boot", "/efi"});
}

bool isUserPlace(std::string_view target) {
    return isAtOrBelowAny(target, {"/mnt", "/media", "/run/media"});
}

bool isRamFileSystem(std::string_view type) {
    return type == "tmpfs" || type == "ramfs";
}

bool isOpticalFileSystem(std::string_view type) {
    return type == "iso9660" || type == "udf";
}

// mountinfo's root field names the directory a bind mount shows; for btrfs it also names the
// subvolume mounted, which is a volume of its own rather than a window into one.
bool isSubdirectoryBind(const MountEntry& mount) {
    if (mount.root == "/") return false;
    if (mount.fsType != "btrfs") return true;
    char* value = nullptr;
    std::size_t size = 0;
    return mnt_optstr_get_option(mount.fsOptions.c_str(), "subvol", &value, &size) != 0 ||
           std::string_view(value, size) != mount.root;
}

bool wantsLetter(const Volume& volume) {
    const MountEntry& mount = volume.mount;
    if (isSystemPlace(mount.target) || mount.fsType == "swap" || isSubdirectoryBind(mount))
        return false;
    if (isRamFileSystem(mount.fsType)) return isUserPlace(mount.target);
    if (mnt_fstype_is_netfs(mount.fsType.c_str())) return true;
    if (volume.device) {
        const bool readOnlyImage = volume.device->kind == BlockDevice::Kind::loop &&
                                   (mount.readOnly || volume.device->readOnly);
        return !readOnlyImage;
    }
    return !mnt_fstype_is_pseudofs(mount.fsType.c_str()) && isUserPlace(mount.target);
}

// A mount is hidden when a later one sits on its mount point or above it, unless that later
// mount is one of those it is itself mounted on.
std::vector<bool> findHidden(const std::vector<Volume>& volumes) {
    std::unordered_map<int, std::size_t> indexById;
    for (std::size_t i = 0; i < volumes.size(); ++i) indexById.emplace(volumes[i].mount.id, i);

    const auto isMountedOn = [&](std::size_t mount, std::size_t base) {
        // Bounded by the table's size in case a damaged table links parents in a circle.
        std::size_t current = mount;
        for (std::size_t steps = 0; steps < volumes.size(); ++steps) {
            const auto parent = indexById.find(volumes[current].mount.parentId);
            if (parent == indexById.end() || parent->second == current) return false;
            if (parent->second == base) return true;
            current = parent->second;
        }
        return false;
    };

    std::vector<bool> hidden(volumes.size(), false);
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        for (std::size_t later = i + 1; later < volumes.size() && !hidden[i]; ++later) {
            hidden[i] = isAtOrBelow(volumes[i].mount.target, volumes[later].mount.target) &&
                        !isMountedOn(i, later);
        }
    }
    return hidden;
}

bool sameMount(const MountEntry& a, const MountEntry& b) {
    return a.id == b.id && a.device == b.device && a.target == b.target && a.root == b.root &&
           a.fsType == b.fsType && a.source == b.source;
}

}  // namespace

DriveTable assignDriveLetters(const std::vector<Volume>& volumes, const DriveTable& previous) {
    const std::vector<bool> hidden = findHidden(volumes);
    std::optional<std::size_t> root;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (!hidden[i] && volumes[i].mount.target == "/") root = i;
    }

    DriveTable table;
    std::vector<std::uint64_t> letteredDevices;
    const auto lettered = [&](const Volume& volume) {
        return std::find(letteredDevices.begin(), letteredDevices.end(), volume.mount.device) !=
               letteredDevices.end();
    };
    const auto give = [&](std::size_t letter, const Volume& volume) {
        table[letter] = volume;
        letteredDevices.push_back(volume.mount.device);
    };
    if (root) give(driveC, volumes[*root]);

    std::vector<std::size_t> wanting;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (i != root && !hidden[i] && wantsLetter(volumes[i])) wanting.push_back(i);
    }
    std::vector<bool> placed(volumes.size(), false);
    for (std::size_t letter = 0; letter < driveCount; ++letter) {
        if (letter == driveC || !previous[letter]) continue;
        for (const std::size_t i : wanting) {
            if (!placed[i] && sameMount(volumes[i].mount, previous[letter]->mount) &&
                !lettered(volumes[i])) {
                give(letter, volumes[i]);
                placed[i] = true;
                break;
            }
        }
    }

    const auto lowestFree = [&](std::size_t first, std::size_t last) -> std::optional<std::size_t> {
        for (std::size_t letter = first; letter <= last; ++letter) {
            if (!table[letter]) return letter;
        }
        return std::nullopt;
    };
    for (const std::size_t i : wanting) {
        const Volume& volume = volumes[i];
        if (placed[i] || lettered(volume)) continue;
        const bool floppy = volume.device && volume.device->kind == BlockDevice::Kind::floppy;
        std::optional<std::size_t> letter = floppy ? lowestFree(driveA, driveB) : std::nullopt;
        if (!letter) letter = lowestFree(driveD, driveCount - 1);
        if (letter) give(*letter, volume);
    }
    return table;
}

std::vector<MountEntry> visibleMounts(const std::vector<Volume>& volumes) {
    const std::vector<bool> hidden = findHidden(volumes);
    std::vector<MountEntry> visible;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (!hidden[i]) visible.push_back(volumes[i].mount);
    }
    return visible;
}

const MountEntry* mountHolding(const std::vector<MountEntry>& visible, std::string_view path) {
    const MountEntry* holding = nullptr;
    for (const MountEntry& mount : visible) {
        if (isAtOrBelow(path, mount.target) &&
            (holding == nullptr || mount.target.size() >= holding->target.size()))
            holding = &mount;
    }
    return holding;
}

std::uint32_t driveType(const Volume& volume) {
    const std::string& type = volume.mount.fsType;
    if (isOpticalFileSystem(type) ||
        (volume.device && volume.device->kind == BlockDevice::Kind::optical))
        return drive_type::cdrom;
    if (mnt_fstype_is_netfs(type.c_str())) return drive_type::remote;
    if (isRamFileSystem(type)) return drive_type::ramdisk;
    if (volume.device) return volume.device->removable ? drive_type::removable : drive_type::fixed;
    return drive_type::unknown;
}

}  // namespace platform::posix
