// Test main for tests that drive real Win32 windows (under Wine, with its null display driver,
// or on Windows). A real message box would wait for a user who is not there: one that opens is
// closed at once and fails the test that opened it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string_view>

namespace {

LRESULT CALLBACK closeStrayMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        auto* window = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring_view(name) == L"#32770") {
            ADD_FAILURE() << "a real message box was shown";
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    // A crash fails the test instead of waiting behind the system's error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetWindowsHookExW(WH_CBT, closeStrayMessageBoxes, nullptr, GetCurrentThreadId());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
