#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace platform {

// The index (0 for A) of the drive whose root is rootPathName: exactly a letter of either case,
// a colon and a backslash ("C:\", "c:\"). Returns nullopt for anything else, null included; the
// backends answer such a path as a letter without a volume.
inline std::optional<std::size_t> driveIndex(const char* rootPathName) {
    if (rootPathName == nullptr) return std::nullopt;
    const std::string_view root(rootPathName);
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') return std::nullopt;
    if (root[0] >= 'A' && root[0] <= 'Z') return static_cast<std::size_t>(root[0] - 'A');
    if (root[0] >= 'a' && root[0] <= 'z') return static_cast<std::size_t>(root[0] - 'a');
    return std::nullopt;
}

}  // namespace platform
