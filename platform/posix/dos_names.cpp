#include "platform/posix/dos_names.h"

#include <cstddef>

namespace platform::posix {

namespace {

// The escape characters U+F000 to U+F0FF are EF 80 80 to EF 83 BF in UTF-8.
constexpr unsigned char escapeLead = 0xEF;
constexpr unsigned char escapeSecondMax = 0x83;

unsigned char at(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

bool isContinuation(std::string_view text, std::size_t i) {
    return i < text.size() && (at(text, i) & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at i (no overlong forms, no surrogates, nothing
// above U+10FFFF), or 0 when the byte there does not start one.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const unsigned char lead = at(text, i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondMin = 0xA0;
        if (lead == 0xED) secondMax = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondMin = 0x90;
        if (lead == 0xF4) secondMax = 0x8F;
    } else {
        return 0;
    }
    if (i + 1 >= text.size() || at(text, i + 1) < secondMin || at(text, i + 1) > secondMax)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (!isContinuation(text, i + k)) return 0;
    }
    return length;
}

bool isEscapeCharacter(std::string_view text, std::size_t i, std::size_t length) {
    return length == 3 && at(text, i) == escapeLead && at(text, i + 1) <= escapeSecondMax;
}

void appendEscape(std::string& out, unsigned char byte) {
    out += static_cast<char>(escapeLead);
    out += static_cast<char>(0x80 | byte >> 6);
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

bool keptAsItIs(std::string_view name) {
    for (const char c : name) {
        if (c == '\\' || static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// bytes with each byte that cannot stay as it is escaped; "\" only when escapeBackslash.
std::string escaped(std::string_view bytes, bool escapeBackslash) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8Length(bytes, i);
        if (length == 0 || (escapeBackslash && bytes[i] == '\\')) {
            appendEscape(out, at(bytes, i));
            ++i;
        } else if (isEscapeCharacter(bytes, i, length)) {
            for (std::size_t k = 0; k < length; ++k) appendEscape(out, at(bytes, i + k));
            i += length;
        } else {
            out.append(bytes, i, length);
            i += length;
        }
    }
    return out;
}

}  // namespace

std::string dosNameOf(std::string_view unixName) {
    if (keptAsItIs(unixName)) return std::string(unixName);
    return escaped(unixName, true);
}

std::string dosTextOf(std::string_view bytes) {
    return escaped(bytes, false);
}

std::optional<std::string> unixNameOf(std::string_view dosName) {
    if (dosName.empty()) return std::nullopt;
    if (keptAsItIs(dosName)) {
        if (dosName.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
            return std::nullopt;
        return std::string(dosName);
    }
    std::string out;
    out.reserve(dosName.size());
    for (std::size_t i = 0; i < dosName.size();) {
        const std::size_t length = utf8Length(dosName, i);
        if (length == 0 || dosName[i] == '\\' || dosName[i] == '/' || dosName[i] == '\0')
            return std::nullopt;
        if (isEscapeCharacter(dosName, i, length)) {
            out +=
                static_cast<char>((at(dosName, i + 1) & 0x03) << 6 | (at(dosName, i + 2) & 0x3F));
        } else {
            out.append(dosName, i, length);
        }
        i += length;
    }
    // An escape of a byte that needs none, or of a "/" or NUL, is not a name dosNameOf gives.
    if (out.find_first_of(std::string_view("/\0", 2)) != std::string::npos ||
        dosNameOf(out) != dosName)
        return std::nullopt;
    return out;
}

}  // namespace platform::posix
