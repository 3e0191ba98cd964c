#include "platform/posix/volume_probe.h"

#include <blkid/blkid.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/platform.h"
#include "platform/posix/dos_names.h"
#include "platform/posix/hex_digits.h"
#include "platform/posix/unique_fd.h"

// Kernels from 6.8 answer this for every file system that has a UUID; older headers lack it.
#ifndef FS_IOC_GETFSUUID
struct fsuuid2 {
    __u8 len;
    __u8 uuid[16];
};
#define FS_IOC_GETFSUUID _IOR(0x15, 0, struct fsuuid2)
#endif

namespace platform::posix {

namespace {

namespace fs = std::filesystem;

// f_namemax of FAT and exFAT counts the bytes of 255 UTF-16 units.
constexpr std::uint32_t fatNameLength = 255;

// The kernel's types that do not tell alone which file system Windows would see.
bool needsSuperblock(std::string_view type) {
    return type == "fuseblk" || type == "fuse" || type == "vfat" || type == "msdos";
}

UniqueFd openMountRoot(const std::string& target) {
    return UniqueFd(open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::optional<std::string> kernelLabel(const UniqueFd& root) {
    std::array<char, FSLABEL_MAX + 1> label{};
    if (!root.valid() || ioctl(root.get(), FS_IOC_GETFSLABEL, label.data()) != 0)
        return std::nullopt;
    return std::string(label.data());
}

std::optional<std::uint32_t> kernelSerial(const UniqueFd& root) {
    fsuuid2 uuid{};
    if (!root.valid() || ioctl(root.get(), FS_IOC_GETFSUUID, &uuid) != 0 || uuid.len != 16)
        return std::nullopt;
    return static_cast<std::uint32_t>(uuid.uuid[0]) << 24 |
           static_cast<std::uint32_t>(uuid.uuid[1]) << 16 |
           static_cast<std::uint32_t>(uuid.uuid[2]) << 8 | static_cast<std::uint32_t>(uuid.uuid[3]);
}

// The name of the link in directory (/dev/disk/by-label, by-uuid) that leads to the device.
std::optional<std::string> udevName(const char* directory, std::uint64_t device) {
    if (device == 0) return std::nullopt;  // an image file: udev names no device of it
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        struct stat status {};
        if (stat(entry->path().c_str(), &status) == 0 && S_ISBLK(status.st_mode) &&
            status.st_rdev == device)
            return unescapeUdevName(entry->path().filename().native());
    }
    return std::nullopt;
}

struct SuperblockIds {
    std::optional<std::string> label;
    std::optional<std::string> uuid;
    std::string type;     // libblkid's TYPE ("ntfs", "vfat"); empty where unknown
    std::string version;  // libblkid's VERSION ("FAT32")
};

SuperblockIds readSuperblock(const std::string& node) {
    SuperblockIds ids;
    if (node.empty()) return ids;
    blkid_probe probe = blkid_new_probe_from_filename(node.c_str());
    if (probe == nullptr) return ids;
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(
        probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE | BLKID_SUBLKS_VERSION);
    if (blkid_do_safeprobe(probe) == 0) {
        const char* value = nullptr;
        if (blkid_probe_lookup_value(probe, "LABEL", &value, nullptr) == 0) ids.label = value;
        if (blkid_probe_lookup_value(probe, "UUID", &value, nullptr) == 0) ids.uuid = value;
        if (blkid_probe_lookup_value(probe, "TYPE", &value, nullptr) == 0) ids.type = value;
        if (blkid_probe_lookup_value(probe, "VERSION", &value, nullptr) == 0) ids.version = value;
    }
    blkid_free_probe(probe);
    return ids;
}

// What udev found on the device when it appeared, readable by every user where the device
// itself is not.
std::string udevDatabase(std::uint64_t device) {
    if (device == 0) return {};
    const std::string path =
        "/run/udev/data/b" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The kind of the volume, with its superblock (from readSuperblock, asked only where the kernel's
// type does not tell) or, where that cannot be read, udev's record of it.
template <typename Superblock>
MediaKind mediaKindOfVolume(const Volume& volume, Superblock superblock) {
    const std::string& type = volume.mount.fsType;
    if (!needsSuperblock(type) || !volume.device) return mediaKindOf(type, "", "");
    SuperblockIds ids = superblock();
    if (ids.type.empty()) {
        const std::string database = udevDatabase(volume.device->number);
        ids.type = udevProperty(database, "ID_FS_TYPE");
        ids.version = udevProperty(database, "ID_FS_VERSION");
    }
    return mediaKindOf(type, ids.type, ids.version);
}

// Reading the superblock is the costly source, so it is read once, and only when needed.
class Identity {
  public:
    explicit Identity(const Volume& volume)
        : volume_(volume), root_(openMountRoot(volume.mount.target)) {}

    std::string label() {
        if (auto label = kernelLabel(root_)) return *label;
        if (!volume_.device) return {};
        if (auto label = udevName("/dev/disk/by-label", volume_.device->number)) return *label;
        return superblock().label.value_or("");
    }

    std::uint32_t serialNumber() {
        if (!volume_.device) return 0;
        if (auto uuid = superblock().uuid) return serialFromUuid(*uuid);
        if (auto uuid = udevName("/dev/disk/by-uuid", volume_.device->number))
            return serialFromUuid(*uuid);
        return kernelSerial(root_).value_or(0);
    }

    MediaKind kind() {
        return mediaKindOfVolume(volume_, [this] { return superblock(); });
    }

  private:
    const SuperblockIds& superblock() {
        if (!superblock_) superblock_ = readSuperblock(volume_.device->node);
        return *superblock_;
    }

    const Volume& volume_;
    UniqueFd root_;
    std::optional<SuperblockIds> superblock_;
};

std::uint32_t clamp32(unsigned long value) {
    return static_cast<std::uint32_t>(
        std::min<unsigned long>(value, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

std::optional<VolumeInformation> probeVolumeInformation(const Volume& volume) {
    struct statvfs status {};
    if (statvfs(volume.mount.target.c_str(), &status) != 0) return std::nullopt;

    Identity identity(volume);
    const MediaKind kind = identity.kind();
    const bool fat = kind.fatFamily;
    VolumeInformation information;
    information.label = dosTextOf(identity.label());
    information.serialNumber = identity.serialNumber();
    information.maxComponentLength = fat ? fatNameLength : clamp32(status.f_namemax);
    information.fileSystemFlags =
        fat ? fs_flags::casePreservedNames
            : fs_flags::caseSensitiveSearch | fs_flags::casePreservedNames;
    if ((status.f_flag & ST_RDONLY) != 0) information.fileSystemFlags |= fs_flags::readOnlyVolume;
    information.fileSystem = dosTextOf(kind.fileSystem);
    return information;
}

AttributeHome probeAttributeHome(const MountEntry& mount) {
    const Volume volume{mount,
                        needsSuperblock(mount.fsType) ? findBlockDevice(mount) : std::nullopt};
    return mediaKindOfVolume(volume, [&volume] { return readSuperblock(volume.device->node); })
        .home;
}

std::string udevProperty(std::string_view database, std::string_view key) {
    for (std::size_t start = 0; start < database.size();) {
        std::size_t end = database.find('\n', start);
        if (end == std::string_view::npos) end = database.size();
        const std::string_view line = database.substr(start, end - start);
        if (line.starts_with("E:") && line.substr(2).starts_with(key) &&
            line.size() > key.size() + 2 && line[key.size() + 2] == '=')
            return std::string(line.substr(key.size() + 3));
        start = end + 1;
    }
    return {};
}

std::optional<DiskGeometry> probeDiskGeometry(const Volume& volume) {
    struct statvfs status {};
    if (statvfs(volume.mount.target.c_str(), &status) != 0) return std::nullopt;
    return diskGeometry(status.f_frsize, status.f_bavail, status.f_blocks,
                        volume.device ? volume.device->logicalSectorSize : 512);
}

std::uint32_t serialFromUuid(std::string_view uuid) {
    const auto hex = [uuid](std::size_t at, std::size_t count) {
        return hexValue(uuid.substr(at, count));
    };
    if (uuid.size() == 9 && uuid[4] == '-' && hex(0, 4) && hex(5, 4))
        return *hex(0, 4) << 16 | *hex(5, 4);
    if (uuid.size() == 16 && hex(0, 8) && hex(8, 8)) return *hex(8, 8);
    const bool standard = uuid.size() == 36 && uuid[8] == '-' && uuid[13] == '-' &&
                          uuid[18] == '-' && uuid[23] == '-' && hex(0, 8) && hex(9, 4) &&
                          hex(14, 4) && hex(19, 4) && hex(24, 8) && hex(32, 4);
    return standard ? *hex(0, 8) : 0;
}

std::string unescapeUdevName(std::string_view name) {
    std::string result;
    result.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::optional<std::uint32_t> byte =
            name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x'
                ? hexValue(name.substr(i + 2, 2))
                : std::nullopt;
        if (byte) {
            result.push_back(static_cast<char>(*byte));
            i += 3;
        } else {
            result.push_back(name[i]);
        }
    }
    return result;
}

}  // namespace platform::posix
