#include "platform/posix/attribute_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/attribute_store.h"
#include "platform/posix/last_error.h"
#include "platform/posix/unique_fd.h"

namespace platform::posix {

std::uint32_t writeAttributes(const std::string& path, std::string_view name,
                              const std::string& volumeRoot, std::uint32_t attributes,
                              AttributeHome home, const std::stop_token& givenUp) {
    const UniqueFd opened(open(path.c_str(), O_PATH | O_CLOEXEC));
    if (!opened.valid()) return unreachableEntryCode(path);
    struct stat file {};
    struct stat root {};
    struct statvfs volume {};
    if (fstat(opened.get(), &file) != 0 || stat(volumeRoot.c_str(), &root) != 0 ||
        fstatvfs(opened.get(), &volume) != 0)
        return errorCodeOf(errno);
    if ((!S_ISREG(file.st_mode) && !S_ISDIR(file.st_mode)) || file.st_dev != root.st_dev)
        return error_code::accessDenied;
    if ((volume.f_flag & ST_RDONLY) != 0) return error_code::writeProtect;

    // Calls by name reach the opened file through its descriptor's entry in /proc, which works
    // for an O_PATH descriptor where fchmod and fsetxattr do not.
    const std::string handle = "/proc/self/fd/" + std::to_string(opened.get());
    const StoredEntry entry{handle.c_str(), name, S_ISDIR(file.st_mode), file.st_mode & 07777U};
    return makeAttributeStore(home)->write(entry, attributes, givenUp);
}

}  // namespace platform::posix
