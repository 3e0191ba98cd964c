// The Win32 backend of the window tests: input posted to the windows' message queue and taken
// through the toolkit's own event loop, as the system delivers real mouse and keyboard input
// (so key preview, the dialog manager's Tab and the controls' own handling all take part);
// texts and places read back from the native windows.
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "tests/support/hooked_toolkit.h"
#include "tests/support/ui_driver.h"
#include "toolkit/win32/win32_form.h"
// After win32_form.h, which brings <windows.h>.
#include <dbt.h>

#include "toolkit/win32/win32_screenshot.h"
#include "toolkit/win32/win32_text.h"
#include "toolkit/win32/win32_toolkit.h"

namespace fake {

namespace {

using toolkit::win32::Win32Form;

Win32Form& formOf(toolkit::Form& form) {
    auto* win32Form = dynamic_cast<Win32Form*>(&realForm(form));
    if (win32Form == nullptr) throw std::invalid_argument("not a form of the Win32 toolkit");
    return *win32Form;
}

LPARAM pointAt(POINT at) {
    return MAKELPARAM(at.x, at.y);
}

// The lParam of a key message: one press, the key's scan code, and for a release the previous
// state and the transition bits.
LPARAM keyData(std::int16_t keyCode, bool release) {
    const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(keyCode), MAPVK_VK_TO_VSC);
    LPARAM data = 1 | static_cast<LPARAM>(scanCode << 16);
    if (release) data |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    return data;
}

bool isCheckBox(HWND window) {
    const auto type = static_cast<UINT>(GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK);
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}

class Win32UiDriver final : public UiDriver {
  public:
    explicit Win32UiDriver(toolkit::win32::Win32Toolkit& toolkit) : toolkit_(toolkit) {}

    void activate(toolkit::Form& form) override {
        HWND window = formOf(form).window();
        SetForegroundWindow(window);
        SetActiveWindow(window);
        pump();
    }

    void click(toolkit::Form& form, std::string_view control) override {
        HWND window = formOf(form).controlWindow(control);
        RECT client{};
        GetClientRect(window, &client);
        // A check box takes clicks on its box and caption; its middle may be past the caption.
        const POINT at{isCheckBox(window) ? 6 : client.right / 2, client.bottom / 2};
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, pointAt(at));
        PostMessageW(window, WM_LBUTTONUP, 0, pointAt(at));
        pump();
    }

    void pressKey(toolkit::Form& form, std::int16_t keyCode, std::int16_t shift) override {
        // A shifted key is two keys, as the keyboard sends them: Shift first, held meanwhile.
        const bool shifted = (shift & toolkit::shift_state::shift) != 0;
        const bool ctrl = (shift & toolkit::shift_state::ctrl) != 0;
        BYTE state[256] = {};
        GetKeyboardState(state);
        const BYTE before[2] = {state[VK_SHIFT], state[VK_CONTROL]};
        if (shifted) state[VK_SHIFT] |= 0x80;
        if (ctrl) state[VK_CONTROL] |= 0x80;
        SetKeyboardState(state);
        if (shifted) keyDown(form, VK_SHIFT);
        if (ctrl) keyDown(form, VK_CONTROL);
        keyDown(form, keyCode);
        keyUp(form, keyCode);
        state[VK_SHIFT] = before[0];
        state[VK_CONTROL] = before[1];
        SetKeyboardState(state);
        if (ctrl) keyUp(form, VK_CONTROL);
        if (shifted) keyUp(form, VK_SHIFT);
    }

