#pragma once

#include <string>
#include <string_view>

// How the toolkit shows text that it did not lay out itself (file names, paths, volume labels):
// so that every character of it can be seen and none moves the rest. Display only: what the
// program keeps and hands to the system stays the real text.
namespace toolkit {

// UTF-8 text as it is shown, with each character that would be invisible, break the line or
// reorder what follows replaced by a visible stand-in:
//   - C0 controls U+0000 to U+001F by their control pictures U+2400 to U+241F (a line feed
//     shows as U+240A, a tab as U+2409), DEL by U+2421;
//   - the private-use characters U+F000 to U+F0FF, by which the Linux backend passes the bytes
//     of a name that cannot travel as text (platform/posix/dos_names.h): U+F05C, a "\", by
//     U+29F5 REVERSE SOLIDUS OPERATOR, since a "\" would read as a folder; any other by its
//     byte in two upper-case hex digits between U+2039 and U+203A (byte 0xE9 shows as the
//     three characters E9 in single guillemets). A byte that is not valid UTF-8 shows the same;
//   - C1 controls U+0080 to U+009F, the line and paragraph separators U+2028 and U+2029, and
//     the bidirectional controls U+061C, U+200E, U+200F, U+202A to U+202E and U+2066 to U+2069
//     (which could show "x<U+202E>fdp.exe" as "xexe.pdf"), by "U+" and four hex digits between
//     the same guillemets;
//   - the stand-ins themselves, where the text really holds them (U+2039, U+2400 to U+2421,
//     U+29F5), in that same form, so that no two texts look alike.
// Everything else is kept; text without any of these comes back unchanged. A backend whose
// system code page is not UTF-8 converts to UTF-8 first.
std::string visibleText(std::string_view text);

}  // namespace toolkit
