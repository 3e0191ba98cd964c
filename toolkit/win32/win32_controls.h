#pragma once

#include <windows.h>

#include "toolkit/control_bases.h"
#include "toolkit/controls.h"
#include "toolkit/layout.h"

// The windows behind the toolkit's controls. Each control object owns the state that its window
// reads (pictures, brushes, drawings) but not the window: that is a child of the form's window
// and is destroyed with it, before the control objects.
namespace toolkit::win32 {

class Win32Form;
class Win32Toolkit;

// Registers a window class of the toolkit's own once per process (later calls do nothing).
void registerWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background);

// The toolkit's shift-state bits (toolkit::shift_state) of the keyboard as it is now.
std::int16_t shiftState();

// A STATIC window: its text is the caption, shown without prefix characters ("&" is an
// ampersand), wrapped at word boundaries. A caption set at run time is shown in its visible form
// (toolkit::visibleText); caption() gives it back as it was set.
class Win32Label final : public Label {
  public:
    Win32Label(Win32Form& form, HWND parent, POINT origin, const ControlLayout& layout);
    std::string caption() const override { return caption_; }
    void setCaption(std::string_view caption) override;
    HWND window() const { return window_; }

  private:
    HWND window_;
    std::string caption_;
};

// A BUTTON window. MouseUp is raised from the button's own WM_LBUTTONUP, before the button
// turns the release into BN_CLICKED; a MouseUp handler that takes the focus away (which makes
// the system forget the press) still leaves its Click.
class Win32CommandButton final : public CommandButton {
  public:
    Win32CommandButton(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                       const ControlLayout& layout);
    std::string caption() const override;
    void onClick(Handler handler) override { click_ = std::move(handler); }
    void onMouseUp(MouseHandler handler) override { mouseUp_ = std::move(handler); }
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT mouseReleased(UINT message, WPARAM wParam, LPARAM lParam);
    void clicked();

    Win32Toolkit& toolkit_;
    HWND window_;
    Handler click_;
    MouseHandler mouseUp_;
    bool clickedInRelease_ = false;
};

// A window of its own class that draws its picture's icon at the icon's own size over the
// form's background, and raises Click on a left button pressed and released over it. Named for
// screen readers, an image with a Click handler is annotated as a button.
class Win32Image final : public ImageBase {
  public:
    Win32Image(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
               const ControlLayout& layout);
    void setPicture(const Picture& picture) override;
    void setAccessibleName(std::string_view name) override;
    void setLeft(float left) override;
    float width() const override;
    float height() const override;
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Win32Toolkit& toolkit_;
    Win32Form& form_;
    HWND window_;
    POINT origin_;
};

// A window of its own class with the sunken client edge, filled with its back colour. Its
// device context is a memory bitmap of the inside's size that keeps what is drawn into it and
// is copied to the screen whenever the box is painted. Controls standing in it are its children,
// clipped to its inside. With the focus it draws a focus rectangle just inside its edge, which
// the shapes standing in it draw too where they cover it.
// Windows has no freedesktop icon theme: a theme icon is drawn as the shell's generic document.
class Win32PictureBox final : public PictureBox, private platform::DeviceContext {
  public:
    Win32PictureBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                    const ControlLayout& layout);
    ~Win32PictureBox() override;
    Win32PictureBox(const Win32PictureBox&) = delete;
    Win32PictureBox& operator=(const Win32PictureBox&) = delete;
    float width() const override;
    void setMeterValue(double percent) override;
    void cls() override;
    platform::DeviceContext& hDC() override { return *this; }
    HWND window() const { return window_; }
    // The focus rectangle of a box with the focus, in the coordinates of `window` (the box or a
    // control in it); false when `box` is no picture box or has not the focus.
    static bool focusRectangle(HWND box, HWND window, RECT& rectangle);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void drawThemeIcon(std::string_view iconName, int x, int y) override;
    bool hasThemeIcon(std::string_view) const override { return false; }
    // The memory device context. The caller is about to draw: the box is repainted from it at
    // the next pass of the event loop.
    std::uintptr_t nativeHandle() const override;

    Win32Toolkit& toolkit_;
    HWND window_;
    COLORREF backColor_;
    HBRUSH background_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    SIZE size_{};
};

// A BS_AUTOCHECKBOX button: the system toggles it on a click before BN_CLICKED raises Click.
class Win32CheckBox final : public CheckBox {
  public:
    Win32CheckBox(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
                  const ControlLayout& layout);
    std::string caption() const override;
    int value() const override;
    void setValue(int value) override;
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    void onClick(Handler handler) override { click_ = std::move(handler); }
    HWND window() const { return window_; }

  private:
    Win32Toolkit& toolkit_;
    HWND window_;
    Handler click_;
};

// A group box with the frame's caption. The controls standing in it are created after it as
// siblings, above it: a group box paints no inside of its own.
class Win32Frame {
  public:
    Win32Frame(Win32Form& form, HWND parent, POINT origin, const ControlLayout& layout);
    HWND window() const { return window_; }

  private:
    HWND window_;
};

// A window of its own class filled with its back colour.
class Win32Shape final : public Shape {
  public:
    Win32Shape(Win32Toolkit& toolkit, Win32Form& form, HWND parent, POINT origin,
               const ControlLayout& layout);
    ~Win32Shape() override;
    Win32Shape(const Win32Shape&) = delete;
    Win32Shape& operator=(const Win32Shape&) = delete;
    float width() const override { return width_; }
    void setWidth(float width) override;
    HWND window() const { return window_; }

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Win32Toolkit& toolkit_;
    Win32Form& form_;
    HWND window_;
    HBRUSH fill_;
    float width_;
};

}  // namespace toolkit::win32