    void postKey(toolkit::Form& form, std::int16_t keyCode) override {
        HWND target = keyTarget(form);
        PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(keyCode), keyData(keyCode, false));
        PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(keyCode), keyData(keyCode, true));
    }

    void clickRow(toolkit::Form& form, std::string_view list, std::int32_t row) override {
        HWND window = formOf(form).controlWindow(list);
        const POINT at = rowCentre(window, row);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, pointAt(at));
        PostMessageW(window, WM_LBUTTONUP, 0, pointAt(at));
        pump();
    }

    void doubleClickRow(toolkit::Form& form, std::string_view list, std::int32_t row) override {
        HWND window = formOf(form).controlWindow(list);
        const POINT at = rowCentre(window, row);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, pointAt(at));
        PostMessageW(window, WM_LBUTTONUP, 0, pointAt(at));
        PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, pointAt(at));
        PostMessageW(window, WM_LBUTTONUP, 0, pointAt(at));
        pump();
    }

    bool announceVolumeChange(toolkit::Form& form) override {
        DEV_BROADCAST_VOLUME volume{};
        volume.dbcv_size = sizeof volume;
        volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
        volume.dbcv_unitmask = 1U << ('M' - 'A');
        SendMessageW(formOf(form).window(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                     reinterpret_cast<LPARAM>(&volume));
        return true;
    }

    void requestClose(toolkit::Form& form) override {
        PostMessageW(formOf(form).window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        pump();
    }

    void minimize(toolkit::Form& form) override {
        ShowWindow(formOf(form).window(), SW_MINIMIZE);
        pump();
    }

    void restore(toolkit::Form& form) override {
        ShowWindow(formOf(form).window(), SW_RESTORE);
        pump();
    }

    std::string focusedControl(toolkit::Form& form) override {
        Win32Form& win32Form = formOf(form);
        HWND focused = GetFocus();
        if (focused == nullptr || focused == win32Form.window()) return {};
        return win32Form.controlNameOf(focused);
    }

    bool visible(toolkit::Form& form, std::string_view control) override {
        return IsWindowVisible(formOf(form).controlWindow(control)) != FALSE;
    }

    bool hasDrawing(toolkit::Form& form, std::string_view pictureBox) override {
        // The box shows the bitmap behind its device context, which cls() fills with the
        // background alone.
        HWND window = formOf(form).controlWindow(pictureBox);
        const auto memory =
            reinterpret_cast<HDC>(realForm(form).pictureBox(pictureBox).hDC().nativeHandle());
        RECT inside{};
        GetClientRect(window, &inside);
        const std::vector<COLORREF> pixels = pixelsOf(memory, inside.right, inside.bottom);
        return std::any_of(pixels.begin(), pixels.end(),
                           [&](COLORREF pixel) { return pixel != pixels.front(); });
    }

    std::string text(toolkit::Form& form, std::string_view control) override {
        return toolkit::win32::windowText(formOf(form).controlWindow(control));
    }

    std::vector<std::string> rows(toolkit::Form& form, std::string_view list) override {
        HWND window = formOf(form).controlWindow(list);
        const auto count = SendMessageW(window, LB_GETCOUNT, 0, 0);
        std::vector<std::string> lines;
        for (LRESULT row = 0; row < count; ++row) {
            const auto length = SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
            std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
            SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(line.data()));
            line.resize(static_cast<std::size_t>(length));
            lines.push_back(toolkit::win32::toUtf8(line));
        }
        return lines;
    }

    PixelRect geometry(toolkit::Form& form, std::string_view control) override {
        Win32Form& win32Form = formOf(form);
        HWND window = win32Form.controlWindow(control);
        HWND container = win32Form.containerWindow(control);
        RECT outer{};
        GetWindowRect(window, &outer);
        // From the form's client area, or from the outer corner of a frame or picture box.
        POINT origin{0, 0};
        if (container == win32Form.window()) {
            ClientToScreen(container, &origin);
        } else {
            RECT box{};
            GetWindowRect(container, &box);
            origin = {box.left, box.top};
        }
        return {outer.left - origin.x, outer.top - origin.y, outer.right - outer.left,
                outer.bottom - outer.top};
    }

    PixelRect clientArea(toolkit::Form& form) override {
        RECT client{};
        GetClientRect(formOf(form).window(), &client);
        return {0, 0, client.right, client.bottom};
    }

    std::vector<std::uint32_t> clientPixels(toolkit::Form& form) override {
        HWND window = formOf(form).window();
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        pump();
        return toolkit::win32::copyWindowPixels(window, true).pixels;
    }

    bool minimizable(toolkit::Form& form) override {
        return (GetWindowLongPtrW(formOf(form).window(), GWL_STYLE) & WS_MINIMIZEBOX) != 0;
    }

    bool maximizable(toolkit::Form& form) override {
        return (GetWindowLongPtrW(formOf(form).window(), GWL_STYLE) & WS_MAXIMIZEBOX) != 0;
    }

    bool resizable(toolkit::Form& form) override {
        return (GetWindowLongPtrW(formOf(form).window(), GWL_STYLE) & WS_THICKFRAME) != 0;
    }

    int dpi() override { return toolkit_.dpi(); }

  private:
    void pump() { toolkit_.doEvents(); }

    // The pixels of a width × height area of a device context, row by row; none when it cannot
    // be read.
    static std::vector<COLORREF> pixelsOf(HDC source, int width, int height) {
        if (width <= 0 || height <= 0) return {};
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP copy = CreateDIBSection(source, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (copy == nullptr) return {};
        HDC memory = CreateCompatibleDC(source);
        HGDIOBJ previous = SelectObject(memory, copy);
        const bool copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        std::vector<COLORREF> pixels;
        if (copied) {
            const auto* quads = static_cast<const RGBQUAD*>(bits);
            for (int i = 0; i < width * height; ++i)
                pixels.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(copy);
        return pixels;
    }

    // The window with the keyboard focus in the form, or the form itself.
    static HWND keyTarget(toolkit::Form& form) {
        HWND window = formOf(form).window();
        HWND focused = GetFocus();
        return focused != nullptr && (focused == window || IsChild(window, focused)) ? focused
                                                                                     : window;
    }

    // Each key goes where the focus is when it is pressed or released.
    void keyDown(toolkit::Form& form, std::int16_t keyCode) {
        PostMessageW(keyTarget(form), WM_KEYDOWN, static_cast<WPARAM>(keyCode),
                     keyData(keyCode, false));
        pump();
    }

    void keyUp(toolkit::Form& form, std::int16_t keyCode) {
        PostMessageW(keyTarget(form), WM_KEYUP, static_cast<WPARAM>(keyCode),
                     keyData(keyCode, true));
        pump();
    }

    // The middle of a list's row, scrolled into view first.
    static POINT rowCentre(HWND list, std::int32_t row) {
        if (row < 0 || row >= SendMessageW(list, LB_GETCOUNT, 0, 0))
            throw std::out_of_range("no row " + std::to_string(row));
        RECT client{};
        GetClientRect(list, &client);
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        if (item.top < 0 || item.bottom > client.bottom) {
            SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
            SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
        }
        return {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    }

    toolkit::win32::Win32Toolkit& toolkit_;
};

}  // namespace

TestBackend makeTestBackend(toolkit::MessageBoxes& boxes, platform::Platform& os) {
    const LCID englishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    auto toolkit = std::make_unique<toolkit::win32::Win32Toolkit>(boxes, os, "Volscope", englishUs);
    auto driver = std::make_unique<Win32UiDriver>(*toolkit);
    return {std::move(toolkit), std::move(driver)};
}

const char* testBackendName() {
    return "Win32";
}

}  // namespace fake
