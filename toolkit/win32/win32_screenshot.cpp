#include "toolkit/win32/win32_screenshot.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

bool saveWindowBitmap(HWND window, const std::string& path) {
    RECT outer{};
    if (!GetWindowRect(window, &outer)) return false;
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HDC source = GetWindowDC(window);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied =
        bitmap != nullptr && BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    // BitBlt leaves the alpha bytes at 0, which viewers take for fully transparent.
    if (copied) {
        auto* pixel = static_cast<std::uint8_t*>(pixels);
        for (int i = 0; i < width * height; ++i) pixel[i * 4 + 3] = 0xFF;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, source);

    bool written = false;
    if (copied) {
        const auto imageSize = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        const std::unique_ptr<FILE, int (*)(FILE*)> out(_wfopen(toWide(path).c_str(), L"wb"),
                                                        fclose);
        written = out != nullptr && fwrite(&file, sizeof file, 1, out.get()) == 1 &&
                  fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out.get()) == 1 &&
                  fwrite(pixels, imageSize, 1, out.get()) == 1;
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    return written;
}

}  // namespace toolkit::win32
