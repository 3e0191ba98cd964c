#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "toolkit/form.h"
#include "toolkit/message_boxes.h"
#include "toolkit/toolkit.h"

namespace fake {

// A control's place in device pixels, from the top-left corner of the inside of its container
// (the form's client area, a frame or a picture box), as the backend laid it out.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Input and inspection of a toolkit backend's real windows, as a user and an accessibility tool
// meet them: clicks and keys go through the backend's own event delivery, texts are read back
// from the native controls. Controls are named by their layout names. A form built by a
// fake::HookedToolkit may be passed as it is.
class UiDriver {
  public:
    virtual ~UiDriver() = default;

    // Makes the form the active window, as a click on its title bar would.
    virtual void activate(toolkit::Form& form) = 0;
    // A left click (press and release) at the middle of the control; on a check box, on its box.
    virtual void click(toolkit::Form& form, std::string_view control) = 0;
    // A key pressed and released where the form's keyboard focus is (the form itself when no
    // control has it). keyCode is a Windows virtual-key code, shift toolkit::shift_state bits.
    virtual void pressKey(toolkit::Form& form, std::int16_t keyCode, std::int16_t shift = 0) = 0;
    // The same key, queued for the event loop instead of delivered at once: it arrives at the
    // next pass of the event pump.
    virtual void postKey(toolkit::Form& form, std::int16_t keyCode) = 0;
    // A left click, or a double click, at the middle of a list's row (scrolled into view first).
    virtual void clickRow(toolkit::Form& form, std::string_view list, std::int32_t row) = 0;
    virtual void doubleClickRow(toolkit::Form& form, std::string_view list, std::int32_t row) = 0;
    // Tells the form's window that a volume came or went, as the system does: on Windows the
    // WM_DEVICECHANGE broadcast; on Linux a real change of the mount table (a small tmpfs
    // mounted and unmounted again). False, changing nothing, where the machine cannot.
    virtual bool announceVolumeChange(toolkit::Form& form) = 0;
    // Asks the window to close, as its title bar's close box and Alt+F4 do: on Windows
    // WM_SYSCOMMAND SC_CLOSE, with Qt the window system's close event.
    virtual void requestClose(toolkit::Form& form) = 0;
    // Minimizes the window, or restores it, as the title bar's buttons do.
    virtual void minimize(toolkit::Form& form) = 0;
    virtual void restore(toolkit::Form& form) = 0;

    // The layout name of the control that has the keyboard focus in the form; empty when the
    // form itself, or nothing in it, has the focus.
    virtual std::string focusedControl(toolkit::Form& form) = 0;
    // Whether the control is shown on the screen: it and its window are visible.
    virtual bool visible(toolkit::Form& form, std::string_view control) = 0;
    // Whether the picture box shows something drawn into it since it was last cleared.
    virtual bool hasDrawing(toolkit::Form& form, std::string_view pictureBox) = 0;
    // The text the control shows: a label's, button's or check box's caption, a frame's title.
    virtual std::string text(toolkit::Form& form, std::string_view control) = 0;
    // The lines a list shows, as drawn (a folder list's with their indentation).
    virtual std::vector<std::string> rows(toolkit::Form& form, std::string_view list) = 0;
    virtual PixelRect geometry(toolkit::Form& form, std::string_view control) = 0;
    // The size of the form's client area in device pixels.
    virtual PixelRect clientArea(toolkit::Form& form) = 0;
    // What the screen shows of the form's client area, once pending painting is done: one
    // 0xRRGGBB value a device pixel, rows from the top, clientArea's width a row.
    virtual std::vector<std::uint32_t> clientPixels(toolkit::Form& form) = 0;
    // Whether the window offers a minimize button, a maximize button, and lets the user resize
    // it by its edges.
    virtual bool minimizable(toolkit::Form& form) = 0;
    virtual bool maximizable(toolkit::Form& form) = 0;
    virtual bool resizable(toolkit::Form& form) = 0;
    // Device pixels per inch that twips are converted with.
    virtual int dpi() = 0;
};

// The toolkit backend a window test program runs on, and the driver of its windows. A test
// program links one implementation (the Qt one on Linux, the Win32 one under Wine).
struct TestBackend {
    std::unique_ptr<toolkit::Toolkit> toolkit;
    std::unique_ptr<UiDriver> driver;
};

// The backend's toolkit, with message boxes going through `boxes` and lists reading through
// `os`, and the application title "Volscope". Both must outlive the toolkit. Numbers and dates
// are formatted in an English (United States) locale, whatever the machine's.
TestBackend makeTestBackend(toolkit::MessageBoxes& boxes, platform::Platform& os);

// The backend's name, for reports: "Qt" or "Win32".
const char* testBackendName();

}  // namespace fake
