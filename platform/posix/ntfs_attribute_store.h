#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>

#include "platform/posix/attribute_store.h"

namespace platform::posix {

// NTFS: the attribute word that Windows itself reads, as ntfs-3g and the kernel's ntfs3 give it,
// system.ntfs_attrib_be (big-endian), or, where a driver has only that (ntfs3 before Linux 6.2),
// system.ntfs_attrib in the processor's byte order. readOnly is NTFS's bit: it is neither taken
// from nor written to the mode, which ntfs-3g keeps fixed unless it maps permissions. Nothing
// is written to user.* attributes, which ntfs-3g keeps as named streams where Windows sees a
// stray stream and no attribute. A file whose word cannot be read is shown as the mode and its
// name tell; a change of it is refused. 8.3 names: ntfs-3g's system.ntfs_dos_name.
class NtfsAttributeStore final : public AttributeStore {
  public:
    std::uint32_t read(const StoredEntry& entry) override;
    std::uint32_t write(const StoredEntry& entry, std::uint32_t attributes,
                        const std::stop_token& givenUp) override;
    std::optional<std::string> shortName(const std::string& folderPath,
                                         const std::string& name) override;
};

}  // namespace platform::posix
