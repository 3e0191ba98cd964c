#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>

#include "platform/posix/attribute_store.h"
#include "platform/posix/unix_attribute_store.h"

namespace platform::posix {

// The names of one entry of a FAT folder.
struct FatNames {
    std::string shortName;  // the 8.3 name
    std::string longName;   // the long (VFAT) name; empty where the entry has none
};

// The FAT driver's calls on an open file or folder (linux/msdos_fs.h), which the kernel's vfat,
// msdos and, from Linux 6.7, exfat answer. Each returns 0, or the errno value of its failure:
// ENOTTY where the driver does not answer the call (some FUSE drivers say EINVAL or ENOSYS).
class FatCalls {
  public:
    virtual ~FatCalls() = default;
    // FAT_IOCTL_GET_ATTRIBUTES: the entry's attribute byte (ATTR_RO 1 ... ATTR_ARCH 32).
    virtual int getAttributes(int fd, std::uint32_t& attributes) = 0;
    // FAT_IOCTL_SET_ATTRIBUTES: the driver keeps the volume-label and directory bits itself.
    virtual int setAttributes(int fd, std::uint32_t attributes) = 0;
    // VFAT_IOCTL_READDIR_SHORT: the next entry of the folder open as folderFd, "." and ".."
    // included; found is false at the folder's end.
    virtual int readNextNames(int folderFd, FatNames& names, bool& found) = 0;
};

// The kernel's calls, by ioctl.
FatCalls& kernelFatCalls();

// FAT and exFAT: the attribute byte that Windows itself reads, through the driver's calls on the
// opened file, readOnly among them (the driver makes the mode agree). Where the driver answers
// none of them (exfat-fuse), the volume keeps attributes only where it keeps user.* attributes,
// and then as UnixAttributeStore does; where it keeps none, every change is refused with
// notSupported, since its mode keeps nothing either (exfat-fuse takes any chmod and keeps
// nothing). A file that cannot be opened is shown as UnixAttributeStore shows it. 8.3 names:
// VFAT_IOCTL_READDIR_SHORT.
class FatAttributeStore final : public AttributeStore {
  public:
    explicit FatAttributeStore(FatCalls& calls) : calls_(calls) {}

    std::uint32_t read(const StoredEntry& entry) override;
    std::uint32_t write(const StoredEntry& entry, std::uint32_t attributes,
                        const std::stop_token& givenUp) override;
    std::optional<std::string> shortName(const std::string& folderPath,
                                         const std::string& name) override;

  private:
    // The change where the driver does not answer.
    std::uint32_t writeWithoutCalls(const StoredEntry& entry, std::uint32_t attributes,
                                    const std::stop_token& givenUp);

    FatCalls& calls_;
    UnixAttributeStore unix_;
    bool answered_ = true;  // false once the driver said it does not answer the calls
};

}  // namespace platform::posix
