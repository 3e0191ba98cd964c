#include "platform/posix/unix_attribute_store.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <vector>

#include "platform/posix/attribute_change.h"
#include "platform/posix/dos_attrib.h"
#include "platform/posix/entry_reader.h"
#include "platform/posix/last_error.h"

namespace platform::posix {

namespace {

// Well-formed values are below 100 bytes; a larger one is read whole to be judged all the same.
constexpr std::size_t usualValueSize = 256;

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

// Applies change to the file, undoing what was done when a step fails; the code of the step
// that failed.
std::uint32_t apply(const char* file, const AttributeState& state, const AttributeChange& change) {
    const std::uint32_t original = state.mode;
    std::uint32_t current = original;
    const auto setMode = [&](std::uint32_t mode) {
        if (chmod(file, static_cast<mode_t>(mode)) != 0) return false;
        current = mode;
        return true;
    };
    // Undoing a step sets errno of its own; the code is of the step that failed.
    const auto undo = [&](int error) {
        if (current != original) chmod(file, static_cast<mode_t>(original));
        return errorCodeOf(error);
    };

    if ((change.mode & S_IWUSR) != 0 && (original & S_IWUSR) == 0 && !setMode(change.mode))
        return errorCodeOf(errno);
    if (change.dosAttrib) {
        bool written = setDosAttrib(file, *change.dosAttrib);
        // user.* attributes need write permission, which a read-only file's owner lacks.
        if (!written && errno == EACCES && (current & S_IWUSR) == 0) {
            if (!setMode(current | S_IWUSR)) return undo(EACCES);
            written = setDosAttrib(file, *change.dosAttrib);
        }
        if (!written) return undo(errno);
    }
    if (current != change.mode && !setMode(change.mode)) {
        const int error = errno;
        if (change.dosAttrib) {
            if (state.dosAttrib)
                setDosAttrib(file, *state.dosAttrib);
            else
                removexattr(file, dosAttribName);
        }
        return undo(error);
    }
    return error_code::success;
}

}  // namespace

std::uint32_t UnixAttributeStore::read(const StoredEntry& entry) {
    return attributesOf({entry.name, entry.isDirectory, (entry.mode & S_IWUSR) != 0,
                         readDosAttributes(entry.path)});
}

std::uint32_t UnixAttributeStore::write(const StoredEntry& entry, std::uint32_t attributes,
                                        const std::stop_token& givenUp) {
    AttributeState state;
    state.name = entry.name;
    state.isDirectory = entry.isDirectory;
    state.mode = entry.mode;
    if (!readDosAttrib(entry.path, state)) return errorCodeOf(errno);
    const std::optional<AttributeChange> change = planAttributeChange(state, attributes);
    if (!change)
        return state.dosAttribUnreadable ? error_code::accessDenied : error_code::notSupported;
    if (givenUp.stop_requested()) return error_code::notReady;
    return apply(entry.path, state, *change);
}

bool UnixAttributeStore::keepsUserAttributes(const char* path) {
    if (hasExtendedAttributes_ && getxattr(path, dosAttribName, nullptr, 0) < 0 && errno == ENOTSUP)
        hasExtendedAttributes_ = false;
    return hasExtendedAttributes_;
}

std::optional<std::uint32_t> UnixAttributeStore::readDosAttributes(const char* path) {
    if (!hasExtendedAttributes_) return std::nullopt;
    std::array<char, usualValueSize> buffer;
    ssize_t length = getxattr(path, dosAttribName, buffer.data(), buffer.size());
    std::vector<char> large;
    if (length < 0 && errno == ERANGE) {
        const ssize_t needed = getxattr(path, dosAttribName, nullptr, 0);
        if (needed > 0) {
            large.resize(static_cast<std::size_t>(needed));
            length = getxattr(path, dosAttribName, large.data(), large.size());
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
