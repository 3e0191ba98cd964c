#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "main_window/frm_main.h"
#include "tests/support/fake_platform.h"
#include "tests/support/hooked_toolkit.h"
#include "tests/support/recording_message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"

namespace {

namespace type = platform::drive_type;

constexpr const char* fixedText =
    " is a fixed hard disk.  These cannot be removed while the computer is running.";
constexpr const char* cdromText =
    " is a CD-ROM drive.  These drives can have CD's ejected or inserted into them.";
constexpr const char* missingText =
    " does not exist, or is unavailable right now.  It is undeterminable what it is.";
constexpr const char* networkText =
    " is a mapped network drive.  These are like fixed disks, only on a different computer.";
constexpr const char* removableText =
    " is a removable disk drive.  These can range from floopy disk drives to ZiP disks.";

// The main window over C fixed (with three files), D CD-ROM, E network, F removable, G RAM disk
// and H of unknown kind; nothing elsewhere.
class MainWindowEventsTest : public ::testing::Test {
  protected:
    MainWindowEventsTest() {
        os.setDrive('C', {.type = type::fixed});
        os.addFile("C:\\a.txt");
        os.addFile("C:\\b.txt");
        os.addFile("C:\\c.txt");
        os.addFolder("C:\\Data");
        os.setDrive('D', {.type = type::cdrom});
        os.setDrive('E', {.type = type::remote});
        os.setDrive('F', {.type = type::removable});
        os.setDrive('G', {.type = type::ramdisk});
        os.setDrive('H', {.type = type::unknown});
        w.form().show();
        top = toolkit::qt::nativeWindow(fake::realForm(w.form()));
        QApplication::setActiveWindow(top);
    }

    void goTo(char letter) {
        QTest::keyClick(top->focusWidget() ? top->focusWidget() : top, letter);
        ASSERT_EQ(modVolscope.CurrentDrive, std::string(1, letter));
    }
    void clickIcon() {
        QTest::mouseClick(top->findChild<QWidget*>("imgDriveIcon"), Qt::LeftButton);
    }
    // The one box the last action showed.
    toolkit::MessageBoxRequest shownBox() {
        EXPECT_EQ(boxes.shown.size(), 1u);
        toolkit::MessageBoxRequest box =
            boxes.shown.empty() ? toolkit::MessageBoxRequest{} : boxes.shown.back();
        boxes.shown.clear();
        return box;
    }
    QWidget* browserWindow() {
        return toolkit::qt::nativeWindow(fake::realForm(w.frmBrowser().form()));
    }

    fake::Platform os;
    volume_queries::ModVolscope modVolscope{os};
    fake::RecordingMessageBoxes boxes;
    toolkit::qt::QtToolkit qt{boxes, os, "Volscope"};
    fake::HookedToolkit hooked{qt};
    main_window::FrmMain w{hooked, modVolscope};
    QWidget* top = nullptr;
};

TEST_F(MainWindowEventsTest, RightAfterStartUpTheIconExplainsAFixedDiskForC) {
    clickIcon();
    EXPECT_EQ(shownBox(),
              (toolkit::MessageBoxRequest{std::string("Drive C") + fixedText, 0, "Volscope"}));
}

struct ExplanationRow {
    const char* name;
    char letter;
    const char* text;
};

class ExplanationTest : public MainWindowEventsTest,
                        public ::testing::WithParamInterface<ExplanationRow> {};

TEST_P(ExplanationTest, IconExplainsItsPictureForTheCurrentLetter) {
    goTo(GetParam().letter);
    clickIcon();
    EXPECT_EQ(shownBox().prompt, std::string("Drive ") + GetParam().letter + GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, ExplanationTest,
                         ::testing::Values(ExplanationRow{"Cdrom", 'D', cdromText},
                                           ExplanationRow{"Network", 'E', networkText},
                                           ExplanationRow{"Removable", 'F', removableText},
                                           ExplanationRow{"NoDrive", 'Q', missingText}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(MainWindowEventsTest, LetterWithoutPictureIsExplainedByThePreviousPicture) {
    goTo('F');
    QTest::mouseClick(top->findChild<QWidget*>("cmdNext"), Qt::LeftButton);  // G, a RAM disk
    clickIcon();
    EXPECT_EQ(shownBox().prompt, std::string("Drive G") + removableText);
    QTest::mouseClick(top->findChild<QWidget*>("cmdNext"), Qt::LeftButton);  // H, unknown
    clickIcon();
    EXPECT_EQ(shownBox().prompt, std::string("Drive H") + removableText);
}

// During a ">" from C to D the icon first shows the fixed disk, then, sliding in, the CD-ROM
// drive, while the letter is still C.
TEST_F(MainWindowEventsTest, ClickDuringASlideExplainsThePictureAndLetterOfThatMoment) {
    std::vector<std::string> prompts;
    int moves = 0;
    hooked.afterDoEvents = [&] {
        ++moves;
        if (moves == 10 || moves == 200) {
            clickIcon();
            prompts.push_back(boxes.shown.empty() ? "" : boxes.shown.back().prompt);
        }
    };
    QTest::mouseClick(top->findChild<QWidget*>("cmdNext"), Qt::LeftButton);
    EXPECT_EQ(prompts, (std::vector<std::string>{std::string("Drive C") + fixedText,
                                                 std::string("Drive C") + cdromText}));
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
}

TEST_F(MainWindowEventsTest, IconWithAPictureOfNoStoreExplainsNothing) {
    w.imgDriveIcon.setPicture(toolkit::Picture());
    clickIcon();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowEventsTest, MinimizingHidesTheOpenBrowserAndRestoringShowsItUnchanged) {
    w.cmdBrowse_Click();
    w.frmBrowser().Dir.setPath("C:\\");
    w.frmBrowser().fil.setListIndex(1);
    ASSERT_TRUE(browserWindow()->isVisible());

    top->showMinimized();
    EXPECT_FALSE(browserWindow()->isVisible());
    EXPECT_TRUE(w.BrowserWasVisible);
    top->showNormal();
    EXPECT_TRUE(browserWindow()->isVisible());
    EXPECT_EQ(w.frmBrowser().Dir.path(), "C:\\");
    EXPECT_EQ(w.frmBrowser().fil.listIndex(), 1);
    EXPECT_EQ(w.frmBrowser().fil.fileName(), "b.txt");
}

TEST_F(MainWindowEventsTest, MinimizingAndRestoringWithoutBrowserOpensNone) {
    top->showMinimized();
    top->showNormal();
    EXPECT_FALSE(w.BrowserWasVisible);
    EXPECT_FALSE(browserWindow()->isVisible());
}

TEST_F(MainWindowEventsTest, ClosedBrowserStaysClosedThroughLaterMinimizing) {
    w.cmdBrowse_Click();
    top->showMinimized();
    top->showNormal();
    ASSERT_TRUE(browserWindow()->isVisible());
    QTest::mouseClick(browserWindow()->findChild<QWidget*>("cmdClose"), Qt::LeftButton);
    top->showMinimized();
    top->showNormal();
    EXPECT_FALSE(w.BrowserWasVisible);
    EXPECT_TRUE(w.frmBrowser().form().unloaded() || !browserWindow()->isVisible());
}

}  // namespace
