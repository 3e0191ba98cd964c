#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/change_source.h"
#include "platform/platform.h"
#include "toolkit/toolkit_base.h"

class QApplication;
class QFont;
class QSocketNotifier;
class QWidget;

namespace toolkit::qt {

// The Qt application object for the whole run. Create it first, before any QtToolkit.
//
// Unless the user chose a platform (QT_QPA_PLATFORM, or Qt's -platform argument), the windows go
// to an X server where one can be reached, XWayland included, and natively to Wayland only where
// none can: through X11 the window manager tells a window it was minimized, and fixed sizes and
// positions hold, none of which Wayland gives a program. Where no platform can be started, the
// program says so in one line on the standard error and exits with status 1.
class QtApplication {
  public:
    // appId: the program's freedesktop application id, the name of its installed .desktop file
    // without ".desktop". Desktops match the program's windows to its menu entry and icon by it
    // (on Wayland it is the windows' app id). Empty leaves Qt's guess from the program's name.
    QtApplication(int& argc, char** argv, std::string_view appId = {});
    ~QtApplication();
    QtApplication(const QtApplication&) = delete;
    QtApplication& operator=(const QtApplication&) = delete;

    // Runs the event loop until Toolkit::end or the last window closes; returns the exit code.
    int exec();

  private:
    int argc_;
    std::vector<char*> argv_;  // the program's arguments, and the platforms to try
    std::unique_ptr<QApplication> app_;
};

// The Qt Widgets backend of the toolkit. Needs a live QApplication (QtApplication, or the test's
// own). Message boxes go through the given seam; the folder and file lists read folders through
// the given system; the forms raise DeviceChange when volumeChanges marks a change. All three
// must outlive the toolkit.
class QtToolkit final : public ToolkitBase {
  public:
    QtToolkit(MessageBoxes& messageBoxes, platform::Platform& os,
              platform::ChangeSource& volumeChanges, std::string appTitle);
    ~QtToolkit() override;

    // Activated in the event loop when the change source marks a change, which is acknowledged
    // before anything else connected to it runs; null when the source has nothing to watch.
    QSocketNotifier* volumeChanges() const { return volumeChanges_.get(); }

    std::unique_ptr<Form> createForm(const FormLayout& layout) override;
    void doEvents() override;
    void end() override;
    std::string format(double value, std::string_view pattern) const override;
    std::string format(const DateTime& date, std::string_view pattern) const override;

    // The toolkit's default dialog font, used by every control without a font of its own.
    static QFont dialogFont();
    // Maps the Windows font names of the layouts onto metric-compatible faces.
    static void installFontSubstitutes();

  private:
    struct DateNames;  // the locale's names of days and months, for format

    std::unique_ptr<QSocketNotifier> volumeChanges_;
    mutable std::unique_ptr<DateNames> dateNames_;
};

// The top-level widget of a form built by QtToolkit, for tests and screenshots.
QWidget* nativeWindow(Form& form);

// Writes what the form's client area shows to a PNG file; false when it cannot be written.
bool saveScreenshot(Form& form, const std::string& path);

}  // namespace toolkit::qt
