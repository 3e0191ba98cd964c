#include "toolkit/win32/win32_form.h"

#include <dbt.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <type_traits>

#include "toolkit/win32/win32_accessibility.h"
#include "toolkit/win32/win32_text.h"
#include "toolkit/win32/win32_toolkit.h"

namespace toolkit::win32 {

namespace {

constexpr wchar_t formClass[] = L"VolscopeForm";

// A font of that face whose characters are `height` pixels high.
HFONT createFont(const std::string& face, int height) {
    return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, toWide(face).c_str());
}

HICON loadIcon(HMODULE module, const std::wstring& name, int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(
        LoadImageW(module, name.c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

Win32Form::Win32Form(Win32Toolkit& toolkit, const FormLayout& layout)
    : FormBase(toolkit),
      toolkit_(toolkit),
      keyPreview_(layout.keyPreview),
      centred_(layout.centred) {
    registerWindowClass(formClass, windowProc, GetSysColorBrush(COLOR_BTNFACE));
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (layout.minButton) style |= WS_MINIMIZEBOX;
    if (layout.maxButton) style |= WS_MAXIMIZEBOX;
    if (!layout.fixedBorder) style |= WS_THICKFRAME;
    const int clientWidth = toolkit.toPixels(layout.clientWidth);
    const int clientHeight = toolkit.toPixels(layout.clientHeight);
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    CreateWindowExW(0, formClass, toWide(layout.caption).c_str(), style, CW_USEDEFAULT,
                    CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                    nullptr, toolkit.module(), this);
    if (window_ == nullptr) throw std::runtime_error("cannot create the window " + layout.name);
    // The frame's metrics are the window manager's to choose; the client area is the layout's.
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right != clientWidth || client.bottom != clientHeight) {
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + clientWidth - client.right,
                     outer.bottom - outer.top + clientHeight - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!layout.icon.empty()) {
        const std::wstring icon = toWide(layout.icon);
        bigIcon_ = loadIcon(toolkit.module(), icon, SM_CXICON);
        smallIcon_ = loadIcon(toolkit.module(), icon, SM_CXSMICON);
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }
    {
        HDC dc = GetDC(window_);
        HGDIOBJ previous = SelectObject(dc, fontFor(std::nullopt));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(window_, dc);
        listLineHeight_ = std::max<int>(metrics.tmHeight, GetSystemMetrics(SM_CYSMICON)) + 2;
    }
    toolkit_.addForm(*this);
    for (const ControlLayout& control : layout.controls) build(control);
    orderTabs(layout);
}

Win32Form::~Win32Form() {
    toolkit_.removeForm(*this);
    DestroyWindow(window_);
    if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
    if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
    for (const auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT Win32Form::fontFor(const std::optional<Font>& font) {
    // The toolkit's default dialog font, for every control without a font of its own.
    const Font chosen = font.value_or(Font{"MS Sans Serif", 8});
    const std::string key = chosen.name + '/' + std::to_string(chosen.points);
    if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    const int height =
        static_cast<int>(std::lround(chosen.points * static_cast<float>(toolkit_.dpi()) / 72.0f));
    HFONT created = createFont(chosen.name, height);
    // A raster face has a few sizes only (Wine's MS Sans Serif stops at 12 points); rather than
    // a smaller size, the same face's TrueType twin at the size asked for.
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, created);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    const bool raster = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0;
    if (raster && metrics.tmHeight - metrics.tmInternalLeading < height - 1) {
        DeleteObject(created);
        created = createFont("Microsoft Sans Serif", height);
    }
    fonts_.emplace(key, created);
    return created;
}

HWND Win32Form::createControl(const wchar_t* windowClass, const std::string& text, DWORD style,
                              DWORD exStyle, HWND parent, POINT origin, const ControlLayout& layout,
                              void* creationData) {
    HWND control = CreateWindowExW(
        exStyle, windowClass, toWide(text).c_str(), style,
        origin.x + toolkit_.toPixels(layout.left), origin.y + toolkit_.toPixels(layout.top),
        toolkit_.toPixels(layout.width), toolkit_.toPixels(layout.height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId_++)), toolkit_.module(),
        creationData);
    if (control == nullptr) throw std::runtime_error("cannot create the control " + layout.name);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(layout.font)), FALSE);
    return control;
}

void Win32Form::build(const ControlLayout& control) {
    const Container where = places_.of(control, {window_, POINT{0, 0}, nullptr});
    Control built = makeControl<Control>(control.kind, [&](auto type) {
        using Made = typename decltype(type)::type;
        std::unique_ptr<Made> made;
        if constexpr (std::is_constructible_v<Made, Win32Toolkit&, Win32Form&, HWND, POINT,
                                              const ControlLayout&>)
            made = std::make_unique<Made>(toolkit_, *this, where.parent, where.origin, control);
        else
            made = std::make_unique<Made>(*this, where.parent, where.origin, control);
        // A picture box's contents are its children; a frame's stand beside it, on its parent.
        if constexpr (std::is_same_v<Made, Win32PictureBox>) {
            places_.addContainer(control.name, {made->window(), POINT{0, 0}, made->window()});
        } else if constexpr (std::is_same_v<Made, Win32Frame>) {
            const POINT inside{where.origin.x + toolkit_.toPixels(control.left),
                               where.origin.y + toolkit_.toPixels(control.top)};
            places_.addContainer(control.name, {where.parent, inside, made->window()});
        }
        return made;
    });
    HWND window = std::visit([](const auto& made) { return made->window(); }, built);
    std::visit([&](const auto& owned) { addControl(control.name, owned.get()); }, built);
    controls_.emplace(control.name, Placed{std::move(built), window, where.window});
    clipToContainer(window);
    if (!control.accessibleName.empty()) annotateName(window, control.accessibleName);
}

void Win32Form::clipToContainer(HWND control) {
    const auto placed =
        std::find_if(controls_.begin(), controls_.end(),
                     [control](const auto& entry) { return entry.second.window == control; });
    if (placed == controls_.end() || placed->second.container == nullptr ||
        GetParent(control) == placed->second.container)
        return;  // on the form, or in a picture box: its parent clips it
    RECT frame{};
    RECT own{};
    GetWindowRect(placed->second.container, &frame);
    GetWindowRect(control, &own);
    RECT shown{};
    if (!IntersectRect(&shown, &frame, &own) || !EqualRect(&shown, &own)) {
        OffsetRect(&shown, -own.left, -own.top);
        SetWindowRgn(control, CreateRectRgnIndirect(&shown), TRUE);
    } else {
        SetWindowRgn(control, nullptr, TRUE);
    }
}

void Win32Form::orderTabs(const FormLayout& layout) {
    // The dialog manager's Tab order is the windows' z-order.
    const std::vector<const ControlLayout*> order = tabOrder(layout);
    std::map<HWND, HWND> lastOfParent;
    for (const ControlLayout* control : order) {
        HWND window = controls_.find(control->name)->second.window;
        if (control->kind == ControlKind::Frame) {
            // Below the controls standing on it, which it would otherwise clip.
            SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            continue;
        }
        HWND parent = GetParent(window);
        const auto last = lastOfParent.find(parent);
        SetWindowPos(window, last == lastOfParent.end() ? HWND_TOP : last->second, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        lastOfParent[parent] = window;
    }
    if (const ControlLayout* first = firstTabStop(order))
        firstTabStop_ = controls_.find(first->name)->second.window;
}

HWND Win32Form::controlWindow(std::string_view name) const {
    const auto it = controls_.find(name);
    if (it == controls_.end()) throw std::out_of_range("no control named " + std::string(name));
    return it->second.window;
}

HWND Win32Form::containerWindow(std::string_view name) const {
    const auto it = controls_.find(name);
    if (it == controls_.end()) throw std::out_of_range("no control named " + std::string(name));
    return it->second.container != nullptr ? it->second.container : window_;
}

std::string Win32Form::controlNameOf(HWND window) const {
    for (HWND at = window; at != nullptr && at != window_; at = GetParent(at)) {
        for (const auto& [name, placed] : controls_) {
            if (placed.window == at) return name;
        }
    }
    return {};
}

Win32Form* Win32Form::fromWindow(HWND window) {
    if (window == nullptr) return nullptr;
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring_view(name) != formClass) return nullptr;
    return reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool Win32Form::previewKey(HWND target, WPARAM key) {
    if (!keyDown_ || (target != window_ && !keyPreview_)) return false;
    auto code = static_cast<std::int16_t>(key);
    const std::int16_t shift = shiftState();
    const KeyHandler handler = keyDown_;
    toolkit_.runHandler([&] { handler(code, shift); });
    return code == 0 || toolkit_.ended();
}

void Win32Form::onCommand(HWND control, std::function<void(int)> handler) {
    commands_[control] = std::move(handler);
}

void Win32Form::onDrawItem(HWND control, std::function<void(const DRAWITEMSTRUCT&)> handler) {
    drawers_[control] = std::move(handler);
}

LRESULT CALLBACK Win32Form::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const auto found = commands_.find(reinterpret_cast<HWND>(lParam));
            if (lParam == 0 || found == commands_.end()) return 0;
            const auto handler = found->second;
            handler(HIWORD(wParam));
            return 0;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const auto found = drawers_.find(item.hwndItem);
            if (found != drawers_.end()) found->second(item);
            return TRUE;
        }
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
                static_cast<UINT>(listLineHeight_);
            return TRUE;
        case WM_ACTIVATE:
            // Back to the control that had the focus when the window was last left.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus == window_ || IsChild(window_, focus)) focusOnActivate_ = focus;
            } else if (HIWORD(wParam) == 0 && focusOnActivate_ != nullptr &&
                       IsWindow(focusOnActivate_)) {
                SetFocus(focusOnActivate_);
                return 0;
            }
            break;
        case WM_SIZE:
            if (everShown_ && (wParam == SIZE_MINIMIZED) != minimized_) {
                minimized_ = wParam == SIZE_MINIMIZED;
                raiseResize();
            }
            return 0;
        case WM_CLOSE:
            if (!raiseQueryUnload()) {
                hide();
                toolkit_.formClosed();
            }
            return 0;
        case WM_DEVICECHANGE: {
            // A drive letter that came or went, local or mapped: DEV_BROADCAST_VOLUME.
            const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
            const bool volume =
                (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) &&
                header != nullptr && header->dbch_devicetype == DBT_DEVTYP_VOLUME;
            const Handler handler = deviceChange_;
            if (volume && handler) toolkit_.runHandler(handler);
            return TRUE;
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32Form::raiseResize() {
    raise(resize_);
}

void Win32Form::show() {
    if (unloaded()) return;
    load();
    if (toolkit_.ended()) return;
    if (!everShown_ && centred_) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT outer{};
        GetWindowRect(window_, &outer);
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                     work.top + (work.bottom - work.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const bool firstShow = !everShown_;
    const bool wasVisible = IsWindowVisible(window_) != FALSE;
    everShown_ = true;
    ShowWindow(window_, SW_SHOW);
    if (firstShow && firstTabStop_ != nullptr) SetFocus(firstTabStop_);
    SetForegroundWindow(window_);
    BringWindowToTop(window_);
    if (!wasVisible) raiseResize();
}

void Win32Form::hide() {
    ShowWindow(window_, SW_HIDE);
}

bool Win32Form::visible() const {
    return IsWindowVisible(window_) != FALSE;
}

void Win32Form::setFocus() {
    SetFocus(window_);
}

std::string Win32Form::caption() const {
    return windowText(window_);
}

float Win32Form::width() const {
    RECT outer{};
    GetWindowRect(window_, &outer);
    return toolkit_.toTwips(outer.right - outer.left);
}

int Win32Form::windowState() const {
    if (IsIconic(window_)) return window_state::minimized;
    if (IsZoomed(window_)) return window_state::maximized;
    return window_state::normal;
}

std::uintptr_t Win32Form::hWnd() const {
    return reinterpret_cast<std::uintptr_t>(window_);
}

}  // namespace toolkit::win32
