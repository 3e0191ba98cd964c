#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "toolkit/controls.h"

namespace toolkit {

// Key codes as key-down handlers receive them: the Windows virtual-key codes ("A" to "Z" are 65
// to 90 whatever the shift state).
namespace key_code {
inline constexpr std::int16_t end = 35;
inline constexpr std::int16_t home = 36;
inline constexpr std::int16_t left = 37;
inline constexpr std::int16_t up = 38;
inline constexpr std::int16_t right = 39;
inline constexpr std::int16_t down = 40;
inline constexpr std::int16_t a = 65;
inline constexpr std::int16_t z = 90;
}  // namespace key_code

namespace window_state {
inline constexpr int normal = 0;
inline constexpr int minimized = 1;
inline constexpr int maximized = 2;
}  // namespace window_state

// (key code, shift state). The handler may change the key code; setting it to 0 keeps the key
// from the focused control.
using KeyHandler = std::function<void(std::int16_t&, std::int16_t)>;

// A window built from a FormLayout, owning its controls. Controls are reached by their layout
// names; asking for a name the layout lacks (or of another kind) throws std::out_of_range, a
// programming error.
class Form {
  public:
    virtual ~Form() = default;

    virtual Label& label(std::string_view name) = 0;
    virtual CommandButton& commandButton(std::string_view name) = 0;
    virtual Image& image(std::string_view name) = 0;
    virtual PictureBox& pictureBox(std::string_view name) = 0;
    virtual Shape& shape(std::string_view name) = 0;
    virtual CheckBox& checkBox(std::string_view name) = 0;
    virtual DirListBox& dirListBox(std::string_view name) = 0;
    virtual FileListBox& fileListBox(std::string_view name) = 0;

    // Raised once, by the first load() or show(), before the window is first shown.
    virtual void onLoad(Handler handler) = 0;
    // Raised when the window is first shown, minimized and restored.
    virtual void onResize(Handler handler) = 0;
    // Raised for every key pressed while the form or one of its controls has the focus; with
    // key preview on, before the focused control sees the key.
    virtual void onKeyDown(KeyHandler handler) = 0;
    // Raised when the user asks to close the window: its title bar's close box, Alt+F4, the
    // window menu's Close, or the system asking for it. The handler decides what closes (it may
    // hide or unload the window, or end the program); the window stays as it is otherwise.
    // Without a handler the window hides. Never raised by hide(), unload() or Toolkit::end.
    virtual void onQueryUnload(Handler handler) = 0;
    // Raised, on the user-interface thread like every event, after a volume came or went: a
    // drive letter may have gained, lost or changed its volume (Windows: WM_DEVICECHANGE with
    // DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE, which the system sends to top-level
    // windows; Linux: any change of the mount table). Changes close together may be raised
    // once. A form without a handler watches nothing.
    virtual void onDeviceChange(Handler handler) = 0;

    // Raises Load if it has not been raised yet.
    virtual void load() = 0;
    // Loads the form if needed and shows it modeless; on a shown window, brings it forward.
    virtual void show() = 0;
    virtual void hide() = 0;
    // Hides the window and discards it: it is not shown again, and its owner builds a new one
    // from the layout on next use (see unloaded). Safe inside the window's own handlers.
    virtual void unload() = 0;
    virtual bool unloaded() const = 0;
    virtual bool visible() const = 0;
    virtual void setFocus() = 0;
    virtual std::string caption() const = 0;
    // Outer width, borders included.
    virtual float width() const = 0;
    virtual int windowState() const = 0;
    // The system's handle of the window (an HWND on Windows), for dialogs the system shows on
    // its behalf.
    virtual std::uintptr_t hWnd() const = 0;
};

}  // namespace toolkit
