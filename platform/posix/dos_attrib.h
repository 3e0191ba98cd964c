#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::posix {

// The name of the extended attribute in which Samba and Wine keep a file's DOS attributes.
inline constexpr const char* dosAttribName = "user.DOSATTRIB";

// What a user.DOSATTRIB value holds, with where its attribute word lies, so that the word can be
// rewritten in place.
//
// The value is a hex text of the word ("0x22"; Samba's old form, and Wine's), NUL-terminated or
// not; or that text (empty from version 4 on) with its NUL, followed by Samba's NDR-encoded
// xattr_DOSATTRIB: from the text's start, aligned to 2 bytes, a uint16 version and a uint16 union
// level equal to it; aligned to 4 bytes, the version's structure, little-endian, every field
// aligned to 4 bytes:
//   1: attrib, ea_size, size(8), alloc_size(8), create_time(8), change_time(8)
//   2: flags, attrib, ea_size, size(8), alloc_size(8), create_time(8), change_time(8),
//      write_time(8), a NUL-terminated UTF-8 name
//   3: valid_flags, attrib, ea_size, size(8), alloc_size(8), create_time(8), change_time(8)
//   4: valid_flags, attrib, itime(8), create_time(8)
//   5: valid_flags, attrib, create_time(8)
// Bytes after the structure are allowed (writers pad to 4 bytes).
struct DosAttrib {
    // Samba's own version number for the text form alone.
    static constexpr std::uint16_t textOnly = 0xFFFF;
    // In valid_flags (versions 3 to 5): the attribute word is valid.
    static constexpr std::uint32_t attribValid = 0x1;

    std::uint16_t version = textOnly;
    std::uint32_t validFlags = 0;  // versions 3 to 5; 0 for the others
    // The attribute word as stored. For versions 3 to 5 it counts only with attribValid set.
    std::uint32_t attrib = 0;
    std::size_t textLength = 0;  // bytes of the leading hex text, without its NUL
    // Where the word lies: for the text form, the text (at 0, textLength bytes); for the binary
    // forms, the 4 little-endian bytes at attribOffset.
    std::size_t attribOffset = 0;

    // The attribute word when the value vouches for it.
    std::optional<std::uint32_t> attributes() const;
};

// Reads a user.DOSATTRIB value, given as its bytes. When binary data follows the text's NUL,
// that data alone decides (Samba writes the text only for older readers and ignores it when
// reading); the text must then still end in a NUL but its content is not checked. The text form
// is "0x" and 1 to 8 hex digits, optionally followed by a NUL, and nothing else.
// Returns nullopt for anything else: empty, cut short, an unknown version, a union level that
// differs from the version, a text that is not hex. Never reads outside `value`.
std::optional<DosAttrib> parseDosAttrib(std::string_view value);

// The text form of an attribute word as Wine and Samba's first versions write it: "0x" and the
// word in lowercase hex without leading zeros ("0x22", "0x0"), with no NUL after it.
std::string dosAttribText(std::uint32_t attributes);

// value, which parseDosAttrib read as `parsed`, holding the word `attributes` instead.
// A text form becomes dosAttribText(attributes). A binary form keeps its version and every field
// byte for byte but the word, which is written over the 4 bytes at attribOffset; for versions 3
// to 5, attribValid is added to valid_flags, so that readers take the word. A leading text that
// is not empty (versions 1 to 3) is rewritten to show the new word too, since Wine reads that
// text and nothing else; when the text's length changes, the structure moves with it to the
// offsets NDR's alignments give, unchanged inside.
std::string withDosAttributes(std::string_view value, const DosAttrib& parsed,
                              std::uint32_t attributes);

}  // namespace platform::posix
