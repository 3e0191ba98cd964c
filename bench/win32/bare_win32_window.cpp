// The floor for startup_bench: the main window's controls made with bare user32 calls, at their
// pixel places at 96 DPI, with the same fonts and drive pictures and no query of any drive;
// shown, painted, and the performance counter reported.
#include <windows.h>

#include <initializer_list>

#include "bench/win32/report_clock.h"

namespace {

HWND child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int x, int y,
           int width, int height, HFONT font) {
    HWND window = CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                  height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

HFONT font(const wchar_t* face, int height) {
    return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

int main() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer{0, 0, 320, 353};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    HWND window = CreateWindowExW(0, L"BareWindow", L"Volscope", style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);

    HFONT dialog = font(L"MS Sans Serif", 11);
    HFONT arrows = font(L"Microsoft Sans Serif", 24);
    HFONT letter = font(L"Times New Roman", 29);
    HWND icon = child(window, L"STATIC", nullptr, SS_ICON, 128, 8, 57, 57, dialog);
    SendMessageW(icon, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadImageW(GetModuleHandleW(nullptr), L"drive_fixed.ico",
                                                     IMAGE_ICON, 48, 48, 0)),
                 0);
    child(window, L"BUTTON", L"<", BS_PUSHBUTTON, 96, 64, 33, 33, arrows);
    child(window, L"STATIC", L"C", SS_CENTER, 128, 64, 57, 33, letter);
    child(window, L"BUTTON", L">", BS_PUSHBUTTON, 184, 64, 33, 33, arrows);
    int top = 112;
    for (const wchar_t* caption :
         {L"Volume Name:", L"Volume Serial Number:", L"Maximum Filename Length:", L"File System:",
          L"Disk Space Usage:", L"Used / Total:", L"Total Number of Clusters:",
          L"Number of Sectors per Cluster:", L"Number of Bytes per Sector:"}) {
        child(window, L"STATIC", caption, SS_LEFT | SS_NOPREFIX, 8, top, 305, 17, dialog);
        top += 20;
    }
    HWND bar = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE, 8, 208,
                               305, 25, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    child(bar, L"STATIC", nullptr, SS_BLACKRECT, 0, 0, 121, 25, dialog);
    child(window, L"BUTTON", L"Browse...", BS_PUSHBUTTON | WS_TABSTOP, 8, 320, 81, 25, dialog);
    child(window, L"BUTTON", L"Close", BS_PUSHBUTTON | WS_TABSTOP, 232, 320, 81, 25, dialog);
    for (const wchar_t* picture : {L"drive_none.ico", L"drive_fixed.ico", L"drive_removable.ico",
                                   L"drive_network.ico", L"drive_cd.ico"}) {
        LoadImageW(GetModuleHandleW(nullptr), picture, IMAGE_ICON, 48, 48, 0);
    }

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    reportClock();
    return 0;
}
