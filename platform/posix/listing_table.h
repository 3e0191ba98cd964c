#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "platform/handle_table.h"
#include "platform/platform.h"
#include "platform/posix/folder_listing.h"
#include "platform/posix/volume_calls.h"
#include "platform/volume_watchdog.h"

namespace platform::posix {

// The listings a platform has open behind their handles, for FindFirstFileA, FindNextFileA and
// FindClose: each the stream of a folder, read on its volume's worker a batch at a time, as many
// entries as come within a moment, so that a slow but living volume answers each call well
// within the watchdog's patience and a large folder costs no wait for the worker per entry.
class ListingTable {
  public:
    // numbers: shared with the platform's other tables. volumes: where the folders are read and
    // closed. Both must outlive the table.
    ListingTable(HandleNumbers& numbers, VolumeCalls& volumes);
    // Hands every stream still open to its volume's worker to close, without waiting for it.
    ~ListingTable();
    ListingTable(const ListingTable&) = delete;
    ListingTable& operator=(const ListingTable&) = delete;

    // Starts listing the folder at folder's path ("." and ".." first, below a drive's root), puts
    // its first entry into *first and returns the listing's handle. Returns invalidFindHandle,
    // leaving *first as it was, when the path is not mapped, the volume does not answer, the
    // folder cannot be opened or read, or it has no entry at all; lastError then says why, as
    // FindFirstFileA says (success when a listing was started).
    FindHandle start(const PathCall& folder, FindData* first, std::uint32_t& lastError);
    // A listing whose one entry has been given already: FindFirstFileA of a name without
    // wildcards.
    FindHandle addGiven();
    // The listing's next entry into *entry; false, leaving it as it was, at the end, when the
    // volume does not answer (which ends the listing) and for a handle that is not open.
    bool next(FindHandle listing, FindData* entry);
    // Ends a listing; false for a handle that is not open.
    bool close(FindHandle listing);

  private:
    struct Listing {
        std::shared_ptr<FolderListing> stream;  // null once read to its end
        std::deque<FindData> ahead;             // read and not yet given
        VolumeKey volume;
    };
    void release(Listing& listing);

    VolumeCalls& volumes_;
    HandleTable<FindHandle, Listing> listings_;
};

}  // namespace platform::posix
