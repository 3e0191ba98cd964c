#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace toolkit::win32 {

// What a window shows: 0xRRGGBB values, rows from the top.
struct WindowPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Copies what a window shows from its device context (the system paints no child into
// PrintWindow's under Wine): the whole window, frame and title bar included, or its client area
// alone. Paint the window first. Empty when the window has no size.
WindowPixels copyWindowPixels(HWND window, bool clientAreaOnly);

// Writes what a window shows, its frame and title bar included, to a 32-bit BMP file. Paint the
// window first. False when the window has no size or the file cannot be written.
bool saveWindowBitmap(HWND window, const std::string& path);

}  // namespace toolkit::win32
