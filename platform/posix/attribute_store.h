#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/posix/media_kind.h"

namespace platform::posix {

// A file or folder as an AttributeStore is given it.
struct StoredEntry {
    // A path that reaches it: its folder's path and its name, or /proc/self/fd/N of a descriptor
    // opened on it (O_PATH is enough), so that a rename meanwhile reaches nothing else.
    const char* path = "";
    // The Linux name it is listed under ("." for a drive's root), which hides it where the volume
    // keeps no word for it and the name starts with ".".
    std::string_view name;
    bool isDirectory = false;
    std::uint32_t mode = 0;  // its permission bits (st_mode & 07777)
};

// The DOS attribute bits that a change writes and a store keeps.
inline constexpr std::uint32_t dosAttributeBits = file_attribute::readOnly |
                                                  file_attribute::hidden | file_attribute::system |
                                                  file_attribute::archive;

// The word `kept`, as a volume keeps it with bits of its own beyond the four DOS bits (NTFS's
// compressed or not-content-indexed, FAT's directory bit), with the four taken from `asked`:
// every other bit stays as it was.
inline std::uint32_t withDosBits(std::uint32_t kept, std::uint32_t asked) {
    return (kept & ~dosAttributeBits) | (asked & dosAttributeBits);
}

// Where the files of one volume keep what Windows knows of them beyond their names and data: the
// readOnly, hidden, system and archive attributes, and an 8.3 name. A listing's words, the
// attributes of one file and a change of them all come from the store of the file's volume, so
// that what the file list leaves out (hidden and system files), what the boxes show and what a
// click writes agree. One store serves one listing or one call, from one thread; it may keep
// what it learns of the volume (that it keeps no user.* attributes) for as long as it lives.
class AttributeStore {
  public:
    virtual ~AttributeStore() = default;

    // The attribute word Windows would show: directory for folders, the four bits as the volume
    // keeps them, normal alone when no bit is set. Where the volume's word cannot be read, the
    // file is shown as the mode and its name tell (see attributesOf). Never fails.
    virtual std::uint32_t read(const StoredEntry& entry) = 0;

    // Gives the entry the four bits of `attributes`, clearing those it lacks, every other
    // attribute the volume keeps for it left as it was. Returns error_code::success; or, having
    // changed nothing (a change made in steps is undone), why not: notSupported when the volume
    // cannot keep the change, accessDenied when the caller may not make it, another code for
    // other failures (errorCodeOf), notReady when a stop was requested on givenUp by the time
    // the entry had been read, before the first change. A change that leaves the four bits as
    // they are read succeeds without writing.
    virtual std::uint32_t write(const StoredEntry& entry, std::uint32_t attributes,
                                const std::stop_token& givenUp) = 0;

    // The 8.3 name the volume keeps, apart from its long name, for the entry of that Linux name
    // in the folder at folderPath; nullopt where it keeps none (the long name is 8.3 itself, or
    // the volume keeps no such names) or cannot tell.
    virtual std::optional<std::string> shortName(const std::string& folderPath,
                                                 const std::string& name) = 0;
};

// The store of a volume whose attributes are kept at home: UnixAttributeStore,
// NtfsAttributeStore or FatAttributeStore (with the kernel's calls).
std::unique_ptr<AttributeStore> makeAttributeStore(AttributeHome home);

}  // namespace platform::posix
