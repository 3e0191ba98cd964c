#include "platform/posix/folder_listing.h"

#include <dirent.h>

#include <cerrno>

namespace platform::posix {

namespace {

bool isDots(std::string_view name) {
    return name == "." || name == "..";
}

}  // namespace

struct FolderListing::Stream {
    explicit Stream(DIR* opened) : directory(opened) {}
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    ~Stream() { closedir(directory); }

    DIR* directory;
};

std::unique_ptr<FolderListing> FolderListing::open(const std::string& path, bool withDots,
                                                   AttributeHome home) {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) return nullptr;
    return std::unique_ptr<FolderListing>(
        new FolderListing(std::make_unique<Stream>(directory), path, withDots, home));
}

FolderListing::FolderListing(std::unique_ptr<Stream> stream, std::string path, bool withDots,
                             AttributeHome home)
    : stream_(std::move(stream)),
      reader_(dirfd(stream_->directory), std::move(path), home),
      dotsLeft_(withDots ? 2 : 0) {}

FolderListing::~FolderListing() = default;

std::optional<FindData> FolderListing::next() {
    // Windows lists "." and ".." first; the stream gives them wherever it likes.
    while (dotsLeft_ > 0) {
        const char* dots = dotsLeft_-- == 2 ? "." : "..";
        if (std::optional<FindData> entry = reader_.describe(dots, DT_DIR)) return entry;
    }
    // readdir tells its end from a read error by errno alone.
    errno = 0;
    while (const dirent* entry = readdir(stream_->directory)) {
        if (!isDots(entry->d_name)) {
            if (std::optional<FindData> data = reader_.describe(entry->d_name, entry->d_type))
                return data;
        }
        errno = 0;
    }
    readError_ = errno;
    return std::nullopt;
}

}  // namespace platform::posix
