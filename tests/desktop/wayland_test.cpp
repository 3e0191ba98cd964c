// The two windows natively on Wayland (weston's headless backend, tests/desktop/weston.sh): the
// title bar of their own without a maximize button, stepping and browsing, and a compositor
// that configures the main window maximized or full screen, which Qt alone obeys within the
// fixed size and so dies of a protocol error. Elsewhere these skip, saying why.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QToolButton>
#include <QWidget>
#include <QWindow>
#include <functional>

#include "main_window/frm_main.h"
#include "tests/support/window_test.h"
#include "toolkit/qt/qt_toolkit.h"

namespace {

// Lets the compositor answer until `done` holds. The bound only keeps a broken compositor from
// hanging the test; nothing here is timed.
bool until(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(30000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    return done();
}

class WaylandTest : public fake::WindowTest {
  protected:
    void SetUp() override {
        if (!QGuiApplication::platformName().startsWith("wayland"))
            GTEST_SKIP() << "needs a Wayland compositor (tests/desktop/weston.sh runs one)";
        os.setDrive('C', {});
        for (const char* name : {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}) os.addFile(name);
        os.setDrive('D', {.type = platform::drive_type::cdrom});
    }

    static QWidget& native(toolkit::Form& form) { return *toolkit::qt::nativeWindow(form); }
    // Shows a window and waits until the compositor has configured it and it is on screen.
    static void shownOnScreen(toolkit::Form& form) {
        form.show();
        ASSERT_TRUE(until([&] {
            const QWindow* window = native(form).windowHandle();
            return window != nullptr && window->isExposed();
        }));
    }
    // The buttons of a window's title bar, by what screen readers call them.
    static QStringList titleBarButtons(toolkit::Form& form) {
        QStringList names;
        for (const QToolButton* button : native(form).findChildren<QToolButton*>())
            names.push_back(button->accessibleName());
        names.sort();
        return names;
    }

    main_window::FrmMain main{toolkit, modVolscope};
};

TEST_F(WaylandTest, TheWindowsHaveATitleBarOfTheirOwnWithoutAMaximizeButton) {
    shownOnScreen(main.form());
    EXPECT_TRUE(native(main.form()).windowFlags() & Qt::FramelessWindowHint)
        << "Qt's own title bar offers to maximize";
    EXPECT_EQ(titleBarButtons(main.form()), (QStringList{"Close window", "Minimize window"}));
    main.cmdBrowse_Click();
    EXPECT_EQ(titleBarButtons(main.frmBrowser().form()), QStringList{"Close window"});
}

TEST_F(WaylandTest, TheMainWindowStepsAndBrowses) {
    shownOnScreen(main.form());
    ui.click(main.form(), "cmdNext");
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
    EXPECT_EQ(main.imgDriveIcon.picture(), main.imgCD.picture());
    ui.click(main.form(), "cmdPrev");
    ui.click(main.form(), "cmdBrowse");
    shownOnScreen(main.frmBrowser().form());
    EXPECT_EQ(main.frmBrowser().fil.listCount(), 3);
    EXPECT_TRUE(boxes.shown.empty());
}

class ConfiguredTest : public WaylandTest, public ::testing::WithParamInterface<Qt::WindowState> {};

// What a maximize button, a compositor's key or a tiling compositor asks for: the compositor
// configures the window to the whole screen. The window takes that size, asks to be its own
// again and goes on working; a window the browser opens after it shows that the compositor
// took every frame the main window drew meanwhile.
TEST_P(ConfiguredTest, TheMainWindowSurvivesAndComesBackToItsOwnSize) {
    shownOnScreen(main.form());
    QWidget& window = native(main.form());
    const QSize own = window.size();
    bool configured = false;
    QObject::connect(window.windowHandle(), &QWindow::windowStateChanged, &window,
                     [&](Qt::WindowState state) { configured |= state == GetParam(); });
    window.windowHandle()->setWindowStates(GetParam());
    ASSERT_TRUE(until([&] {
        return configured && window.windowState() == Qt::WindowNoState && window.size() == own;
    })) << "configured: "
        << configured;

    ui.click(main.form(), "cmdNext");
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
    ui.click(main.form(), "cmdBrowse");
    shownOnScreen(main.frmBrowser().form());
    EXPECT_EQ(window.size(), own);
}

INSTANTIATE_TEST_SUITE_P(States, ConfiguredTest,
                         ::testing::Values(Qt::WindowMaximized, Qt::WindowFullScreen),
                         [](const auto& state) {
                             return state.param == Qt::WindowMaximized ? "Maximized" : "FullScreen";
                         });

}  // namespace
