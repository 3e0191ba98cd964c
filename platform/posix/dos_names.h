#pragma once

#include <optional>
#include <string>
#include <string_view>

// How Linux file names, which are any bytes but "/" and NUL, travel in the program's DOS paths,
// which are UTF-8 text with "\" between names.
//
// A name that is valid UTF-8 and holds neither "\" nor a character of U+F000 to U+F0FF is used
// as it is: almost every name. Otherwise each byte that cannot stay as it is becomes the
// character U+F000 plus that byte, from the Private Use Area as in Samba's catia and fruit
// mappings: "\" (0x5C) becomes U+F05C; a byte that is not part of valid UTF-8 (0xFF) becomes
// U+F0FF; and each byte of a character already in U+F000 to U+F0FF is written that way too, so
// that no two names share a DOS name. "a\b" travels as "a" U+F05C "b" (bytes 61 EF 81 9C 62).
//
// The characters that Windows forbids in names (: * ? " < > |) and control characters are kept
// as they are: they are legal in Linux names, users know their files by them, and the program
// hands names only to this backend, where only "\" has a meaning of its own.
namespace platform::posix {

// The DOS name of a Linux name. Never fails.
std::string dosNameOf(std::string_view unixName);

// Text the system hands over as bytes that is no name (a volume label): as dosNameOf, but a "\"
// is kept, since it separates nothing there. Valid UTF-8, whatever the bytes; never fails.
std::string dosTextOf(std::string_view bytes);

// The Linux name a DOS name stands for: exactly the bytes dosNameOf was given. Returns nullopt
// for a name that dosNameOf never gives: one holding "\" or "/", a NUL, bytes that are not
// valid UTF-8, or a U+F0xx character where the byte it stands for needs no escape (which would
// make a second DOS name for a file).
std::optional<std::string> unixNameOf(std::string_view dosName);

}  // namespace platform::posix
