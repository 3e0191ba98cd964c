#include "platform/posix/attribute_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>

#include <cerrno>
#include <optional>

#include "platform/posix/attribute_change.h"
#include "platform/posix/dos_attrib.h"
#include "platform/posix/unique_fd.h"

namespace platform::posix {

namespace {

// Reads user.DOSATTRIB into state; false on an error other than its absence, the file system's
// lack of user.* attributes, or a lack of read permission.
bool readDosAttrib(const char* file, AttributeState& state) {
    const ssize_t size = getxattr(file, dosAttribName, nullptr, 0);
    if (size < 0) {
        if (errno == ENODATA) return true;
        // The owner of a file of mode 000 may still chmod it: Read Only must work there.
        if (errno == EACCES) {
            state.dosAttribUnreadable = true;
            return true;
        }
        if (errno != ENOTSUP) return false;
        state.hasExtendedAttributes = false;
        return true;
    }
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t read = getxattr(file, dosAttribName, value.data(), value.size());
    if (read < 0) return false;
    value.resize(static_cast<std::size_t>(read));
    state.dosAttrib = std::move(value);
    return true;
}

bool setDosAttrib(const char* file, const std::string& value) {
    return setxattr(file, dosAttribName, value.data(), value.size(), 0) == 0;
}

// Applies change to the opened file, undoing what was done when a step fails.
bool apply(const char* file, const AttributeState& state, const AttributeChange& change) {
    const std::uint32_t original = state.mode;
    std::uint32_t current = original;
    const auto setMode = [&](std::uint32_t mode) {
        if (chmod(file, static_cast<mode_t>(mode)) != 0) return false;
        current = mode;
        return true;
    };
    const auto restoreMode = [&]() {
        if (current != original) chmod(file, static_cast<mode_t>(original));
    };

    if ((change.mode & S_IWUSR) != 0 && (original & S_IWUSR) == 0 && !setMode(change.mode))
        return false;
    if (change.dosAttrib) {
        bool written = setDosAttrib(file, *change.dosAttrib);
        // user.* attributes need write permission, which a read-only file's owner lacks.
        if (!written && errno == EACCES && (current & S_IWUSR) == 0 && setMode(current | S_IWUSR))
            written = setDosAttrib(file, *change.dosAttrib);
        if (!written) {
            restoreMode();
            return false;
        }
    }
    if (current != change.mode && !setMode(change.mode)) {
        if (change.dosAttrib) {
            if (state.dosAttrib)
                setDosAttrib(file, *state.dosAttrib);
            else
                removexattr(file, dosAttribName);
        }
        restoreMode();
        return false;
    }
    return true;
}

}  // namespace

bool writeAttributes(const std::string& path, std::string_view name, const std::string& volumeRoot,
                     std::uint32_t attributes, const std::stop_token& givenUp) {
    const UniqueFd opened(open(path.c_str(), O_PATH | O_CLOEXEC));
    if (!opened.valid()) return false;
    struct stat file {};
    struct stat root {};
    struct statvfs volume {};
    if (fstat(opened.get(), &file) != 0 || stat(volumeRoot.c_str(), &root) != 0 ||
        fstatvfs(opened.get(), &volume) != 0)
        return false;
    if ((!S_ISREG(file.st_mode) && !S_ISDIR(file.st_mode)) || file.st_dev != root.st_dev ||
        (volume.f_flag & ST_RDONLY) != 0)
        return false;

    // Calls by name reach the opened file through its descriptor's entry in /proc, which works
    // for an O_PATH descriptor where fchmod and fsetxattr do not.
    const std::string handle = "/proc/self/fd/" + std::to_string(opened.get());
    AttributeState state;
    state.name = name;
    state.isDirectory = S_ISDIR(file.st_mode);
    state.mode = file.st_mode & 07777;
    if (!readDosAttrib(handle.c_str(), state)) return false;
    const std::optional<AttributeChange> change = planAttributeChange(state, attributes);
    if (!change || givenUp.stop_requested()) return false;
    return apply(handle.c_str(), state, *change);
}

}  // namespace platform::posix
