#include "platform/posix/entry_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>

#include "platform/posix/dos_names.h"
#include "platform/posix/unique_fd.h"

namespace platform::posix {

namespace {

bool isDots(std::string_view name) {
    return name == "." || name == "..";
}

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

EntryReader::EntryReader(int folder, std::string path, AttributeHome home)
    : folder_(folder),
      entryPath_(std::move(path)),
      folderLength_(0),
      store_(makeAttributeStore(home)) {
    if (!entryPath_.ends_with('/')) entryPath_ += '/';
    folderLength_ = entryPath_.size();
}

std::optional<FindData> EntryReader::describe(const char* name,
                                              std::optional<unsigned char> listedType) {
    EntryFacts facts;
    facts.name = name;
    std::uint64_t size = 0;
    std::optional<std::uint32_t> stored;
    struct stat status {};
    if (fstatat(folder_, name, &status, 0) == 0) {
        if (S_ISREG(status.st_mode)) size = static_cast<std::uint64_t>(status.st_size);
        entryPath_.resize(folderLength_);
        entryPath_ += name;
        stored = store_->read({entryPath_.c_str(), name, S_ISDIR(status.st_mode),
                               static_cast<std::uint32_t>(status.st_mode & 07777)});
    } else if (errno == ENOENT || errno == ELOOP) {
        // Either the entry is gone, or it is a link that leads nowhere: a plain file then.
        if (fstatat(folder_, name, &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(status.st_mode))
            return std::nullopt;
    } else if (listedType) {
        // Listed but not searchable (read permission without execute): the names and their
        // kinds are all there is to show.
        facts.isDirectory = *listedType == DT_DIR;
    } else {
        return std::nullopt;
    }

    FindData data;
    data.fileAttributes = stored.value_or(attributesOf(facts));
    data.fileSize = size;
    data.fileName = dosNameOf(name);
    return data;
}

std::optional<FindData> describeEntryAt(const std::string& path, bool isRoot, AttributeHome home) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    const std::string folder = isRoot ? path : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = isRoot ? "." : path.substr(slash + 1);
    const UniqueFd opened(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!opened.valid()) return std::nullopt;
    return EntryReader(opened.get(), folder, home).describe(name.c_str());
}

}  // namespace platform::posix
