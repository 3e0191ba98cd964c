#include "platform/posix/fat_attribute_store.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/last_error.h"
#include "platform/posix/unique_fd.h"

namespace platform::posix {

namespace {

class KernelFatCalls final : public FatCalls {
  public:
    int getAttributes(int fd, std::uint32_t& attributes) override {
        __u32 value = 0;
        if (ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &value) != 0) return errno;
        attributes = value;
        return 0;
    }
    int setAttributes(int fd, std::uint32_t attributes) override {
        __u32 value = attributes;
        return ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &value) == 0 ? 0 : errno;
    }
    int readNextNames(int folderFd, FatNames& names, bool& found) override {
        __fat_dirent entries[2]{};
        const int result = ioctl(folderFd, VFAT_IOCTL_READDIR_SHORT, entries);
        if (result < 0) return errno;
        found = result > 0;
        const auto nameOf = [](const __fat_dirent& entry) {
            return std::string(entry.d_name, strnlen(entry.d_name, sizeof entry.d_name));
        };
        names.shortName = nameOf(entries[0]);
        // Without a long name the second entry is left empty, its length 0.
        names.longName = entries[1].d_reclen != 0 ? nameOf(entries[1]) : std::string();
        return 0;
    }
};

// What a driver that does not answer FAT's calls says: the kernel's ENOTTY, and what FUSE drivers
// say instead.
bool unanswered(int error) {
    return error == ENOTTY || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// Ioctls need a descriptor that is open for real, not O_PATH.
UniqueFd openForCalls(const char* path) {
    return UniqueFd(open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
}

}  // namespace

FatCalls& kernelFatCalls() {
    static KernelFatCalls calls;
    return calls;
}

std::uint32_t FatAttributeStore::read(const StoredEntry& entry) {
    if (answered_) {
        const UniqueFd fd = openForCalls(entry.path);
        std::uint32_t kept = 0;
        const int error = fd.valid() ? calls_.getAttributes(fd.get(), kept) : EBADF;
        if (error == 0) {
            const std::uint32_t word =
                (kept & dosAttributeBits) | (entry.isDirectory ? file_attribute::directory : 0);
            return word == 0 ? file_attribute::normal : word;
        }
        if (unanswered(error)) answered_ = false;
    }
    return unix_.read(entry);
}

std::uint32_t FatAttributeStore::write(const StoredEntry& entry, std::uint32_t attributes,
                                       const std::stop_token& givenUp) {
    if (!answered_) return writeWithoutCalls(entry, attributes, givenUp);
    const UniqueFd fd = openForCalls(entry.path);
    if (!fd.valid()) return errorCodeOf(errno);
    std::uint32_t kept = 0;
    if (const int error = calls_.getAttributes(fd.get(), kept); error != 0) {
        if (!unanswered(error)) return errorCodeOf(error);
        answered_ = false;
        return writeWithoutCalls(entry, attributes, givenUp);
    }
    const std::uint32_t wanted = withDosBits(kept, attributes);
    if (wanted == kept) return error_code::success;
    if (givenUp.stop_requested()) return error_code::notReady;
    return errorCodeOf(calls_.setAttributes(fd.get(), wanted));
}

std::uint32_t FatAttributeStore::writeWithoutCalls(const StoredEntry& entry,
                                                   std::uint32_t attributes,
                                                   const std::stop_token& givenUp) {
    if (unix_.keepsUserAttributes(entry.path)) return unix_.write(entry, attributes, givenUp);
    const bool unchanged = ((unix_.read(entry) ^ attributes) & dosAttributeBits) == 0;
    return unchanged ? error_code::success : error_code::notSupported;
}

std::optional<std::string> FatAttributeStore::shortName(const std::string& folderPath,
                                                        const std::string& name) {
    const UniqueFd folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) return std::nullopt;
    FatNames names;
    for (bool found = true;;) {
        if (calls_.readNextNames(folder.get(), names, found) != 0 || !found) return std::nullopt;
        // An entry without a long name is its own 8.3 name.
        if (names.longName.empty() ? names.shortName == name : names.longName == name) break;
    }
    if (names.longName.empty() || names.shortName == names.longName) return std::nullopt;
    return names.shortName;
}

}  // namespace platform::posix
