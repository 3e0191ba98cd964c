#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/posix/attribute_store.h"
#include "platform/posix/media_kind.h"

namespace platform::posix {

// What the attribute word of an entry is made of.
struct EntryFacts {
    std::string_view name;  // the Linux name
    bool isDirectory = false;
    bool ownerCanWrite = true;
    std::optional<std::uint32_t> dosAttributes;  // from a readable user.DOSATTRIB
};

// The attribute word Windows would show: directory for folders; readOnly when the owner may not
// write; hidden, system and archive from user.DOSATTRIB when it vouches for a word, else hidden
// for a name starting with "." and archive for anything but a folder. "." and ".." are never
// hidden. normal alone when no other bit is set.
std::uint32_t attributesOf(const EntryFacts& facts);

// Describes entries of one folder as a listing shows them: attribute word (as the store of the
// folder's volume reads it), size and DOS name. Each entry costs a stat and what its store reads
// (Linux's own file systems: a getxattr of user.DOSATTRIB while the volume has extended
// attributes). A symbolic link shows what it points to, a dangling one a plain file.
class EntryReader {
  public:
    // folder: a descriptor of the folder, kept open by the caller while the reader is used
    // (O_PATH is enough); path: the folder's absolute path; home: where its volume keeps
    // attributes.
    EntryReader(int folder, std::string path, AttributeHome home);

    // The entry of that Linux name in the folder; nullopt when there is none (removed, say).
    // listedType is the kind the folder's listing gave (DT_*): an entry that is listed but cannot
    // be examined (a folder readable without search permission) is shown with its name and kind
    // alone. Without a listed kind, such an entry gives nullopt.
    std::optional<FindData> describe(const char* name,
                                     std::optional<unsigned char> listedType = std::nullopt);

  private:
    int folder_;
    std::string entryPath_;  // the folder's path and "/", followed by the last entry's name
    std::size_t folderLength_;
    std::unique_ptr<AttributeStore> store_;
};

// The file or folder at path (absolute) as the listing of its folder shows it; a drive's root
// (isRoot) as its own listing shows "." below it. home: where its volume keeps attributes.
// nullopt when it cannot be reached.
std::optional<FindData> describeEntryAt(const std::string& path, bool isRoot, AttributeHome home);

}  // namespace platform::posix
