#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/posix/entry_reader.h"

namespace platform::posix {

// One folder being listed: an open directory stream, read one entry at a time, each entry
// described by an EntryReader.
class FolderListing {
  public:
    // Opens the folder at path (absolute). withDots: list "." and ".." first, as Windows does
    // below a drive's root. home: where its volume keeps attributes. Returns null when the
    // folder cannot be opened.
    static std::unique_ptr<FolderListing> open(const std::string& path, bool withDots,
                                               AttributeHome home);

    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    ~FolderListing();

    // The next entry, or nullopt at the end (and on a read error, which ends the listing).
    // Entries removed while the listing runs are skipped.
    std::optional<FindData> next();
    // The errno of the read error that ended the listing; 0 while none has.
    int readError() const { return readError_; }

  private:
    struct Stream;
    FolderListing(std::unique_ptr<Stream> stream, std::string path, bool withDots,
                  AttributeHome home);

    std::unique_ptr<Stream> stream_;
    EntryReader reader_;
    int dotsLeft_;
    int readError_ = 0;
};

}  // namespace platform::posix
