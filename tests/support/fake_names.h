#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// What both halves of the fake platform (fake_platform.cpp, fake_platform_files.cpp) share: how
// it compares names and how its log shows the arguments.
namespace fake::names {

inline char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names match whatever their case, as on NTFS and FAT.
inline bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upper(x) == upper(y); });
}

// A path argument as the log shows it.
inline std::string_view shown(const char* path) {
    return path != nullptr ? path : "null";
}

// A listing's or file's handle as the log shows it.
template <typename Handle>
requires std::is_enum_v<Handle> std::string shown(Handle handle) {
    return "#" + std::to_string(static_cast<std::uintptr_t>(handle));
}

}  // namespace fake::names
