#pragma once

#include <windows.h>

#include <string>

namespace toolkit::win32 {

// Writes what a window shows, its frame and title bar included, to a 32-bit BMP file, copied
// from the window's device context (the system paints no child into PrintWindow's under Wine).
// Paint the window first. False when the window has no size or the file cannot be written.
bool saveWindowBitmap(HWND window, const std::string& path);

}  // namespace toolkit::win32
