#include "platform/posix/block_device.h"

#include <linux/major.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>

namespace platform::posix {

namespace {

namespace fs = std::filesystem;

// SCSI peripheral device type of CD and DVD drives, in sysfs's device/type.
constexpr std::string_view scsiTypeRom = "5";

std::string firstLine(const fs::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::uint32_t sectorSize(const fs::path& disk) {
    const std::string line = firstLine(disk / "queue" / "logical_block_size");
    std::uint32_t size = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), size);
    return error == std::errc() && size >= 512 ? size : 512;
}

// The kernel's name of the device ("sdb1", "loop0") from its uevent file.
std::string deviceName(const fs::path& device) {
    std::ifstream file(device / "uevent");
    constexpr std::string_view key = "DEVNAME=";
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with(key)) return line.substr(key.size());
    }
    return {};
}

}  // namespace

std::optional<BlockDevice> findBlockDevice(const MountEntry& entry) {
    dev_t number = static_cast<dev_t>(entry.device);
    if (major(number) == 0) {
        struct stat status {};
        if (!entry.source.starts_with('/') || stat(entry.source.c_str(), &status) != 0)
            return std::nullopt;
        // ntfs-3g and other FUSE drivers can open a disk image themselves, with no loop device
        // between; such a mount is "fuse" and names the image as its source.
        if (S_ISREG(status.st_mode) && entry.fsType == "fuse") {
            BlockDevice image;
            image.node = entry.source;
            image.kind = BlockDevice::Kind::loop;
            image.readOnly = access(entry.source.c_str(), W_OK) != 0;
            return image;
        }
        if (!S_ISBLK(status.st_mode)) return std::nullopt;
        number = status.st_rdev;
    }

    std::error_code error;
    const fs::path device =
        fs::canonical(fs::path("/sys/dev/block") /
                          (std::to_string(major(number)) + ":" + std::to_string(minor(number))),
                      error);
    if (error) return std::nullopt;
    const fs::path disk = fs::exists(device / "partition", error) ? device.parent_path() : device;

    BlockDevice result;
    result.number = number;
    if (const std::string name = deviceName(device); !name.empty()) result.node = "/dev/" + name;
    if (major(number) == FLOPPY_MAJOR)
        result.kind = BlockDevice::Kind::floppy;
    else if (fs::exists(disk / "loop", error))
        result.kind = BlockDevice::Kind::loop;
    else if (firstLine(disk / "device" / "type") == scsiTypeRom)
        result.kind = BlockDevice::Kind::optical;
    result.removable = firstLine(disk / "removable") == "1";
    result.readOnly = firstLine(device / "ro") == "1";
    result.logicalSectorSize = sectorSize(disk);
    return result;
}

}  // namespace platform::posix
