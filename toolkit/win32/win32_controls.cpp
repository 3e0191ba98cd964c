#include "toolkit/win32/win32_controls.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "toolkit/visible_text.h"
#include "toolkit/win32/win32_accessibility.h"
#include "toolkit/win32/win32_form.h"
#include "toolkit/win32/win32_picture.h"
#include "toolkit/win32/win32_text.h"
#include "toolkit/win32/win32_toolkit.h"

namespace toolkit::win32 {

namespace {

constexpr wchar_t imageClass[] = L"VolscopeImage";
constexpr wchar_t pictureBoxClass[] = L"VolscopePictureBox";
constexpr wchar_t shapeClass[] = L"VolscopeShape";

DWORD visibleStyle(const ControlLayout& layout) {
    return layout.visible ? WS_VISIBLE : 0;
}

// Controls never overdraw each other (the sliding drive icon passes over its neighbours), and
// arrow keys never move the focus: each focusable control is a group of its own.
DWORD childStyle(const ControlLayout& layout) {
    return WS_CHILD | WS_CLIPSIBLINGS | visibleStyle(layout);
}

DWORD focusableStyle(const ControlLayout& layout) {
    return childStyle(layout) | WS_GROUP | (layout.tabStop ? WS_TABSTOP : 0);
}

template <typename T>
T* selfOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

COLORREF colorOf(const std::optional<Rgb>& color, int systemColor) {
    return color ? RGB(color->red, color->green, color->blue) : GetSysColor(systemColor);
}

RECT clientRect(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

}  // namespace

void registerWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(module, name, &existing)) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

std::int16_t shiftState() {
    std::int16_t state = 0;
    if (GetKeyState(VK_SHIFT) < 0) state |= shift_state::shift;
    if (GetKeyState(VK_CONTROL) < 0) state |= shift_state::ctrl;
    if (GetKeyState(VK_MENU) < 0) state |= shift_state::alt;
    return state;
}

Win32Label::Win32Label(Win32Form& form, HWND parent, POINT origin, const ControlLayout& layout)
    : caption_(layout.caption) {
    DWORD align = SS_LEFT;
    if (layout.alignment == Alignment::Center) align = SS_CENTER;
    if (layout.alignment == Alignment::Right) align = SS_RIGHT;
    window_ =
        form.createControl(L"STATIC", layout.caption, childStyle(layout) | SS_NOPREFIX | align, 0,
                           parent, origin, layout);
}

void Win32Label::setCaption(std::string_view caption) {
    caption_ = std::string(caption);
    SetWindowTextW(window_, toWide(visibleText(caption)).c_str());
}

Win32CommandButton::Win32CommandButton(Win32Toolkit& toolkit, Win32Form& form, HWND parent,
                                       POINT origin, const ControlLayout& layout)
    : toolkit_(toolkit) {
    window_ = form.createControl(L"BUTTON", layout.caption, focusableStyle(layout) | BS_PUSHBUTTON,
                                 0, parent, origin, layout);
    SetWindowSubclass(window_, subclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    form.onCommand(window_, [this](int code) {
        if (code == BN_CLICKED) clicked();
    });
}

std::string Win32CommandButton::caption() const {
    return windowText(window_);
}

LRESULT CALLBACK Win32CommandButton::subclassProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    if (message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP)
        return reinterpret_cast<Win32CommandButton*>(self)->mouseReleased(message, wParam, lParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT Win32CommandButton::mouseReleased(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT client = clientRect(window_);
    const bool completesClick = message == WM_LBUTTONUP && GetCapture() == window_ &&
                                (SendMessageW(window_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0 &&
                                PtInRect(&client, at);
    if (mouseUp_) {
        int button = mouse_button::left;
        if (message == WM_RBUTTONUP) button = mouse_button::right;
        if (message == WM_MBUTTONUP) button = mouse_button::middle;
        std::int16_t shift = shiftState() & shift_state::alt;
        if (wParam & MK_SHIFT) shift |= shift_state::shift;
        if (wParam & MK_CONTROL) shift |= shift_state::ctrl;
        const MouseHandler handler = mouseUp_;
        toolkit_.runHandler(
            [&] { handler(button, shift, toolkit_.toTwips(at.x), toolkit_.toTwips(at.y)); });
    }
    clickedInRelease_ = false;
    const LRESULT result = DefSubclassProc(window_, message, wParam, lParam);
    // A MouseUp handler that moved the focus away made the button forget the press before it
    // saw the release; the click happened all the same.
    if (completesClick && !clickedInRelease_) clicked();
    return result;
}

void Win32CommandButton::clicked() {
    clickedInRelease_ = true;
    const Handler handler = click_;
    if (handler) toolkit_.runHandler(handler);
}

Win32Image::Win32Image(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                       const ControlLayout& layout)
    : ImageBase(layout.left), toolkit_(toolkit), form_(form), origin_(origin) {
    registerWindowClass(imageClass, windowProc, GetSysColorBrush(COLOR_BTNFACE));
    window_ =
        form.createControl(imageClass, {}, childStyle(layout), 0, parent, origin, layout, this);
    if (!layout.picture.empty())
        setPicture(loadPicture(toolkit.module(), layout.picture, toolkit.dpi(),
                               toolkit.toPixels(layout.width)));
}

void Win32Image::setPicture(const Picture& picture) {
    picture_ = picture;
    if (const auto* data = dynamic_cast<const Win32PictureData*>(picture.data()))
        SetWindowPos(window_, nullptr, 0, 0, data->width(), data->height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_.clipToContainer(window_);
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Image::setAccessibleName(std::string_view name) {
    annotateName(window_, name);
    if (click_) annotateButton(window_);
}

void Win32Image::setLeft(float left) {
    left_ = left;
    RECT rect{};
    GetWindowRect(window_, &rect);
    MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(window_, nullptr, origin_.x + toolkit_.toPixels(left), rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_.clipToContainer(window_);
}

float Win32Image::width() const {
    return toolkit_.toTwips(clientRect(window_).right);
}

float Win32Image::height() const {
    return toolkit_.toTwips(clientRect(window_).bottom);
}

LRESULT CALLBACK Win32Image::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Image* self = selfOf<Win32Image>(window, message, lParam);
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (const auto* data = dynamic_cast<const Win32PictureData*>(self->picture_.data()))
                DrawIconEx(dc, 0, 0, data->icon(), data->width(), data->height(), 0, nullptr,
                           DI_NORMAL);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
            SetCapture(window);
            return 0;
        case WM_LBUTTONUP: {
            if (GetCapture() != window) return 0;
            ReleaseCapture();
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const RECT client = clientRect(window);
            const Handler handler = self->click_;
            if (PtInRect(&client, at) && handler) self->toolkit_.runHandler(handler);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

Win32PictureBox::Win32PictureBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                                 const ControlLayout& layout)
    : toolkit_(toolkit),
      backColor_(colorOf(layout.backColor, COLOR_BTNFACE)),
      background_(CreateSolidBrush(backColor_)) {
    registerWindowClass(pictureBoxClass, windowProc, nullptr);
    window_ = form.createControl(pictureBoxClass, {}, focusableStyle(layout) | WS_CLIPCHILDREN,
                                 WS_EX_CLIENTEDGE, parent, origin, layout, this);
    const RECT inside = clientRect(window_);
    size_ = {inside.right, inside.bottom};
    HDC screen = GetDC(window_);
    memory_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, std::max(1L, size_.cx), std::max(1L, size_.cy));
    ReleaseDC(window_, screen);
    previousBitmap_ = SelectObject(memory_, bitmap_);
    cls();
}

Win32PictureBox::~Win32PictureBox() {
    SelectObject(memory_, previousBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    DeleteObject(background_);
}

float Win32PictureBox::width() const {
    RECT outer{};
    GetWindowRect(window_, &outer);
    return toolkit_.toTwips(outer.right - outer.left);
}

void Win32PictureBox::setMeterValue(double percent) {
    annotateMeter(window_, percent);
}

bool Win32PictureBox::focusRectangle(HWND box, HWND window, RECT& rectangle) {
    if (box == nullptr || GetFocus() != box) return false;
    wchar_t name[32] = {};
    GetClassNameW(box, name, 32);
    if (std::wstring_view(name) != pictureBoxClass) return false;
    rectangle = clientRect(box);
    InflateRect(&rectangle, -1, -1);
    MapWindowPoints(box, window, reinterpret_cast<POINT*>(&rectangle), 2);
    return true;
}

void Win32PictureBox::cls() {
    const RECT all{0, 0, size_.cx, size_.cy};
    FillRect(memory_, &all, background_);
    InvalidateRect(window_, nullptr, FALSE);
}

void Win32PictureBox::drawThemeIcon(std::string_view, int x, int y) {
    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | SHGFI_LARGEICON | SHGFI_USEFILEATTRIBUTES;
    if (SHGetFileInfoW(L"file", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags) == 0) return;
    DrawIconEx(memory_, x, y, info.hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    DestroyIcon(info.hIcon);
    InvalidateRect(window_, nullptr, FALSE);
}

std::uintptr_t Win32PictureBox::nativeHandle() const {
    InvalidateRect(window_, nullptr, FALSE);
    return reinterpret_cast<std::uintptr_t>(memory_);
}

LRESULT CALLBACK Win32PictureBox::windowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    Win32PictureBox* self = selfOf<Win32PictureBox>(window, message, lParam);
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            BitBlt(dc, 0, 0, self->size_.cx, self->size_.cy, self->memory_, 0, 0, SRCCOPY);
            RECT focus{};
            if (focusRectangle(window, window, focus)) DrawFocusRect(dc, &focus);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(window);
            return 0;
        // The controls standing in the box notify it; their form handles them.
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

Win32CheckBox::Win32CheckBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                             const ControlLayout& layout)
    : toolkit_(toolkit) {
    window_ =
        form.createControl(L"BUTTON", layout.caption, focusableStyle(layout) | BS_AUTOCHECKBOX, 0,
                           parent, origin, layout);
    form.onCommand(window_, [this](int code) {
        const Handler handler = click_;
        if (code == BN_CLICKED && handler) toolkit_.runHandler(handler);
    });
}

std::string Win32CheckBox::caption() const {
    return windowText(window_);
}

int Win32CheckBox::value() const {
    return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32CheckBox::setValue(int value) {
    SendMessageW(window_, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32CheckBox::enabled() const {
    return IsWindowEnabled(window_) != FALSE;
}

void Win32CheckBox::setEnabled(bool enabled) {
    EnableWindow(window_, enabled ? TRUE : FALSE);
}

Win32Frame::Win32Frame(Win32Form& form, HWND parent, POINT origin, const ControlLayout& layout)
    : window_(form.createControl(L"BUTTON", layout.caption, childStyle(layout) | BS_GROUPBOX, 0,
                                 parent, origin, layout)) {}

Win32Shape::Win32Shape(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                       const ControlLayout& layout)
    : toolkit_(toolkit),
      form_(form),
      fill_(CreateSolidBrush(colorOf(layout.backColor, COLOR_WINDOWTEXT))),
      width_(layout.width) {
    registerWindowClass(shapeClass, windowProc, nullptr);
    window_ =
        form.createControl(shapeClass, {}, childStyle(layout), 0, parent, origin, layout, this);
}

Win32Shape::~Win32Shape() {
    DeleteObject(fill_);
}

void Win32Shape::setWidth(float width) {
    width_ = width;
    SetWindowPos(window_, nullptr, 0, 0, std::max(0, toolkit_.toPixels(width)),
                 clientRect(window_).bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_.clipToContainer(window_);
}

LRESULT CALLBACK Win32Shape::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Shape* self = selfOf<Win32Shape>(window, message, lParam);
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            const RECT all = clientRect(window);
            FillRect(dc, &all, self->fill_);
            RECT focus{};
            if (Win32PictureBox::focusRectangle(GetParent(window), window, focus))
                DrawFocusRect(dc, &focus);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // a click on the bar is a click on its picture box
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace toolkit::win32
