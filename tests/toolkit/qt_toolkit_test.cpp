#include "toolkit/qt/qt_toolkit.h"
#include "toolkit/qt/qt_controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <stdexcept>

#include "platform/posix/mount_watch.h"
#include "tests/support/fake_platform.h"
#include "tests/support/recording_message_boxes.h"

namespace {

using toolkit::ControlKind;
using toolkit::FormLayout;

class QtToolkitTest : public ::testing::Test {
  protected:
    std::unique_ptr<toolkit::Form> form(bool keyPreview = true) {
        FormLayout layout{.name = "frmTest",
                          .caption = "Test",
                          .clientWidth = 3000,
                          .clientHeight = 3000,
                          .keyPreview = keyPreview,
                          .controls = {{.kind = ControlKind::CommandButton,
                                        .name = "cmdGo",
                                        .caption = "Go",
                                        .left = 150,
                                        .top = 150,
                                        .width = 900,
                                        .height = 375,
                                        .tabIndex = 0},
                                       {.kind = ControlKind::PictureBox,
                                        .name = "pctBox",
                                        .left = 1500,
                                        .top = 150,
                                        .width = 615,
                                        .height = 615,
                                        .tabStop = false},
                                       {.kind = ControlKind::Label,
                                        .name = "lblText",
                                        .caption = "<b>not bold</b> & more",
                                        .left = 150,
                                        .top = 750,
                                        .width = 900,
                                        .height = 255}}};
        return tk.createForm(layout);
    }

    static QWidget& child(toolkit::Form& f, const char* name) {
        return *toolkit::qt::nativeWindow(f)->findChild<QWidget*>(name);
    }

    fake::RecordingMessageBoxes boxes;
    fake::Platform os;
    platform::posix::MountWatch volumeChanges;
    toolkit::qt::QtToolkit tk{boxes, os, volumeChanges, "Volscope"};
};

// The rest of what every backend keeps is in the toolkit contract suite.
TEST_F(QtToolkitTest, LabelShowsItsCaptionAsPlainText) {
    auto f = form();
    EXPECT_EQ(static_cast<QLabel&>(child(*f, "lblText")).textFormat(), Qt::PlainText);
}

TEST_F(QtToolkitTest, PictureBoxKeepsDrawnIconsUntilCleared) {
    auto f = form();
    auto& box = dynamic_cast<toolkit::qt::QtPictureBox&>(f->pictureBox("pctBox"));
    EXPECT_TRUE(box.drawing().isNull());
    // No icon theme is set offscreen: the generic file icon stands in.
    box.hDC().drawThemeIcon("text-plain", 0, 0);
    ASSERT_FALSE(box.drawing().isNull());
    const QImage drawn = box.drawing().toImage();
    EXPECT_EQ(drawn.size(), QSize(37, 37)) << "the box's inside, without its border";
    EXPECT_GT(qAlpha(drawn.pixel(16, 16)), 0) << "the icon covers the top-left 32 pixels";
    EXPECT_EQ(qAlpha(drawn.pixel(36, 36)), 0) << "and nothing else";
    box.cls();
    EXPECT_TRUE(box.drawing().isNull());
}

TEST_F(QtToolkitTest, FormatFollowsTheUserLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(tk.format(1234567, "###,##0"), "1.234.567");
    EXPECT_EQ(tk.format(toolkit::DateTime{2004, 1, 5, 14, 3, 7}, "hh:mm:ss dddd dd, mmmm yyyy"),
              "14:03:07 Montag 05, Januar 2004");
    QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
    EXPECT_EQ(tk.format(toolkit::DateTime{2004, 1, 5, 14, 3, 7}, "hh:mm:ss"), "14.03.07")
        << "the locale's own time separator";
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(tk.format(1234567, "###,##0"), "1,234,567");
    EXPECT_EQ(tk.format(toolkit::DateTime{2004, 1, 5, 14, 3, 7}, "hh:mm:ss;   dddd dd, mmmm yyyy"),
              "14:03:07;   Monday 05, January 2004");
    QLocale::setDefault(QLocale::c());
}

}  // namespace
