#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Little-endian fields and padding, so that tests spell binary values (Samba's user.DOSATTRIB)
// byte by byte.
namespace little_endian {

inline std::string le16(std::uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
inline std::string le32(std::uint32_t v) {
    return le16(static_cast<std::uint16_t>(v & 0xFFFF)) + le16(static_cast<std::uint16_t>(v >> 16));
}
inline std::string le64(std::uint64_t v) {
    return le32(static_cast<std::uint32_t>(v)) + le32(static_cast<std::uint32_t>(v >> 32));
}
inline std::string pad(std::size_t count) {
    return std::string(count, '\0');
}
inline const std::string nul(1, '\0');

}  // namespace little_endian
