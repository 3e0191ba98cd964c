// volscope.exe end to end, from a separate process as a user (or a screen reader) meets it: the
// program is started, its window found by its caption, its labels read from the windows
// themselves, keys and a click posted to it; on the drives that tests/wine/run_wine_tests.sh
// builds in the Wine prefix. VOLSCOPE_EXE names the program (a Unix path under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/wine_drives.h"
#include "tests/win32/dead_drive.h"

namespace {

using namespace std::chrono_literals;

struct Child {
    HWND window;
    std::string className;
    std::string text;
};

std::vector<Child> childrenOf(HWND window) {
    std::vector<Child> children;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) -> BOOL {
            char className[64] = {};
            char text[512] = {};
            GetClassNameA(child, className, sizeof className);
            GetWindowTextA(child, text, sizeof text);
            reinterpret_cast<std::vector<Child>*>(list)->push_back({child, className, text});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// Waits up to ten seconds for a condition, looking every 20 ms.
bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class VolscopeEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::optional<wine_drives::Drives> prepared = wine_drives::prepared();
        const char* exe = std::getenv("VOLSCOPE_EXE");
        if (!prepared || exe == nullptr)
            GTEST_SKIP() << "needs the drives and VOLSCOPE_EXE of tests/wine/run_wine_tests.sh";
        drives = *prepared;
        // Wine shows the Unix root as drive Z:.
        std::string path = exe;
        if (!path.empty() && path[0] == '/') {
            for (char& c : path) c = c == '/' ? '\\' : c;
            path = "Z:" + path;
        }
        ASSERT_EQ(FindWindowA("VolscopeForm", "Volscope"), nullptr) << "a Volscope already runs";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + path + "\"";
        ASSERT_TRUE(CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &process))
            << "cannot start " << path << ": error " << GetLastError();
        ASSERT_TRUE(eventually([&] {
            window = FindWindowA("VolscopeForm", "Volscope");
            return window != nullptr && IsWindowVisible(window);
        })) << "no window captioned Volscope";
    }

    void TearDown() override {
        if (process.hProcess == nullptr) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // The label showing the drive letter: the only one whose text is one letter, or empty
    // while the icon slides.
    std::string letter() {
        for (const Child& child : childrenOf(window)) {
            if (child.className == "Static" && child.text.size() == 1) return child.text;
        }
        return {};
    }

    // The text of the label starting with `prefix`; empty when there is none.
    std::string labelStarting(const std::string& prefix) {
        for (const Child& child : childrenOf(window)) {
            if (child.className == "Static" && child.text.rfind(prefix, 0) == 0) return child.text;
        }
        return {};
    }

    HWND button(const std::string& caption) {
        for (const Child& child : childrenOf(window)) {
            if (child.className == "Button" && child.text == caption) return child.window;
        }
        return nullptr;
    }

    // A key pressed where the program's keyboard focus is.
    void pressKey(WPARAM key) {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        HWND target = window;
        if (GetGUIThreadInfo(process.dwThreadId, &thread) && thread.hwndFocus != nullptr)
            target = thread.hwndFocus;
        const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), 0))
                                << 16;
        PostMessageA(target, WM_KEYDOWN, key, 1 | scanCode);
        PostMessageA(target, WM_KEYUP, key, 1 | scanCode | (LPARAM{3} << 30));
    }

    bool showsDrive(char drive) {
        return eventually([&] { return letter() == std::string(1, drive); });
    }

    // Whether the label starting with `prefix` comes to read `text`; says what it read if not.
    ::testing::AssertionResult shows(const std::string& prefix, const std::string& text) {
        if (eventually([&] { return labelStarting(prefix) == text; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "shows \"" << labelStarting(prefix) << "\"";
    }

    // Clicks the button with that caption, at its middle.
    void click(const std::string& caption) {
        HWND target = button(caption);
        ASSERT_NE(target, nullptr) << "no button " << caption;
        RECT client{};
        GetClientRect(target, &client);
        const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
        PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        PostMessageA(target, WM_LBUTTONUP, 0, middle);
    }

    wine_drives::Drives drives;
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

TEST_F(VolscopeEndToEnd, StartsOnDriveCWithItsDetailsInTheLabels) {
    EXPECT_EQ(letter(), "C");
    EXPECT_NE(labelStarting("Volume Name:"), "");
    EXPECT_NE(labelStarting("File System: "), "");
    EXPECT_NE(labelStarting("Used / Total: "), "");
    EXPECT_NE(button("Browse..."), nullptr);
}

TEST_F(VolscopeEndToEnd, TypedLettersAndArrowKeysMoveTheLetterAndItsDetails) {
    pressKey(static_cast<WPARAM>(drives.fixed));
    ASSERT_TRUE(showsDrive(drives.fixed)) << "typing the letter; shows " << letter();
    // The query trims the label's blanks. The letter is shown before the details are read.
    const std::string label = drives.label.substr(drives.label.find_first_not_of(' '));
    EXPECT_TRUE(shows("Volume Name:", "Volume Name: " + label));
    EXPECT_TRUE(shows("Volume Serial Number:", "Volume Serial Number: 1A2B-3C4D"));

    pressKey(VK_RIGHT);
    ASSERT_TRUE(showsDrive(drives.cdrom)) << "the right arrow; shows " << letter();
    EXPECT_TRUE(shows("Volume Name:", "Volume Name: " + drives.cdromLabel));

    pressKey(VK_LEFT);
    ASSERT_TRUE(showsDrive(drives.fixed)) << "the left arrow; shows " << letter();
}

TEST_F(VolscopeEndToEnd, CloseEndsTheProgram) {
    click("Close");
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

std::string readWhole(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (data.cFileName[0] >= '0' && data.cFileName[0] <= '9') names.push_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

// Whether the kernel shows a thread of the running volscope.exe waiting for a FUSE file system's
// answer, as seen through Wine's drive Z: (the Unix root).
bool volscopeWaitsForFuse() {
    for (const std::string& process : namesIn("Z:\\proc")) {
        const std::string folder = "Z:\\proc\\" + process;
        if (readWhole(folder + "\\cmdline").find("volscope.exe") == std::string::npos) continue;
        for (const std::string& thread : namesIn(folder + "\\task")) {
            const std::string stack = readWhole(folder + "\\task\\" + thread + "\\stack");
            if (stack.find("request_wait_answer") != std::string::npos) return true;
        }
    }
    return false;
}

// On the drive that tests/wine/dead_drive.sh maps onto a share that stops answering on demand.
class VolscopeOnADeadDrive : public VolscopeEndToEnd {
  protected:
    void SetUp() override {
        deadDrive = dead_drive::prepared();
        if (!deadDrive) GTEST_SKIP() << "no silent drive: run under tests/wine/dead_drive.sh";
        deadDrive->unblock();
        VolscopeEndToEnd::SetUp();
    }

    void TearDown() override {
        if (deadDrive) deadDrive->unblock();
        VolscopeEndToEnd::TearDown();
    }

    std::optional<dead_drive::DeadDrive> deadDrive;
};

// The share's server goes away; the user types the drive's letter, clicks "<", and clicks
// "Close" while a call of the program is still stuck on the share.
TEST_F(VolscopeOnADeadDrive, ShowsTheLetterWithinTheWaitAndCloseEndsTheProgramWhileACallIsStuck) {
    const auto millisecondsSince = [start = std::chrono::steady_clock::now()] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    };
    const char drive = deadDrive->letter;
    ASSERT_TRUE(deadDrive->block());
    pressKey(static_cast<WPARAM>(drive));
    ASSERT_TRUE(showsDrive(drive)) << "typing " << drive << "; shows " << letter();
    const auto stepped = millisecondsSince();
    ASSERT_TRUE(eventually(volscopeWaitsForFuse)) << "a call of the program waits for the share";

    click("<");
    ASSERT_TRUE(showsDrive(static_cast<char>(drive - 1))) << "clicking <; shows " << letter();

    ASSERT_TRUE(volscopeWaitsForFuse()) << "the share still has not answered";
    const auto clicked = millisecondsSince();
    click("Close");
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0)
        << "Close ends the program while its call waits for the share";
    std::cout << "The step onto the silent drive took " << stepped
              << " ms; Close ended the program " << millisecondsSince() - clicked
              << " ms after the click, a call still stuck.\n";
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
