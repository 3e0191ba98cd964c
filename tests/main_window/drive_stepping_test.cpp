#include <gtest/gtest.h>

#include <vector>

#include "main_window/frm_main.h"
#include "tests/support/hooked_toolkit.h"
#include "tests/support/window_test.h"

namespace {

namespace type = platform::drive_type;
using main_window::FrmMain;
namespace key = toolkit::key_code;

// The main window on real widgets over drives of every kind:
// C fixed, D CD-ROM, E network, F removable, G RAM disk, H unknown kind; nothing elsewhere.
class DriveSteppingTest : public fake::WindowTest {
  protected:
    DriveSteppingTest() {
        os.setDrive('C', {.type = type::fixed, .label = "SYSTEM", .fileSystem = "NTFS"});
        os.setDrive('D', {.type = type::cdrom, .label = "DISC", .fileSystem = "CDFS"});
        os.setDrive('E', {.type = type::remote, .label = "SHARE", .fileSystem = "SMB"});
        os.setDrive('F', {.type = type::removable, .label = "STICK", .fileSystem = "FAT"});
        os.setDrive('G', {.type = type::ramdisk, .label = "RAM", .fileSystem = "tmpfs"});
        os.setDrive('H', {.type = type::unknown, .label = "ODD", .fileSystem = "odd"});
        w.form().show();
        ui.activate(w.form());
        hooked.afterDoEvents = [this] {
            lefts.push_back(w.imgDriveIcon.left());
            if (duringSlide && lefts.size() == duringSlideAt) {
                auto action = std::move(duringSlide);
                action();
            }
        };
    }
    ~DriveSteppingTest() override {
        for (const auto& box : boxes.shown) ADD_FAILURE() << "message box: " << box.prompt;
    }

    void click(const char* name) { ui.click(w.form(), name); }
    // Keys go where the user's keys go: to the control with the focus. Letters are given as
    // their upper-case characters, which are their key codes.
    void press(std::int16_t keyCode) { ui.pressKey(w.form(), keyCode); }
    // Runs `action` once, in the middle of the next slide (after its tenth move).
    void inTheNextSlide(std::function<void()> action) {
        lefts.clear();
        duringSlideAt = 10;
        duringSlide = std::move(action);
    }
    // Goes to a letter the way a user would, by typing it.
    void goTo(char letter) {
        press(letter);
        ASSERT_EQ(modVolscope.CurrentDrive, std::string(1, letter));
        lefts.clear();
        os.clearCalls();
    }

    fake::HookedToolkit hooked{toolkit};
    FrmMain w{hooked, modVolscope};
    std::vector<float> lefts;
    std::function<void()> duringSlide;
    std::size_t duringSlideAt = 0;
};

// The run of icon positions from `first` to `last` in steps of 20 twips.
std::vector<float> slide(float first, float last) {
    std::vector<float> run;
    const float step = first < last ? 20.0f : -20.0f;
    for (float v = first; step < 0 ? v >= last : v <= last; v += step) run.push_back(v);
    return run;
}

std::vector<float> joined(std::vector<float> a, const std::vector<float>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(DriveSteppingTest, ForwardStepSlidesOutLeftThenInFromTheWindowsRightEdge) {
    click("cmdNext");
    // Out: 133 moves from 1920 to -720 for a 720-wide icon; in: from the window's outer width
    // down to 1920.
    EXPECT_EQ(lefts, joined(slide(1920, -720), slide(w.form().width(), 1920)));
    EXPECT_EQ(slide(1920, -720).size(), 133u);
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
    EXPECT_EQ(w.lblDriveName.caption(), "D");
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgCD.picture());
    // 1920, or up to 19 twips right of it where the window's border widens it (Win32).
    EXPECT_EQ(w.imgDriveIcon.left(), slide(w.form().width(), 1920).back());
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: DISC");
    EXPECT_EQ(w.lblFileSystemName.caption(), "File System: CDFS");
}

TEST_F(DriveSteppingTest, BackwardStepSlidesOutRightThenInFromTheLeftEdge) {
    goTo('D');
    click("cmdPrev");
    EXPECT_EQ(lefts, joined(slide(1920, w.form().width()), slide(0, 1920)));
    EXPECT_EQ(slide(0, 1920).size(), 97u);
    EXPECT_EQ(modVolscope.CurrentDrive, "C");
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgDrive.picture());
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: SYSTEM");
}

TEST_F(DriveSteppingTest, LetterLabelIsBlankWhileTheIconSlides) {
    std::vector<std::string> captions;
    hooked.afterDoEvents = [&] { captions.push_back(w.lblDriveName.caption()); };
    click("cmdNext");
    ASSERT_FALSE(captions.empty());
    for (const std::string& caption : captions) EXPECT_EQ(caption, "");
    EXPECT_EQ(w.lblDriveName.caption(), "D");
}

