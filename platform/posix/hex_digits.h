#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Hexadecimal digits as the system writes them in texts it keeps: user.DOSATTRIB's word, the
// UUIDs of file systems, udev's \x escapes.
namespace platform::posix {

// The value of one hexadecimal digit, in either case; nullopt for any other character.
inline std::optional<std::uint32_t> hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
    return std::nullopt;
}

// The value of 1 to 8 hexadecimal digits and nothing else ("1A2b"); nullopt for no digits, more
// than 8, or any other character.
inline std::optional<std::uint32_t> hexValue(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        const std::optional<std::uint32_t> digit = hexDigitValue(c);
        if (!digit) return std::nullopt;
        value = value << 4 | *digit;
    }
    return value;
}

}  // namespace platform::posix
