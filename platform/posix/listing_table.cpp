#include "platform/posix/listing_table.h"

#include <cerrno>
#include <chrono>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "platform/posix/last_error.h"
#include "platform/posix/volume_probe.h"

namespace platform::posix {

namespace {

// The next entries of a listing, at most `most`: as many as come within a moment.
struct Batch {
    std::vector<FindData> entries;
    bool ended = false;  // the listing has no more
    int readError = 0;   // the errno of a read error that ended it
};

Batch readEntries(FolderListing& listing, std::size_t most = 256) {
    constexpr auto moment = std::chrono::milliseconds(50);
    const auto start = std::chrono::steady_clock::now();
    Batch batch;
    while (batch.entries.size() < most && std::chrono::steady_clock::now() - start < moment) {
        std::optional<FindData> entry = listing.next();
        if (!entry) {
            batch.ended = true;
            batch.readError = listing.readError();
            break;
        }
        batch.entries.push_back(std::move(*entry));
    }
    return batch;
}

}  // namespace

ListingTable::ListingTable(HandleNumbers& numbers, VolumeCalls& volumes)
    : volumes_(volumes), listings_(numbers) {}

ListingTable::~ListingTable() {
    for (auto& [number, listing] : listings_) release(listing);
}

FindHandle ListingTable::start(const PathCall& folder, FindData* first, std::uint32_t& lastError) {
    struct Started {
        std::shared_ptr<FolderListing> stream;  // null when the folder cannot be opened
        Batch first;
        int openError = 0;
    };
    std::optional<Started> started = folder.run(
        [](const Place& place) {
            std::shared_ptr<FolderListing> stream = FolderListing::open(
                place.path.path, !place.path.isRoot, probeAttributeHome(place.mount));
            if (!stream) return Started{nullptr, {}, errno};
            // The first entry alone: the rest is read when asked for, as the folder is then.
            Batch batch = readEntries(*stream, 1);
            return Started{std::move(stream), std::move(batch)};
        },
        &lastError);
    if (!started) return invalidFindHandle;
    if (!started->stream) {
        lastError = errorCodeOf(started->openError);
        return invalidFindHandle;
    }
    Listing listing{std::move(started->stream), {}, folder.place()->volume};
    listing.ahead.assign(std::make_move_iterator(started->first.entries.begin()),
                         std::make_move_iterator(started->first.entries.end()));
    if (started->first.ended) release(listing);
    // Windows fails a listing with no entry at all, which only a root can be, and says that
    // nothing was found: the folder itself was read.
    if (listing.ahead.empty()) {
        lastError = started->first.readError != 0 ? errorCodeOf(started->first.readError)
                                                  : error_code::fileNotFound;
        release(listing);
        return invalidFindHandle;
    }
    lastError = error_code::success;
    *first = std::move(listing.ahead.front());
    listing.ahead.pop_front();
    return listings_.add(std::move(listing));
}

FindHandle ListingTable::addGiven() {
    return listings_.add(Listing{});
}

bool ListingTable::next(FindHandle handle, FindData* entry) {
    Listing* listing = listings_.find(handle);
    if (listing == nullptr || entry == nullptr) return false;
    if (listing->ahead.empty() && listing->stream) {
        std::optional<Batch> batch = volumes_.onVolume(
            listing->volume, [stream = listing->stream] { return readEntries(*stream); });
        // A volume that stopped answering ends the listing where it is.
        if (!batch || batch->ended) release(*listing);
        if (batch) {
            for (FindData& each : batch->entries) listing->ahead.push_back(std::move(each));
        }
    }
    if (listing->ahead.empty()) return false;
    *entry = std::move(listing->ahead.front());
    listing->ahead.pop_front();
    return true;
}

bool ListingTable::close(FindHandle handle) {
    Listing* listing = listings_.find(handle);
    if (listing == nullptr) return false;
    release(*listing);
    return listings_.close(handle);
}

void ListingTable::release(Listing& listing) {
    volumes_.release(listing.volume, listing.stream);
}

}  // namespace platform::posix
