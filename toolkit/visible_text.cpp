#include "toolkit/visible_text.h"

#include <algorithm>
#include <cstdint>

namespace toolkit {

namespace {

constexpr char32_t setMinus = 0x2216;
constexpr char32_t openGuillemet = 0x2039;
constexpr char32_t closeGuillemet = 0x203A;
constexpr char32_t escapedBytes = 0xF000;

unsigned char at(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// The well-formed UTF-8 character at i: no overlong forms, no surrogates, nothing above
// U+10FFFF. length 0 when the byte there starts none.
struct Character {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

Character decode(std::string_view text, std::size_t i) {
    const unsigned char lead = at(text, i);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) secondMin = 0xA0;
        if (lead == 0xED) secondMax = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0) secondMin = 0x90;
        if (lead == 0xF4) secondMax = 0x8F;
    } else {
        return {};
    }
    if (i + length > text.size() || at(text, i + 1) < secondMin || at(text, i + 1) > secondMax)
        return {};
    for (std::size_t k = 1; k < length; ++k) {
        if ((at(text, i + k) & 0xC0) != 0x80) return {};
        codePoint = codePoint << 6 | (at(text, i + k) & 0x3F);
    }
    return {codePoint, length};
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The ASCII abbreviations of the C0 controls, and of DEL after them.
constexpr const char* controlNames[] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "DEL"};

void appendStandIn(std::string& out, std::string_view name) {
    appendUtf8(out, openGuillemet);
    out += name;
    appendUtf8(out, closeGuillemet);
}

// value in `digits` upper-case hex digits, after prefix, as a stand-in.
void appendNumber(std::string& out, std::string_view prefix, std::uint32_t value, int digits) {
    std::string number(prefix);
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        number += "0123456789ABCDEF"[value >> shift & 0xF];
    appendStandIn(out, number);
}

// Characters that would break the line, reorder the text, or be mistaken for a stand-in.
bool shownByNumber(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x061C || c == 0x200E ||
           c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == openGuillemet || c == setMinus;
}

bool isPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace

std::string visibleText(std::string_view text) {
    if (isPlainAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const Character character = decode(text, i);
        if (character.length == 0) {
            appendNumber(out, "0x", at(text, i), 2);
            ++i;
            continue;
        }
        const char32_t c = character.codePoint;
        if (c < 0x20)
            appendStandIn(out, controlNames[c]);
        else if (c == 0x7F)
            appendStandIn(out, controlNames[0x20]);
        else if (c == escapedBytes + '\\')
            appendUtf8(out, setMinus);
        else if (c >= escapedBytes && c <= escapedBytes + 0xFF)
            appendNumber(out, "0x", c - escapedBytes, 2);
        else if (shownByNumber(c))
            appendNumber(out, "U+", c, 4);
        else
            out.append(text, i, character.length);
        i += character.length;
    }
    return out;
}

}  // namespace toolkit
