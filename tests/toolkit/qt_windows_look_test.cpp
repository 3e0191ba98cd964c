// How the two windows look on the Qt backend: fonts, colours, alignment and focus policies, which
// only Qt's widgets tell. What the windows do is tested on every backend.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPalette>
#include <QWidget>

#include "main_window/frm_main.h"
#include "tests/support/window_test.h"
#include "toolkit/qt/qt_toolkit.h"

namespace {

class QtWindowsLookTest : public fake::WindowTest {
  protected:
    QWidget& mainWidget(const char* name) { return child(main.form(), name); }
    QWidget& browserWidget(const char* name) { return child(main.frmBrowser().form(), name); }
    static QWidget& child(toolkit::Form& form, const char* name) {
        auto* widget = toolkit::qt::nativeWindow(form)->findChild<QWidget*>(name);
        if (widget == nullptr) throw std::out_of_range(name);
        return *widget;
    }

    main_window::FrmMain main{toolkit, modVolscope};
};

TEST_F(QtWindowsLookTest, MainWindowFontsAlignmentAndButtons) {
    EXPECT_EQ(mainWidget("lblDriveName").font().family(), "Times New Roman");
    EXPECT_DOUBLE_EQ(mainWidget("lblDriveName").font().pointSizeF(), 21.75);
    EXPECT_EQ(mainWidget("cmdNext").font().family(), "MS Sans Serif");
    EXPECT_DOUBLE_EQ(mainWidget("cmdNext").font().pointSizeF(), 18);
    EXPECT_EQ(mainWidget("cmdNext").font().weight(), QFont::Normal);
    EXPECT_TRUE(static_cast<QLabel&>(mainWidget("lblDriveName")).alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(toolkit::qt::nativeWindow(main.form())->windowFlags() &
                Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(mainWidget("cmdNext").focusPolicy(), Qt::ClickFocus) << "clicking still focuses it";
}

TEST_F(QtWindowsLookTest, UsageBarIsABlueBlockInANavyBox) {
    EXPECT_EQ(mainWidget("pctValue").palette().color(QPalette::Window), QColor(0, 0, 128));
    EXPECT_EQ(mainWidget("shpValue").palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_TRUE(mainWidget("pctValue").isAncestorOf(&mainWidget("shpValue")));
}

TEST_F(QtWindowsLookTest, BrowserFrameHoldsTheLabelsThatWrapAndTheStepButtonsFont) {
    os.setDrive('C', {});
    main.form().show();
    main.cmdBrowse_Click();
    EXPECT_EQ(browserWidget("lblFullName").parentWidget(), &browserWidget("fmeFileInfo"));
    EXPECT_TRUE(static_cast<QLabel&>(browserWidget("lblFullName")).wordWrap());
    EXPECT_EQ(browserWidget("cmdNext").font().family(), "MS Sans Serif");
    EXPECT_DOUBLE_EQ(browserWidget("cmdNext").font().pointSizeF(), 18);
}

}  // namespace
