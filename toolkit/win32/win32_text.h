#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The program's text is UTF-8; the system's wide functions take UTF-16. Going through the wide
// functions keeps every caption and name whole whatever the process's code page is.
namespace toolkit::win32 {

// UTF-16 of UTF-8 text; a byte that is not valid UTF-8 becomes U+FFFD.
std::wstring toWide(std::string_view utf8);
// UTF-8 of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view wide);
// A window's text (a control's caption, a form's title) as UTF-8; empty for no window.
std::string windowText(HWND window);

}  // namespace toolkit::win32
