#include "platform/posix/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/dos_attrib.h"
#include "platform/posix/dos_names.h"

namespace platform::posix {

namespace {

bool isDots(std::string_view name) {
    return name == "." || name == "..";
}

// Well-formed values are below 100 bytes; a larger one is read whole to be judged all the same.
constexpr std::size_t usualValueSize = 256;

}  // namespace

std::uint32_t attributesOf(const EntryFacts& facts) {
    std::uint32_t attributes = 0;
    if (facts.isDirectory) attributes |= file_attribute::directory;
    if (!facts.ownerCanWrite) attributes |= file_attribute::readOnly;
    if (facts.dosAttributes) {
        attributes |= *facts.dosAttributes &
                      (file_attribute::hidden | file_attribute::system | file_attribute::archive);
    } else {
        if (facts.name.starts_with('.')) attributes |= file_attribute::hidden;
        if (!facts.isDirectory) attributes |= file_attribute::archive;
    }
    if (isDots(facts.name)) attributes &= ~file_attribute::hidden;
    return attributes == 0 ? file_attribute::normal : attributes;
}

struct FolderListing::Stream {
    explicit Stream(DIR* opened) : directory(opened) {}
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    ~Stream() { closedir(directory); }

    DIR* directory;
};

std::unique_ptr<FolderListing> FolderListing::open(const std::string& path, bool withDots) {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) return nullptr;
    return std::unique_ptr<FolderListing>(
        new FolderListing(std::make_unique<Stream>(directory), path, withDots));
}

FolderListing::FolderListing(std::unique_ptr<Stream> stream, std::string path, bool withDots)
    : stream_(std::move(stream)),
      entryPath_(std::move(path)),
      folderLength_(0),
      dotsLeft_(withDots ? 2 : 0) {
    if (!entryPath_.ends_with('/')) entryPath_ += '/';
    folderLength_ = entryPath_.size();
}

FolderListing::~FolderListing() = default;

std::optional<FindData> FolderListing::next() {
    // Windows lists "." and ".." first; the stream gives them wherever it likes.
    while (dotsLeft_ > 0) {
        const char* dots = dotsLeft_-- == 2 ? "." : "..";
        if (std::optional<FindData> entry = describe(dots, DT_DIR)) return entry;
    }
    while (const dirent* entry = readdir(stream_->directory)) {
        if (isDots(entry->d_name)) continue;
        if (std::optional<FindData> data = describe(entry->d_name, entry->d_type)) return data;
    }
    return std::nullopt;
}

std::optional<FindData> FolderListing::describe(const char* name, unsigned char type) {
    const int folder = dirfd(stream_->directory);
    EntryFacts facts;
    facts.name = name;
    std::uint64_t size = 0;
    struct stat status {};
    if (fstatat(folder, name, &status, 0) == 0) {
        facts.isDirectory = S_ISDIR(status.st_mode);
        facts.ownerCanWrite = (status.st_mode & S_IWUSR) != 0;
        if (S_ISREG(status.st_mode)) size = static_cast<std::uint64_t>(status.st_size);
        facts.dosAttributes = readDosAttributes(name);
    } else if (errno == ENOENT || errno == ELOOP) {
        // Either the entry is gone, or it is a link that leads nowhere: a plain file then.
        if (fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(status.st_mode))
            return std::nullopt;
    } else {
        // Listed but not searchable (read permission without execute): the names and their
        // kinds are all there is to show.
        facts.isDirectory = type == DT_DIR;
    }

    FindData data;
    data.fileAttributes = attributesOf(facts);
    data.fileSize = size;
    data.fileName = dosNameOf(name);
    return data;
}

std::optional<std::uint32_t> FolderListing::readDosAttributes(const char* name) {
    if (!hasExtendedAttributes_) return std::nullopt;
    entryPath_.resize(folderLength_);
    entryPath_ += name;
    std::array<char, usualValueSize> buffer;
    ssize_t length = getxattr(entryPath_.c_str(), dosAttribName, buffer.data(), buffer.size());
    std::vector<char> large;
    if (length < 0 && errno == ERANGE) {
        const ssize_t needed = getxattr(entryPath_.c_str(), dosAttribName, nullptr, 0);
        if (needed > 0) {
            large.resize(static_cast<std::size_t>(needed));
            length = getxattr(entryPath_.c_str(), dosAttribName, large.data(), large.size());
        }
    }
    if (length < 0) {
        if (errno == ENOTSUP) hasExtendedAttributes_ = false;
        return std::nullopt;
    }
    const char* value = large.empty() ? buffer.data() : large.data();
    const std::optional<DosAttrib> parsed =
        parseDosAttrib(std::string_view(value, static_cast<std::size_t>(length)));
    return parsed ? parsed->attributes() : std::nullopt;
}

}  // namespace platform::posix
