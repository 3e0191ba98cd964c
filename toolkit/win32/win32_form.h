#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "toolkit/form_base.h"
#include "toolkit/layout.h"
#include "toolkit/win32/win32_controls.h"
#include "toolkit/win32/win32_lists.h"

namespace toolkit::win32 {

class Win32Toolkit;

// A form as a top-level window of its own class: a fixed single border (unless the layout says
// otherwise), the minimize and maximize buttons the layout asks for, the layout's icon, centred
// on the screen's work area, and its client area exactly the layout's size. Its controls are
// child windows; a frame's contents are siblings standing on the group box, clipped to it by a
// window region (clipToContainer), a picture box's are its children, clipped to its inside. The Tab
// order is the order of the layout's tab indexes (the windows' z-order); arrow keys never move the
// focus between controls.
//
// The window lives as long as this object. Closing it with the title bar's button (WM_CLOSE)
// raises QueryUnload; a form without that handler hides (as hide()), and when no form is visible
// any more, the event loop ends.
class Win32Form final : public FormBase {
  public:
    Win32Form(Win32Toolkit& toolkit, const FormLayout& layout);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Raised for the volume broadcasts of WM_DEVICECHANGE, which need no registration.
    void onDeviceChange(Handler handler) override { deviceChange_ = std::move(handler); }

    void show() override;
    void hide() override;
    bool visible() const override;
    void setFocus() override;
    int windowState() const override;

    // The window itself; its HWND is the handle.
    HWND window() const { return window_; }
    std::uintptr_t hWnd() const override;
    std::string caption() const override;
    float width() const override;
    // The window of a control by its layout name; throws std::out_of_range for a name the layout
    // lacks.
    HWND controlWindow(std::string_view name) const;
    // The window a control's position is measured from: the form for the client area, else its
    // frame or picture box.
    HWND containerWindow(std::string_view name) const;
    // The layout name of the control that `window` is or belongs to; empty for none.
    std::string controlNameOf(HWND window) const;

    // The form of a top-level window of this toolkit; null for any other window.
    static Win32Form* fromWindow(HWND window);

    // The event loop's key preview: a key-down for `target` (the form or one of its controls).
    // Raises KeyDown when the form itself has the focus, or for any control with key preview on;
    // true when the handler consumed the key (set its code to 0) and the control must not see it.
    bool previewKey(HWND target, WPARAM key);

    // For the controls: creates a child window at a layout position (pixels from the origin of
    // the container `parent`, itself in pixels), with its font and a control id of the form's.
    // creationData reaches the window procedure of the toolkit's own classes in WM_NCCREATE.
    HWND createControl(const wchar_t* windowClass, const std::string& text, DWORD style,
                       DWORD exStyle, HWND parent, POINT origin, const ControlLayout& layout,
                       void* creationData = nullptr);
    // Cuts a control standing in a frame down to the frame's rectangle, as it stands now; the
    // controls that move or change their size call it again. Does nothing for other controls.
    void clipToContainer(HWND control);
    // Notifications a control sends its parent (WM_COMMAND codes, owner drawing).
    void onCommand(HWND control, std::function<void(int)> handler);
    void onDrawItem(HWND control, std::function<void(const DRAWITEMSTRUCT&)> handler);
    // The height of an owner-drawn list's lines: a small icon or a line of the dialog font.
    int listLineHeight() const { return listLineHeight_; }

  private:
    // The controls' classes in the order of ControlKind.
    using Control = std::variant<std::unique_ptr<Win32Label>, std::unique_ptr<Win32CommandButton>,
                                 std::unique_ptr<Win32Image>, std::unique_ptr<Win32PictureBox>,
                                 std::unique_ptr<Win32Shape>, std::unique_ptr<Win32CheckBox>,
                                 std::unique_ptr<Win32Frame>, std::unique_ptr<Win32DirListBox>,
                                 std::unique_ptr<Win32FileListBox>>;
    // Where a control goes: its parent window and its origin there, in pixels, and the window
    // of the picture box or frame it stands in (null for the client area).
    struct Container {
        HWND parent;
        POINT origin;
        HWND window;
    };
    struct Placed {
        Control control;
        HWND window;
        HWND container;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void build(const ControlLayout& control);
    void orderTabs(const FormLayout& layout);
    HFONT fontFor(const std::optional<Font>& font);
    void raiseResize();

    Win32Toolkit& toolkit_;
    HWND window_ = nullptr;
    bool keyPreview_;
    bool centred_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::map<std::string, HFONT, std::less<>> fonts_;
    int listLineHeight_ = 16;
    int nextControlId_ = 100;
    std::map<std::string, Placed, std::less<>> controls_;
    ControlPlaces<Container> places_;
    std::map<HWND, std::function<void(int)>> commands_;
    std::map<HWND, std::function<void(const DRAWITEMSTRUCT&)>> drawers_;
    HWND firstTabStop_ = nullptr;
    HWND focusOnActivate_ = nullptr;
    Handler deviceChange_;
    bool everShown_ = false;
    bool minimized_ = false;
};

}  // namespace toolkit::win32