// With a border the window is wider than its client area, and the icon may come to rest up to
// 19 twips right of 1920; the next "<" still starts its slide from 1920.
TEST_F(DriveSteppingTest, RestPositionFollowsTheWindowWidthAndBackSlideStartsAt1920) {
    hooked.formWidth = 4815;
    click("cmdNext");
    EXPECT_EQ(lefts, joined(slide(1920, -720), slide(4815, 1935)));
    EXPECT_EQ(w.imgDriveIcon.left(), 1935);

    lefts.clear();
    click("cmdPrev");
    EXPECT_EQ(lefts, joined(slide(1920, 4815), slide(0, 1920)));
    EXPECT_EQ(w.imgDriveIcon.left(), 1920);
}

TEST_F(DriveSteppingTest, SlideOutStartsFromWhereverTheIconRestsAndEndsPastItsWidth) {
    w.imgDriveIcon.setLeft(1000);
    click("cmdNext");
    EXPECT_EQ(std::vector<float>(lefts.begin(), lefts.begin() + 87), slide(1000, -720));
}

struct EndRow {
    const char* name;
    char letter;
    bool forward;
};

class DriveSteppingEndsTest : public DriveSteppingTest,
                              public ::testing::WithParamInterface<EndRow> {};

TEST_P(DriveSteppingEndsTest, StepPastTheEndChangesNothingAndAsksNothing) {
    const EndRow& row = GetParam();
    goTo(row.letter);
    const float left = w.imgDriveIcon.left();
    const toolkit::Picture picture = w.imgDriveIcon.picture();
    const std::string details = w.lblVolumeName.caption() + w.lblSerialNumber.caption();

    click(row.forward ? "cmdNext" : "cmdPrev");
    press(row.forward ? key::right : key::left);

    EXPECT_EQ(modVolscope.CurrentDrive, std::string(1, row.letter));
    EXPECT_EQ(w.lblDriveName.caption(), std::string(1, row.letter));
    EXPECT_EQ(w.imgDriveIcon.picture(), picture);
    EXPECT_EQ(w.imgDriveIcon.left(), left);
    EXPECT_EQ(w.lblVolumeName.caption() + w.lblSerialNumber.caption(), details);
    EXPECT_TRUE(os.calls().empty());
    EXPECT_TRUE(lefts.empty()) << "no slide";
}

INSTANTIATE_TEST_SUITE_P(Rows, DriveSteppingEndsTest,
                         ::testing::Values(EndRow{"ForwardAtZ", 'Z', true},
                                           EndRow{"BackAtA", 'A', false}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(DriveSteppingTest, ArrowKeysStepLikeTheButtons) {
    press(key::right);
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
    press(key::right);
    EXPECT_EQ(modVolscope.CurrentDrive, "E");
    press(key::left);
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
    EXPECT_EQ(w.lblDriveName.caption(), "D");
    EXPECT_FALSE(w.KeyStepBusy);
}

TEST_F(DriveSteppingTest, TypedLetterAheadIsReachedInOneForwardSlide) {
    press('E');
    EXPECT_EQ(lefts, joined(slide(1920, -720), slide(w.form().width(), 1920)));
    EXPECT_EQ(modVolscope.CurrentDrive, "E");
    EXPECT_EQ(w.lblDriveName.caption(), "E");
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgNetwork.picture());
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: SHARE");
}

TEST_F(DriveSteppingTest, TypedLetterBehindIsReachedInOneBackwardSlide) {
    press('A');
    EXPECT_EQ(lefts, joined(slide(1920, w.form().width()), slide(0, 1920)));
    EXPECT_EQ(modVolscope.CurrentDrive, "A");
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgNonExist.picture());
    EXPECT_EQ(w.lblSerialNumber.caption(), "Volume Serial Number: Serial Number Not Retrieveable");
}

TEST_F(DriveSteppingTest, TypedCurrentLetterOrAnotherKeyDoesNothing) {
    os.clearCalls();
    press('C');
    press('1');
    press(116);  // F5
    press(key::up);
    EXPECT_TRUE(lefts.empty());
    EXPECT_TRUE(os.calls().empty());
    EXPECT_EQ(modVolscope.CurrentDrive, "C");
    EXPECT_EQ(w.lblDriveName.caption(), "C");
    EXPECT_FALSE(w.KeyStepBusy);
}

TEST_F(DriveSteppingTest, LowerCaseLetterGoesToItsUpperCaseDrive) {
    press('Z');  // "z", unshifted: the key code is the letter's, whatever the case
    EXPECT_EQ(modVolscope.CurrentDrive, "Z");
    EXPECT_EQ(w.lblDriveName.caption(), "Z");
}

// A RAM disk and a drive of unknown kind have pictures of their own; a code the table does not
// know (I, 7) leaves the picture the icon had.
struct PictureRow {
    const char* name;
    char letter;
    const toolkit::Image& (*store)(const FrmMain&);
};

class StepPictureTest : public DriveSteppingTest,
                        public ::testing::WithParamInterface<PictureRow> {};

