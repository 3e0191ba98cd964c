#include "platform/posix/entry_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <vector>

#include "platform/posix/dos_attrib.h"
#include "platform/posix/dos_names.h"
#include "platform/posix/unique_fd.h"

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

EntryReader::EntryReader(int folder, std::string path)
    : folder_(folder), entryPath_(std::move(path)), folderLength_(0) {
    if (!entryPath_.ends_with('/')) entryPath_ += '/';
    folderLength_ = entryPath_.size();
}

std::optional<FindData> EntryReader::describe(const char* name,
                                              std::optional<unsigned char> listedType) {
    EntryFacts facts;
    facts.name = name;
    std::uint64_t size = 0;
    struct stat status {};
    if (fstatat(folder_, name, &status, 0) == 0) {
        facts.isDirectory = S_ISDIR(status.st_mode);
        facts.ownerCanWrite = (status.st_mode & S_IWUSR) != 0;
        if (S_ISREG(status.st_mode)) size = static_cast<std::uint64_t>(status.st_size);
        facts.dosAttributes = readDosAttributes(name);
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
    data.fileAttributes = attributesOf(facts);
    data.fileSize = size;
    data.fileName = dosNameOf(name);
    return data;
}

std::optional<std::uint32_t> EntryReader::readDosAttributes(const char* name) {
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

std::optional<FindData> describeEntryAt(const std::string& path, bool isRoot) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    const std::string folder = isRoot ? path : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = isRoot ? "." : path.substr(slash + 1);
    const UniqueFd opened(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!opened.valid()) return std::nullopt;
    return EntryReader(opened.get(), folder).describe(name.c_str());
}

}  // namespace platform::posix
