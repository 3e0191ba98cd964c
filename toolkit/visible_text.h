#pragma once

#include <string>
#include <string_view>

// How the toolkit shows text that it did not lay out itself (file names, paths, volume labels):
// so that every character of it can be seen and none moves the rest. Display only: what the
// program keeps and hands to the system stays the real text.
namespace toolkit {

// UTF-8 text as it is shown, with each character that would be invisible, break the line or
// reorder what follows replaced by a visible stand-in between U+2039 and U+203A (single
// guillemets, written < > here):
//   - C0 controls and DEL by their ASCII abbreviations: a line feed shows as <LF>, a tab as
//     <HT>, then <NUL>, <CR>, <ESC>, <DEL> and so on;
//   - the private-use characters U+F000 to U+F0FF, by which the Linux backend passes the bytes
//     of a name that cannot travel as text (platform/posix/dos_names.h), by the byte in hex:
//     <0xE9> for a Latin-1 "e acute"; a byte that is not valid UTF-8 shows the same. Only U+F05C,
//     a "\", shows as U+2216 SET MINUS, which looks like one but reads as no folder separator;
//   - C1 controls U+0080 to U+009F, the line and paragraph separators U+2028 and U+2029, and
//     the bidirectional controls U+061C, U+200E, U+200F, U+202A to U+202E and U+2066 to U+2069
//     (which could show "x<U+202E>fdp.exe" as "xexe.pdf"), by their number: <U+202E>;
//   - the stand-ins' own characters, where the text really holds them (U+2039, U+2216), by
//     their number too, so that no two texts look alike.
// Everything else is kept; text without any of these comes back unchanged. The stand-ins are
// letters, digits and three symbols that DejaVu Sans and Windows' own fonts draw, unlike the
// Control Pictures (U+2400), which the usual Linux fonts lack and show as empty boxes. A
// backend whose system code page is not UTF-8 converts to UTF-8 first.
std::string visibleText(std::string_view text);

}  // namespace toolkit
