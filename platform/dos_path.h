#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// DOS paths as the backends that resolve them themselves (Linux, the tests' fake) take them
// apart: "X:\name\name", resolved by the same rules as Windows.
namespace platform {

// Whether c separates the names of a DOS path: "\", and "/" which Windows takes alike.
inline bool isPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// The index (0 for A) of a drive letter of either case; nullopt for any other character.
inline std::optional<std::size_t> letterIndex(char letter) {
    if (letter >= 'A' && letter <= 'Z') return static_cast<std::size_t>(letter - 'A');
    if (letter >= 'a' && letter <= 'z') return static_cast<std::size_t>(letter - 'a');
    return std::nullopt;
}

// The index of the drive whose root is rootPathName: exactly a letter of either case, a colon
// and a backslash ("C:\", "c:\"). Returns nullopt for anything else, null included; the
// backends answer such a path as a letter without a volume.
inline std::optional<std::size_t> driveIndex(const char* rootPathName) {
    if (rootPathName == nullptr) return std::nullopt;
    const std::string_view root(rootPathName);
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') return std::nullopt;
    return letterIndex(root[0]);
}

// A DOS path taken apart: its drive and the names below the drive's root, in order.
struct DosPath {
    std::size_t drive = 0;                // 0 for A
    std::vector<std::string_view> names;  // views into the path that was split; none: the root
};

// Splits "X:\name\name" (X of either case; "/" as "\") and resolves it as Windows does: empty
// names and "." are skipped, ".." drops the name before it. The names are not checked further.
// Returns nullopt when the path does not start with a letter, ":" and a separator, and when ".."
// would climb above the drive's root.
std::optional<DosPath> splitDosPath(std::string_view path);

// What FindFirstFileA's fileName asks for.
struct FindTarget {
    enum class Kind {
        folder,       // the folder's entries: the last name is "*" or "*.*"
        oneEntry,     // that one file or folder: the last name has no wildcard
        unsupported,  // another pattern, an empty last name or no separator at all
    };
    Kind kind = Kind::unsupported;
    // folder: the folder's path with its separator ("D:\Photos\"); oneEntry: all of fileName.
    std::string_view path;
};

// Classifies fileName by its last name, the text after its last separator; path views into it.
FindTarget findTargetOf(std::string_view fileName);

}  // namespace platform
