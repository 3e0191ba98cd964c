#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "toolkit/toolkit_base.h"

namespace toolkit::win32 {

class Win32Form;

// The native Windows backend of the toolkit: forms are top-level windows of user32, their
// controls real child windows (STATIC, BUTTON, LISTBOX and a few window classes of its own).
// Everything runs on the thread that created the toolkit. Message boxes go through the given
// seam; the folder and file lists read folders through the given system; pictures are the ICON
// resources of the program's module. Seam and system must outlive the toolkit.
//
// Twips become pixels at the screen's real dots per inch (GetDeviceCaps LOGPIXELSX): neither
// Wine nor Windows scale the windows of a DPI-aware program, so a form of 9600 twips is 640
// pixels wide at 96 DPI and 800 at 120.
//
// The event loop (run, doEvents) gives every key-down first to its form's key preview, then to
// the dialog manager (Tab between the tab stops), then to the control.
class Win32Toolkit final : public ToolkitBase {
  public:
    // Numbers and dates are formatted with the symbols of `locale` (the user's by default).
    Win32Toolkit(MessageBoxes& messageBoxes, platform::Platform& os, std::string appTitle,
                 LCID locale = LOCALE_USER_DEFAULT);
    // Takes a quit request of end() still queued, so that it cannot end a later loop.
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    // The module whose resources the pictures are loaded from: the program itself.
    HMODULE module() const { return module_; }
    int dpi() const { return dpi_; }
    int toPixels(float twips) const;
    float toTwips(int pixels) const;

    std::unique_ptr<Form> createForm(const FormLayout& layout) override;
    void doEvents() override;
    // Hides every form, at once, and ends the event loop; the windows themselves go with their
    // Form objects. No handler runs after it.
    void end() override;
    std::string format(double value, std::string_view pattern) const override;
    std::string format(const DateTime& date, std::string_view pattern) const override;

    // Runs the event loop until end(), or until the user has closed the last visible form;
    // returns the program's exit code.
    int run();

    // For the forms: they come and go with their Form objects.
    void addForm(Win32Form& form);
    void removeForm(Win32Form& form);
    // A form was closed by the user: when none is visible any more, the loop ends.
    void formClosed();

  private:
    // One message of the loop: key preview, dialog keys, then the window.
    void dispatch(MSG& message);
    // A text of the locale's (LOCALE_SDECIMAL, ...); empty when the system has none.
    std::string localeText(LCTYPE type) const;
    // The separator between the hour and the minute in the locale's own time format.
    std::string timeSeparator() const;

    LCID locale_;
    HMODULE module_;
    int dpi_;
    std::vector<Win32Form*> forms_;
    bool quit_ = false;
};

// The top-level window of a form built by Win32Toolkit (null for any other form).
HWND nativeWindow(Form& form);

}  // namespace toolkit::win32
