#include <gtest/gtest.h>

#include "main_window/frm_main.h"
#include "tests/support/hooked_toolkit.h"
#include "tests/support/window_test.h"

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
constexpr const char* ramDiskText =
    " is a RAM disk.  Its contents are lost when the computer is turned off.";
constexpr const char* unknownText =
    " is a drive of a kind that cannot be determined.  The system does not say what it is.";

// The main window over C fixed (with three files), D CD-ROM, E network, F removable, G RAM disk
// and H of unknown kind; nothing elsewhere.
class MainWindowEventsTest : public fake::WindowTest {
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
        ui.activate(w.form());
    }

    void goTo(char letter) {
        ui.pressKey(w.form(), letter);
        ASSERT_EQ(modVolscope.CurrentDrive, std::string(1, letter));
    }
    void clickIcon() { ui.click(w.form(), "imgDriveIcon"); }
    void clickNext() { ui.click(w.form(), "cmdNext"); }
    void minimizeAndRestore() {
        ui.minimize(w.form());
        ui.restore(w.form());
    }
    // The one box the last action showed.
    toolkit::MessageBoxRequest shownBox() {
        EXPECT_EQ(boxes.shown.size(), 1u);
        toolkit::MessageBoxRequest box =
            boxes.shown.empty() ? toolkit::MessageBoxRequest{} : boxes.shown.back();
        boxes.shown.clear();
        return box;
    }
    bool browserShown() { return w.frmBrowser().form().visible(); }

    fake::HookedToolkit hooked{toolkit};
    main_window::FrmMain w{hooked, modVolscope};
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
                                           ExplanationRow{"RamDisk", 'G', ramDiskText},
                                           ExplanationRow{"UnknownKind", 'H', unknownText},
                                           ExplanationRow{"NoDrive", 'Q', missingText}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

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
    clickNext();
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
    ASSERT_TRUE(browserShown());

    ui.minimize(w.form());
    EXPECT_FALSE(browserShown());
    EXPECT_TRUE(w.BrowserWasVisible);
    ui.restore(w.form());
    EXPECT_TRUE(browserShown());
    EXPECT_EQ(w.frmBrowser().Dir.path(), "C:\\");
    EXPECT_EQ(w.frmBrowser().fil.listIndex(), 1);
    EXPECT_EQ(w.frmBrowser().fil.fileName(), "b.txt");
}

TEST_F(MainWindowEventsTest, MinimizingAndRestoringWithoutBrowserOpensNone) {
    minimizeAndRestore();
    EXPECT_FALSE(w.BrowserWasVisible);
    EXPECT_FALSE(browserShown());
}

TEST_F(MainWindowEventsTest, ClosedBrowserStaysClosedThroughLaterMinimizing) {
    w.cmdBrowse_Click();
    minimizeAndRestore();
    ASSERT_TRUE(browserShown());
    ui.click(w.frmBrowser().form(), "cmdClose");
    minimizeAndRestore();
    EXPECT_FALSE(w.BrowserWasVisible);
    EXPECT_TRUE(w.frmBrowser().form().unloaded() || !browserShown());
}

}  // namespace
