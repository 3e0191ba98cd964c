#include "platform/posix/ntfs_attribute_store.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>

#include "platform/posix/entry_reader.h"
#include "platform/posix/last_error.h"

namespace platform::posix {

namespace {

constexpr const char* bigEndianName = "system.ntfs_attrib_be";
constexpr const char* nativeName = "system.ntfs_attrib";
constexpr const char* dosNameName = "system.ntfs_dos_name";

// NTFS's word, and whether it was read (and so is written) as system.ntfs_attrib_be.
struct NtfsWord {
    std::uint32_t word = 0;
    bool bigEndian = true;
};

std::uint32_t fromBigEndian(const std::array<unsigned char, 4>& bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

std::array<unsigned char, 4> toBigEndian(std::uint32_t word) {
    return {static_cast<unsigned char>(word >> 24), static_cast<unsigned char>(word >> 16),
            static_cast<unsigned char>(word >> 8), static_cast<unsigned char>(word)};
}

// A value of another size is none that NTFS gives: it counts as missing (ENODATA).
bool readValue(const char* path, const char* name, void* value) {
    const ssize_t length = getxattr(path, name, value, 4);
    if (length >= 0 && length != 4) errno = ENODATA;
    return length == 4;
}

// nullopt, with errno saying why, when neither value can be read.
std::optional<NtfsWord> readWord(const char* path) {
    std::array<unsigned char, 4> bytes{};
    if (readValue(path, bigEndianName, bytes.data())) return NtfsWord{fromBigEndian(bytes), true};
    if (errno != ENODATA && errno != ENOTSUP) return std::nullopt;
    std::uint32_t native = 0;
    if (readValue(path, nativeName, &native)) return NtfsWord{native, false};
    return std::nullopt;
}

bool writeWord(const char* path, const NtfsWord& word) {
    if (!word.bigEndian) return setxattr(path, nativeName, &word.word, 4, 0) == 0;
    const std::array<unsigned char, 4> bytes = toBigEndian(word.word);
    return setxattr(path, bigEndianName, bytes.data(), bytes.size(), 0) == 0;
}

}  // namespace

std::uint32_t NtfsAttributeStore::read(const StoredEntry& entry) {
    const std::optional<NtfsWord> kept = readWord(entry.path);
    if (!kept)
        return attributesOf({entry.name, entry.isDirectory, (entry.mode & S_IWUSR) != 0, {}});
    const std::uint32_t word =
        (kept->word & dosAttributeBits) | (entry.isDirectory ? file_attribute::directory : 0);
    return word == 0 ? file_attribute::normal : word;
}

std::uint32_t NtfsAttributeStore::write(const StoredEntry& entry, std::uint32_t attributes,
                                        const std::stop_token& givenUp) {
    std::optional<NtfsWord> kept = readWord(entry.path);
    if (!kept)
        return errno == ENODATA || errno == ENOTSUP ? error_code::notSupported : errorCodeOf(errno);
    const std::uint32_t wanted = withDosBits(kept->word, attributes);
    if (wanted == kept->word) return error_code::success;
    if (givenUp.stop_requested()) return error_code::notReady;
    kept->word = wanted;
    return writeWord(entry.path, *kept) ? error_code::success : errorCodeOf(errno);
}

std::optional<std::string> NtfsAttributeStore::shortName(const std::string& folderPath,
                                                         const std::string& name) {
    const std::string path = folderPath + (folderPath.ends_with('/') ? "" : "/") + name;
    // An 8.3 name is at most 12 bytes; the room is for drivers that give it otherwise.
    std::array<char, 64> buffer{};
    const ssize_t length = getxattr(path.c_str(), dosNameName, buffer.data(), buffer.size());
    if (length <= 0) return std::nullopt;
    std::string shortName(buffer.data(), static_cast<std::size_t>(length));
    if (const std::size_t nul = shortName.find('\0'); nul != std::string::npos)
        shortName.resize(nul);
    if (shortName.empty() || shortName == name) return std::nullopt;
    return shortName;
}

}  // namespace platform::posix
