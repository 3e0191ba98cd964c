#include "toolkit/qt/qt_toolkit.h"
#include "toolkit/qt/qt_controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <stdexcept>

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
    toolkit::qt::QtToolkit tk{boxes, os, "Volscope"};
};

TEST_F(QtToolkitTest, FailureEscapingAHandlerIsReportedWithTheAppTitleAndEndsTheProgram) {
    auto f = form();
    f->commandButton("cmdGo").onClick([] { throw std::overflow_error("Overflow"); });
    f->show();
    QTest::mouseClick(&child(*f, "cmdGo"), Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].prompt.find("Overflow"), std::string::npos);
    EXPECT_EQ(boxes.shown[0].title, "Volscope");
    EXPECT_EQ(boxes.shown[0].style, toolkit::msgbox_style::critical);
    EXPECT_TRUE(tk.ended());
    EXPECT_FALSE(child(*f, "cmdGo").isVisible());
}

TEST_F(QtToolkitTest, MessageBoxWithoutTitleShowsTheAppTitle) {
    tk.msgBox("Hello", toolkit::msgbox_style::okOnly);
    tk.msgBox("Oops", toolkit::msgbox_style::critical, "Error");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], (toolkit::MessageBoxRequest{"Hello", 0, "Volscope"}));
    EXPECT_EQ(boxes.shown[1], (toolkit::MessageBoxRequest{"Oops", 16, "Error"}));
}

TEST_F(QtToolkitTest, MouseUpComesBeforeClick) {
    auto f = form();
    std::vector<std::string> events;
    f->commandButton("cmdGo").onMouseUp(
        [&](int, std::int16_t, float, float) { events.push_back("MouseUp"); });
    f->commandButton("cmdGo").onClick([&] { events.push_back("Click"); });
    f->show();
    QTest::mouseClick(&child(*f, "cmdGo"), Qt::LeftButton);
    EXPECT_EQ(events, (std::vector<std::string>{"MouseUp", "Click"}));
}

TEST_F(QtToolkitTest, MouseUpThatTakesTheFocusAwayStillLeavesAClick) {
    auto f = form();
    int clicks = 0;
    f->commandButton("cmdGo").onMouseUp([&](int, std::int16_t, float, float) { f->setFocus(); });
    f->commandButton("cmdGo").onClick([&] { ++clicks; });
    f->show();
    QApplication::setActiveWindow(toolkit::qt::nativeWindow(*f));
    QTest::mouseClick(&child(*f, "cmdGo"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(QApplication::focusWidget(), toolkit::qt::nativeWindow(*f));
}

TEST_F(QtToolkitTest, KeyPreviewSeesKeysOfTheFocusedControlOnceWithWindowsKeyCodes) {
    auto f = form();
    std::vector<int> codes;
    std::vector<int> shifts;
    f->onKeyDown([&](std::int16_t& code, std::int16_t shift) {
        codes.push_back(code);
        shifts.push_back(shift);
    });
    f->show();
    QWidget& button = child(*f, "cmdGo");
    button.setFocus();
    QTest::keyClick(&button, Qt::Key_Right);
    QTest::keyClick(&button, Qt::Key_Left);
    QTest::keyClick(&button, Qt::Key_E);
    QTest::keyClick(&button, Qt::Key_Z, Qt::ShiftModifier);
    // Shift is a key of its own (16) before the shifted letter.
    EXPECT_EQ(codes, (std::vector<int>{39, 37, 69, 16, 90}));
    EXPECT_EQ(shifts, (std::vector<int>{0, 0, 0, 1, 1}));
}

TEST_F(QtToolkitTest, KeyCodeSetToZeroKeepsTheKeyFromTheControl) {
    auto f = form();
    int clicks = 0;
    f->commandButton("cmdGo").onClick([&] { ++clicks; });
    f->onKeyDown([](std::int16_t& code, std::int16_t) { code = 0; });
    f->show();
    QWidget& button = child(*f, "cmdGo");
    button.setFocus();
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
}

TEST_F(QtToolkitTest, LabelShowsItsCaptionAsPlainText) {
    auto f = form();
    EXPECT_EQ(f->label("lblText").caption(), "<b>not bold</b> & more");
    EXPECT_EQ(static_cast<QLabel&>(child(*f, "lblText")).textFormat(), Qt::PlainText);
    f->label("lblText").setCaption("caf\xC3\xA9");
    EXPECT_EQ(f->label("lblText").caption(), "caf\xC3\xA9");
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

TEST_F(QtToolkitTest, AskingForAControlTheLayoutLacksThrows) {
    auto f = form();
    EXPECT_THROW(f->label("lblMissing"), std::out_of_range);
    EXPECT_THROW(f->label("cmdGo"), std::out_of_range) << "a button is not a label";
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