TEST_P(StepPictureTest, StepOntoTheLetterShowsThePictureOfItsKind) {
    os.setDrive('I', {.type = 7, .label = "ODDER"});
    goTo(static_cast<char>(GetParam().letter - 1));
    click("cmdNext");
    EXPECT_EQ(modVolscope.CurrentDrive, std::string(1, GetParam().letter));
    EXPECT_EQ(w.imgDriveIcon.picture(), GetParam().store(w).picture());
    EXPECT_FALSE(w.imgDriveIcon.picture().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StepPictureTest,
    ::testing::Values(
        PictureRow{"RamDisk", 'G',
                   [](const FrmMain& m) -> const toolkit::Image& { return m.imgRamDisk; }},
        PictureRow{"UnknownKind", 'H',
                   [](const FrmMain& m) -> const toolkit::Image& { return m.imgUnknown; }},
        PictureRow{"CodeOutsideTheTableKeepsThePicture", 'I',
                   [](const FrmMain& m) -> const toolkit::Image& { return m.imgUnknown; }}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(DriveSteppingTest, ClickDuringASlideRunsANestedStepAndBothTakeEffect) {
    inTheNextSlide([this] { click("cmdNext"); });
    click("cmdNext");
    EXPECT_EQ(modVolscope.CurrentDrive, "E");
    EXPECT_EQ(w.lblDriveName.caption(), "E");
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: SHARE");
}

// Without the second end test the outer step would carry the letter past the end.
TEST_F(DriveSteppingTest, TwoQuickStepsOneLetterBeforeTheEndStopAtTheEnd) {
    goTo('Y');
    inTheNextSlide([this] { click("cmdNext"); });
    click("cmdNext");
    EXPECT_EQ(modVolscope.CurrentDrive, "Z");
    EXPECT_EQ(w.lblDriveName.caption(), "Z");

    goTo('B');
    inTheNextSlide([this] { click("cmdPrev"); });
    click("cmdPrev");
    EXPECT_EQ(modVolscope.CurrentDrive, "A");
    EXPECT_EQ(w.lblDriveName.caption(), "A");
}

TEST_F(DriveSteppingTest, NestedStepLateInTheSlideStillStopsAtTheEnd) {
    goTo('Y');
    lefts.clear();
    duringSlideAt = 200;  // during the slide in, after the outer step chose Z's picture
    duringSlide = [this] { press(key::right); };
    click("cmdNext");
    EXPECT_EQ(modVolscope.CurrentDrive, "Z");
}

TEST_F(DriveSteppingTest, KeyDuringAKeyStartedStepIsDropped) {
    inTheNextSlide([this] { press(key::right); });
    press(key::right);
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
    EXPECT_FALSE(w.KeyStepBusy);
}

TEST_F(DriveSteppingTest, KeyDuringAButtonStartedStepRunsNested) {
    inTheNextSlide([this] { press(key::right); });
    click("cmdNext");
    EXPECT_EQ(modVolscope.CurrentDrive, "E");
    EXPECT_FALSE(w.KeyStepBusy);
}

TEST_F(DriveSteppingTest, ClickingAStepButtonLeavesTheFocusOnTheWindow) {
    click("cmdNext");
    EXPECT_EQ(ui.focusedControl(w.form()), "") << "the window itself has the focus";
    press(key::right);
    EXPECT_EQ(modVolscope.CurrentDrive, "E") << "the arrow keys keep working";
    click("cmdPrev");
    EXPECT_EQ(ui.focusedControl(w.form()), "");
}

// Volumes coming and going while a letter is shown (the toolkit raises Form_DeviceChange).

TEST_F(DriveSteppingTest, VolumeComingOrGoingRefreshesTheShownLetterWithoutASlide) {
    goTo('F');
    os.removeDrive('F');
    w.Form_DeviceChange();
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgNonExist.picture());
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: ");
    EXPECT_EQ(w.lblFileSystemName.caption(), "File System: ");
    os.setDrive('F', {.type = type::remote, .label = "BACK", .fileSystem = "SMB"});
    w.Form_DeviceChange();
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgNetwork.picture());
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: BACK");
    EXPECT_EQ(modVolscope.CurrentDrive, "F");
    EXPECT_EQ(w.lblDriveName.caption(), "F");
    EXPECT_TRUE(lefts.empty()) << "no slide, and no pass of the event pump";
}

// The change arrives while the icon slides in with D's picture (a CD-ROM until then): the
// letter being left is not redrawn over the slide, and the step ends on D as D is now.
TEST_F(DriveSteppingTest, VolumeChangeDuringAStepIsShownWhenTheStepEnds) {
    std::string captionDuringSlide;
    lefts.clear();
    duringSlideAt = 200;  // during the slide in, after the step chose D's picture
    duringSlide = [this, &captionDuringSlide] {
        os.setDrive('D', {.type = type::removable, .label = "STICK2", .fileSystem = "FAT"});
        w.Form_DeviceChange();
        captionDuringSlide = w.lblVolumeName.caption();
        EXPECT_EQ(w.imgDriveIcon.picture(), w.imgCD.picture()) << "the picture sliding in";
    };
    click("cmdNext");
    EXPECT_EQ(captionDuringSlide, "Volume Name: SYSTEM") << "C's details until the step ends";
    EXPECT_EQ(modVolscope.CurrentDrive, "D");
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgRemovable.picture());
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: STICK2");
}

}  // namespace
