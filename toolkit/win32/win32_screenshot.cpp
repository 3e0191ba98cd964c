#include "toolkit/win32/win32_screenshot.h"

#include <cstdio>
#include <memory>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

WindowPixels copyWindowPixels(HWND window, bool clientAreaOnly) {
    RECT area{};
    if (clientAreaOnly ? !GetClientRect(window, &area) : !GetWindowRect(window, &area)) return {};
    WindowPixels copy{area.right - area.left, area.bottom - area.top, {}};
    if (copy.width <= 0 || copy.height <= 0) return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = copy.width;
    info.bmiHeader.biHeight = -copy.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = clientAreaOnly ? GetDC(window) : GetWindowDC(window);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = bitmap != nullptr && BitBlt(memory, 0, 0, copy.width, copy.height, source,
                                                    0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied) {
        // Blue, green, red and a byte BitBlt leaves at 0: 0xRRGGBB as a 32-bit value.
        const auto* pixel = static_cast<const std::uint32_t*>(bits);
        copy.pixels.assign(pixel, pixel + static_cast<std::size_t>(copy.width) *
                                              static_cast<std::size_t>(copy.height));
        for (std::uint32_t& value : copy.pixels) value &= 0xFFFFFFu;
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    if (bitmap != nullptr) DeleteObject(bitmap);
    ReleaseDC(window, source);
    if (!copied) return {};
    return copy;
}

bool saveWindowBitmap(HWND window, const std::string& path) {
    WindowPixels copy = copyWindowPixels(window, false);
    if (copy.pixels.empty()) return false;
    // Opaque: viewers take an alpha byte of 0 for fully transparent.
    for (std::uint32_t& value : copy.pixels) value |= 0xFF000000u;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = copy.width;
    header.biHeight = -copy.height;  // top-down
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const auto imageSize = static_cast<DWORD>(copy.pixels.size() * sizeof(std::uint32_t));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    const std::unique_ptr<FILE, int (*)(FILE*)> out(_wfopen(toWide(path).c_str(), L"wb"), fclose);
    return out != nullptr && fwrite(&file, sizeof file, 1, out.get()) == 1 &&
           fwrite(&header, sizeof header, 1, out.get()) == 1 &&
           fwrite(copy.pixels.data(), imageSize, 1, out.get()) == 1;
}

}  // namespace toolkit::win32
