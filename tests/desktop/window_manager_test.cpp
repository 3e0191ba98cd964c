// The two windows under a real window manager (Xvfb with openbox): activation and the focus
// when a window is shown, minimizing and restoring, and the hints that keep the border fixed.
// Offscreen there is no window manager to do any of it, so these skip there, saying why.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <cstdio>

#include "main_window/frm_main.h"
#include "tests/support/window_test.h"
#include "toolkit/qt/qt_toolkit.h"
#include "toolkit/twips.h"

namespace {

// What xprop says of the X window behind a form.
std::string xprop(toolkit::Form& form, const char* property) {
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(form.hWnd()), property});
    if (!xprop.waitForFinished(5000)) return "xprop did not answer";
    return xprop.readAllStandardOutput().toStdString();
}

// The browser on drive C of the fake: a folder with three files.
class WindowManager : public fake::WindowTest {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs a window manager on a real X server "
                            "(tests/desktop/x_server.sh run runs the tests on one)";
        os.setDrive('C', {});
        for (const char* name : {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}) os.addFile(name);
    }

    QWidget* native(toolkit::Form& form) { return toolkit::qt::nativeWindow(form); }

    // Shows the main window as the program starts, and opens the browser by clicking Browse...
    browser_window::FrmBrowser& browsing() {
        main.form().show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(native(main.form())));
        ui.click(main.form(), "cmdBrowse");
        browser_window::FrmBrowser& browser = main.frmBrowser();
        EXPECT_TRUE(QTest::qWaitForWindowActive(native(browser.form())));
        return browser;
    }

    main_window::FrmMain main{toolkit, modVolscope};
};

TEST_F(WindowManager, AShownWindowIsActiveAndItsFirstTabStopHasTheFocusWithoutAClick) {
    browser_window::FrmBrowser& browser = browsing();
    EXPECT_EQ(QApplication::activeWindow(), native(browser.form()));
    EXPECT_EQ(ui.focusedControl(browser.form()), "fil");
    // Give a Click that the arriving focus might raise the time to come through.
    QTest::qWait(200);
    EXPECT_EQ(browser.fil.listIndex(), -1) << "the focus selects nothing";
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().prompt;
    EXPECT_EQ(browser.lblFullName.caption(), "Full Filename:") << "no file was shown";

    ui.activate(main.form());
    EXPECT_TRUE(QTest::qWaitForWindowActive(native(main.form())));
    ui.activate(browser.form());
    EXPECT_TRUE(QTest::qWaitForWindowActive(native(browser.form())));
    QTest::qWait(200);
    EXPECT_TRUE(boxes.shown.empty()) << "the list getting the focus back raises nothing";
}

// The slide of a drive step starts at the window's outer width; it must not be the client's
// width while the window manager has yet to frame the window.
TEST_F(WindowManager, TheOuterWidthHoldsTheWindowManagersBorderAsSoonAsTheWindowIsShown) {
    main.form().show();
    const float widthAtShow = main.form().width();
    QTest::qWait(300);
    // _NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom
    const std::string extents = xprop(main.form(), "_NET_FRAME_EXTENTS");
    int left = -1;
    int right = -1;
    ASSERT_EQ(std::sscanf(extents.c_str(), "%*[^=]= %d, %d", &left, &right), 2) << extents;
    EXPECT_EQ(widthAtShow,
              toolkit::toTwips(ui.clientArea(main.form()).width + left + right, ui.dpi()));
    EXPECT_EQ(main.form().width(), widthAtShow);
}

TEST_F(WindowManager, MinimizingTheMainWindowHidesTheBrowserUntilItIsRestored) {
    browser_window::FrmBrowser& browser = browsing();
    browser.fil.setListIndex(1);
    ui.minimize(main.form());
    QTRY_COMPARE(main.form().windowState(), toolkit::window_state::minimized);
    QTRY_VERIFY(!browser.form().visible());
    ui.restore(main.form());
    QTRY_COMPARE(main.form().windowState(), toolkit::window_state::normal);
    QTRY_VERIFY(browser.form().visible());
    EXPECT_EQ(browser.fil.fileName(), "b.txt");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowManager, TheWindowManagerLetsNeitherWindowBeMaximizedNorResized) {
    browser_window::FrmBrowser& browser = browsing();
    for (toolkit::Form* form : {&main.form(), &browser.form()}) {
        const std::string hints = xprop(*form, "WM_NORMAL_HINTS");
        const auto sizeAfter = [&hints](const std::string& label) {
            const std::size_t at = hints.find(label);
            return at == std::string::npos ? "none" : hints.substr(at + label.size(), 12);
        };
        EXPECT_EQ(sizeAfter("minimum size:"), sizeAfter("maximum size:")) << hints;
        EXPECT_NE(sizeAfter("minimum size:"), "none") << hints;
        // The window manager's own answer to the hints.
        const std::string actions = xprop(*form, "_NET_WM_ALLOWED_ACTIONS");
        EXPECT_NE(actions.find("_NET_WM_ACTION_MOVE"), std::string::npos) << actions;
        for (const char* refused : {"MAXIMIZE_HORZ", "MAXIMIZE_VERT", "ACTION_RESIZE"})
            EXPECT_EQ(actions.find(refused), std::string::npos) << form->caption() << actions;
    }
}

}  // namespace
