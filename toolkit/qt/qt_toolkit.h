#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "toolkit/toolkit.h"

class QApplication;
class QFont;
class QWidget;

namespace toolkit::qt {

// The Qt application object for the whole run. Create it first, before any QtToolkit.
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
    std::unique_ptr<QApplication> app_;
};

// The Qt Widgets backend of the toolkit. Needs a live QApplication (QtApplication, or the test's
// own). Message boxes go through the given seam; the folder and file lists read folders through
// the given system. Both must outlive the toolkit.
class QtToolkit final : public Toolkit {
  public:
    QtToolkit(MessageBoxes& messageBoxes, platform::Platform& os, std::string appTitle);

    platform::Platform& os() const { return os_; }

    std::unique_ptr<Form> createForm(const FormLayout& layout) override;
    void doEvents() override;
    void end() override;
    bool ended() const override { return ended_; }
    int msgBox(std::string_view prompt, int style, std::string_view title = {}) override;
    std::string format(double value, std::string_view pattern) const override;
    std::string format(const DateTime& date, std::string_view pattern) const override;
    std::string appTitle() const override { return appTitle_; }

    // Runs an event handler. A failure escaping it is reported in a message box with the
    // application's title, and the program ends.
    void runHandler(const std::function<void()>& handler);

    // The toolkit's default dialog font, used by every control without a font of its own.
    static QFont dialogFont();
    // Maps the Windows font names of the layouts onto metric-compatible faces.
    static void installFontSubstitutes();

  private:
    MessageBoxes& messageBoxes_;
    platform::Platform& os_;
    std::string appTitle_;
    bool ended_ = false;
};

// The top-level widget of a form built by QtToolkit, for tests and screenshots.
QWidget* nativeWindow(Form& form);

// Writes what the form's client area shows to a PNG file; false when it cannot be written.
bool saveScreenshot(Form& form, const std::string& path);

}  // namespace toolkit::qt
