#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

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

// One folder being listed: an open directory stream, read one entry at a time. Each entry costs
// a stat and, while the file system has extended attributes, a getxattr of user.DOSATTRIB.
// A symbolic link shows what it points to, a dangling one a plain file.
class FolderListing {
  public:
    // Opens the folder at path (absolute). withDots: list "." and ".." first, as Windows does
    // below a drive's root. Returns null when the folder cannot be opened.
    static std::unique_ptr<FolderListing> open(const std::string& path, bool withDots);

    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    ~FolderListing();

    // The next entry, or nullopt at the end (and on a read error, which ends the listing).
    // Entries removed while the listing runs are skipped.
    std::optional<FindData> next();

  private:
    struct Stream;
    FolderListing(std::unique_ptr<Stream> stream, std::string path, bool withDots);
    std::optional<FindData> describe(const char* name, unsigned char type);
    std::optional<std::uint32_t> readDosAttributes(const char* name);

    std::unique_ptr<Stream> stream_;
    std::string entryPath_;  // the folder's path and "/", followed by the last entry's name
    std::size_t folderLength_;
    int dotsLeft_;
    bool hasExtendedAttributes_ = true;
};

}  // namespace platform::posix
