// What every toolkit backend keeps, written against the toolkit's interfaces and driven through
// real input (fake::UiDriver). The same file runs on each backend the machine has.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "tests/support/fake_platform.h"
#include "tests/support/icon_file.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/ui_driver.h"
#include "toolkit/twips.h"

namespace {

using toolkit::ControlKind;
namespace key = toolkit::key_code;
constexpr std::int16_t tabKey = 9;
constexpr std::int16_t spaceKey = 32;

toolkit::FormLayout contractLayout() {
    return {.name = "frmContract",
            .caption = "Contract",
            .clientWidth = 6000,
            .clientHeight = 4500,
            .keyPreview = true,
            .controls = {
                {.kind = ControlKind::CommandButton,
                 .name = "cmdGo",
                 .caption = "Go",
                 .left = 150,
                 .top = 150,
                 .width = 1215,
                 .height = 375,
                 .tabIndex = 0},
                {.kind = ControlKind::Label,
                 .name = "lblText",
                 .caption = "<b>not bold</b> & more",
                 .left = 1500,
                 .top = 150,
                 .width = 2400,
                 .height = 255},
                {.kind = ControlKind::FileListBox,
                 .name = "fil",
                 .left = 150,
                 .top = 750,
                 .width = 2400,
                 .height = 1200,
                 .tabIndex = 2},
                {.kind = ControlKind::DirListBox,
                 .name = "Dir",
                 .left = 2700,
                 .top = 750,
                 .width = 2400,
                 .height = 1200,
                 .tabIndex = 4},
                {.kind = ControlKind::CheckBox,
                 .name = "chkA",
                 .caption = "Alpha",
                 .left = 150,
                 .top = 2100,
                 .width = 1215,
                 .height = 255,
                 .tabIndex = 1},
                {.kind = ControlKind::PictureBox,
                 .name = "pctBox",
                 .left = 1500,
                 .top = 2100,
                 .width = 615,
                 .height = 615,
                 .tabIndex = 3,
                 .tabStop = false},
                {.kind = ControlKind::Frame,
                 .name = "fmeBox",
                 .caption = "Framed",
                 .left = 2700,
                 .top = 2100,
                 .width = 2400,
                 .height = 1200},
                {.kind = ControlKind::CheckBox,
                 .name = "chkIn",
                 .caption = "Inside",
                 .left = 120,
                 .top = 480,
                 .width = 1500,
                 .height = 255,
                 .tabIndex = 5,
                 .container = "fmeBox"},
                // Larger than the inside of their containers, which cut them off.
                {.kind = ControlKind::Shape,
                 .name = "shpIn",
                 .width = 2000,
                 .height = 2000,
                 .backColor = toolkit::Rgb{0, 255, 0},
                 .container = "pctBox"},
                {.kind = ControlKind::Shape,
                 .name = "shpOut",
                 .left = 1800,
                 .top = 600,
                 .width = 1200,
                 .height = 300,
                 .backColor = toolkit::Rgb{255, 0, 0},
                 .container = "fmeBox"},
                {.kind = ControlKind::Image,
                 .name = "imgA",
                 .left = 150,
                 .top = 3450,
                 .width = 720,
                 .height = 720,
                 .picture = "drive_fixed.ico"},
                {.kind = ControlKind::Image, .name = "imgB", .left = 1500, .top = 3450},
            }};
}

class ToolkitContract : public ::testing::Test {
  protected:
    ToolkitContract() {
        os.setDrive('C', {});
        os.addFile("C:\\a.txt");
        os.addFile("C:\\b.txt");
        os.addFile("C:\\c.txt");
        os.addFolder("C:\\Data\\Sub");
        os.setDrive('D', {});
        os.setUnreadable("D:\\");
    }

    // Builds the contract's form and shows it as the active window.
    toolkit::Form& shown() {
        form = tk().createForm(contractLayout());
        form->show();
        ui().activate(*form);
        tk().doEvents();
        return *form;
    }

    toolkit::Toolkit& tk() { return *backend.toolkit; }
    fake::UiDriver& ui() { return *backend.driver; }

    // A control's place in the client area, for one standing in a container too.
    fake::PixelRect inClientArea(std::string_view control, std::string_view container = {}) {
        fake::PixelRect place = ui().geometry(*form, control);
        if (!container.empty()) {
            const fake::PixelRect outer = ui().geometry(*form, container);
            place.left += outer.left;
            place.top += outer.top;
        }
        return place;
    }

    fake::Platform os;
    fake::RecordingMessageBoxes boxes;
    fake::TestBackend backend = fake::makeTestBackend(boxes, os);
    std::unique_ptr<toolkit::Form> form;
};

TEST_F(ToolkitContract, GeometryComesFromTwipsAtTheWindowsDotsPerInch) {
    toolkit::Form& f = shown();
    const int dpi = ui().dpi();
    const auto pixels = [dpi](float left, float top, float width, float height) {
        return fake::PixelRect{toolkit::toPixels(left, dpi), toolkit::toPixels(top, dpi),
                               toolkit::toPixels(width, dpi), toolkit::toPixels(height, dpi)};
    };
    EXPECT_EQ(ui().clientArea(f), pixels(0, 0, 6000, 4500)) << "at " << dpi << " DPI";
    EXPECT_EQ(ui().geometry(f, "cmdGo"), pixels(150, 150, 1215, 375));
    EXPECT_EQ(ui().geometry(f, "lblText"), pixels(1500, 150, 2400, 255));
    EXPECT_EQ(ui().geometry(f, "fil"), pixels(150, 750, 2400, 1200));
    EXPECT_EQ(ui().geometry(f, "chkIn"), pixels(120, 480, 1500, 255)) << "inside its frame";
}

TEST_F(ToolkitContract, CaptionsAreTheTextsOfTheNativeControls) {
    toolkit::Form& f = shown();
    EXPECT_EQ(f.caption(), "Contract");
    EXPECT_EQ(ui().text(f, "cmdGo"), "Go");
    EXPECT_EQ(ui().text(f, "lblText"), "<b>not bold</b> & more") << "plain text, no markup";
    EXPECT_EQ(ui().text(f, "chkA"), "Alpha");
    EXPECT_EQ(ui().text(f, "fmeBox"), "Framed");
    f.label("lblText").setCaption("caf\xC3\xA9");
    EXPECT_EQ(f.label("lblText").caption(), "caf\xC3\xA9");
    EXPECT_EQ(ui().text(f, "lblText"), "caf\xC3\xA9");
}

TEST_F(ToolkitContract, TabVisitsTheTabStopsInTheirOrderStartingFromTheFirst) {
    toolkit::Form& f = shown();
    std::vector<std::string> visited{ui().focusedControl(f)};
    for (int i = 0; i < 5; ++i) {
        ui().pressKey(f, tabKey);
        visited.push_back(ui().focusedControl(f));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"cmdGo", "chkA", "fil", "Dir", "chkIn", "cmdGo"}));
}

TEST_F(ToolkitContract, MouseUpComesBeforeClick) {
    toolkit::Form& f = shown();
    std::vector<std::string> events;
    f.commandButton("cmdGo").onMouseUp(
        [&](int, std::int16_t, float, float) { events.push_back("MouseUp"); });
    f.commandButton("cmdGo").onClick([&] { events.push_back("Click"); });
    ui().click(f, "cmdGo");
    EXPECT_EQ(events, (std::vector<std::string>{"MouseUp", "Click"}));
}

TEST_F(ToolkitContract, MouseUpThatTakesTheFocusAwayStillLeavesAClick) {
    toolkit::Form& f = shown();
    int clicks = 0;
    f.commandButton("cmdGo").onMouseUp([&](int, std::int16_t, float, float) { f.setFocus(); });
    f.commandButton("cmdGo").onClick([&] { ++clicks; });
    ui().click(f, "cmdGo");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ui().focusedControl(f), "") << "the form itself has the focus";
}

TEST_F(ToolkitContract, ACheckBoxChangesBeforeItsClickAndNotWhenTheFocusArrives) {
    toolkit::Form& f = shown();
    std::vector<int> seen;
    f.checkBox("chkA").onClick([&] { seen.push_back(f.checkBox("chkA").value()); });
    ui().pressKey(f, tabKey);
    ASSERT_EQ(ui().focusedControl(f), "chkA");
    EXPECT_EQ(f.checkBox("chkA").value(), 0) << "the focus toggles nothing";
    EXPECT_TRUE(seen.empty());
    ui().click(f, "chkA");
    ui().click(f, "chkA");
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
    f.checkBox("chkA").setValue(1);
    EXPECT_EQ(seen.size(), 2u) << "setting the value by code raises nothing";
}

TEST_F(ToolkitContract, AFileListRaisesClickOnASelectionAndNeverForFocusOrRelisting) {
    toolkit::Form& f = shown();
    toolkit::FileListBox& fil = f.fileListBox("fil");
    int clicks = 0;
    fil.onClick([&] { ++clicks; });
    fil.setPath("C:\\");
    EXPECT_EQ(fil.listCount(), 3);
    EXPECT_EQ(fil.listIndex(), -1);
    ui().pressKey(f, tabKey);
    ui().pressKey(f, tabKey);
    ASSERT_EQ(ui().focusedControl(f), "fil");
    tk().doEvents();
    EXPECT_EQ(clicks, 0) << "the focus arriving on the list";
    EXPECT_EQ(fil.listIndex(), -1);

    ui().clickRow(f, "fil", 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(fil.fileName(), "b.txt");
    ui().clickRow(f, "fil", 1);
    EXPECT_EQ(clicks, 1) << "the name was selected already";
    ui().pressKey(f, key::down);
    EXPECT_EQ(clicks, 2) << "the keyboard selects too";
    EXPECT_EQ(fil.fileName(), "c.txt");

    fil.setListIndex(0);
    fil.setListIndex(0);
    EXPECT_EQ(clicks, 4) << "code raises Click each time";
    fil.setPath("C:\\Data");
    EXPECT_EQ(clicks, 4) << "relisting";
    EXPECT_EQ(fil.listIndex(), -1);
    EXPECT_THROW(fil.setPath("D:\\"), toolkit::PathUnavailable);
    EXPECT_EQ(fil.path(), "C:\\Data");
}

TEST_F(ToolkitContract, AFolderListRaisesChangeWhenItsPathChangesByCodeOrByTheUser) {
    toolkit::Form& f = shown();
    toolkit::DirListBox& dir = f.dirListBox("Dir");
    std::vector<std::string> changes;
    dir.onChange([&] { changes.push_back(dir.path()); });
    dir.setPath("C:\\");
    dir.setPath("C:\\");
    EXPECT_EQ(changes, (std::vector<std::string>{"C:\\"}));
    EXPECT_EQ(ui().rows(f, "Dir").size(), 2u) << "the root and its folder";
    ui().doubleClickRow(f, "Dir", 1);
    EXPECT_EQ(changes, (std::vector<std::string>{"C:\\", "C:\\Data"}));
    EXPECT_THROW(dir.setPath("D:\\"), toolkit::PathUnavailable);
    EXPECT_EQ(dir.path(), "C:\\Data");
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(ToolkitContract, TheEventPumpLetsPendingHandlersRunInsideAHandler) {
    toolkit::Form& f = shown();
    std::vector<std::string> events;
    f.onKeyDown([&](std::int16_t& code, std::int16_t) {
        if (code == key::right) events.push_back("KeyDown");
    });
    f.commandButton("cmdGo").onClick([&] {
        events.push_back("Click");
        ui().postKey(f, key::right);
        for (int i = 0; i < 10 && events.size() < 2; ++i) tk().doEvents();
        events.push_back("Click done");
    });
    ui().click(f, "cmdGo");
    EXPECT_EQ(events, (std::vector<std::string>{"Click", "KeyDown", "Click done"}));
}

TEST_F(ToolkitContract, AVolumeThatComesOrGoesRaisesDeviceChange) {
    toolkit::Form& f = shown();
    int changes = 0;
    f.onDeviceChange([&] { ++changes; });
    if (!ui().announceVolumeChange(f)) GTEST_SKIP() << "no volume can come or go here (root?)";
    for (int i = 0; i < 100 && changes == 0; ++i) {
        tk().doEvents();
        if (changes == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GE(changes, 1);
}

TEST_F(ToolkitContract, KeyPreviewSeesKeysOfTheFocusedControlOnceWithWindowsKeyCodes) {
    toolkit::Form& f = shown();
    std::vector<int> codes;
    std::vector<int> shifts;
    f.onKeyDown([&](std::int16_t& code, std::int16_t shift) {
        codes.push_back(code);
        shifts.push_back(shift);
    });
    ASSERT_EQ(ui().focusedControl(f), "cmdGo");
    ui().pressKey(f, key::right);
    ui().pressKey(f, key::left);
    ui().pressKey(f, 'E');
    ui().pressKey(f, 'Z', toolkit::shift_state::shift);
    // Shift is a key of its own (16) before the shifted letter.
    EXPECT_EQ(codes, (std::vector<int>{39, 37, 69, 16, 90}));
    EXPECT_EQ(shifts, (std::vector<int>{0, 0, 0, 1, 1}));
}

TEST_F(ToolkitContract, KeyCodeSetToZeroKeepsTheKeyFromTheControl) {
    toolkit::Form& f = shown();
    int clicks = 0;
    f.commandButton("cmdGo").onClick([&] { ++clicks; });
    f.onKeyDown([](std::int16_t& code, std::int16_t) { code = 0; });
    ASSERT_EQ(ui().focusedControl(f), "cmdGo");
    ui().pressKey(f, spaceKey);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ToolkitContract, MessageBoxesGoThroughTheSeamWithTheAppTitleByDefault) {
    tk().msgBox("Hello", toolkit::msgbox_style::okOnly);
    tk().msgBox("Oops", toolkit::msgbox_style::critical, "Error");
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], (toolkit::MessageBoxRequest{"Hello", 0, "Volscope"}));
    EXPECT_EQ(boxes.shown[1], (toolkit::MessageBoxRequest{"Oops", 16, "Error"}));
}

TEST_F(ToolkitContract, FailureEscapingAHandlerIsReportedWithTheAppTitleAndEndsTheProgram) {
    toolkit::Form& f = shown();
    f.commandButton("cmdGo").onClick([] { throw std::overflow_error("Overflow"); });
    ui().click(f, "cmdGo");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].prompt.find("Overflow"), std::string::npos);
    EXPECT_EQ(boxes.shown[0].title, "Volscope");
    EXPECT_EQ(boxes.shown[0].style, toolkit::msgbox_style::critical);
    EXPECT_TRUE(tk().ended());
    EXPECT_FALSE(f.visible());
}

TEST_F(ToolkitContract, AnImageGivenAnothersPictureHoldsThatVeryPicture) {
    toolkit::Form& f = shown();
    toolkit::Image& a = f.image("imgA");
    toolkit::Image& b = f.image("imgB");
    ASSERT_FALSE(a.picture().empty()) << "the layout's picture resource";
    EXPECT_TRUE(b.picture().empty());
    EXPECT_EQ(a.width(), toolkit::toTwips(ui().geometry(f, "imgA").width, ui().dpi()))
        << "its size on the screen";
    b.setPicture(a.picture());
    EXPECT_EQ(b.picture().handle(), a.picture().handle());
    EXPECT_EQ(b.picture(), a.picture());
    EXPECT_EQ(b.width(), a.width());
    b.setLeft(1234.5f);
    EXPECT_EQ(b.left(), 1234.5f) << "Left is kept exactly as set";
}

// At 96 DPI the 48-pixel image, at 192 (or twice the pixels on Qt) the 96-pixel one, drawn for
// that size: pixel for pixel, not the 48-pixel image enlarged.
TEST_F(ToolkitContract, AnImageShowsTheIconsImageDrawnForTheScreensScale) {
    toolkit::Form& f = shown();
    const int side = toolkit::toPixels(720, ui().dpi());
    EXPECT_EQ(f.image("imgA").width(), 720) << "the picture keeps its size in twips";
    const fake::PixelRect at = inClientArea("imgA");
    ASSERT_EQ(at.width, side);
    const icon_file::IconFile file =
        icon_file::readIconFile(std::string(VOLSCOPE_RESOURCES_DIR) + "/drive_fixed.ico");
    const icon_file::Image* drawn = icon_file::firstImage(file, side, 8);
    ASSERT_NE(drawn, nullptr) << "no image drawn for " << ui().dpi() << " DPI";

    const std::vector<std::uint32_t> screen = ui().clientPixels(f);
    const auto width = static_cast<std::size_t>(ui().clientArea(f).width);
    const auto shown = [&](int x, int y) {
        return screen[static_cast<std::size_t>(at.top + y) * width +
                      static_cast<std::size_t>(at.left + x)];
    };
    const std::uint32_t background = shown(-1, 0);
    int wrong = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * side + x);
            const icon_file::Rgb c = drawn->palette[drawn->pixels[i]];
            const std::uint32_t expected =
                drawn->transparent[i] ? background : (c.r << 16u) | (c.g << 8u) | c.b;
            if (shown(x, y) != expected) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << side * side << " pixels at " << ui().dpi() << " DPI";
}

TEST_F(ToolkitContract, AControlInsideAContainerIsClippedToItsInside) {
    toolkit::Form& f = shown();
    const std::vector<std::uint32_t> screen = ui().clientPixels(f);
    const fake::PixelRect client = ui().clientArea(f);
    const fake::PixelRect box = inClientArea("pctBox");
    const fake::PixelRect frame = inClientArea("fmeBox");
    const auto within = [](const fake::PixelRect& r, int x, int y, int inset) {
        return x >= r.left + inset && x < r.left + r.width - inset && y >= r.top + inset &&
               y < r.top + r.height - inset;
    };
    int green = 0;
    int red = 0;
    for (int y = 0; y < client.height; ++y) {
        for (int x = 0; x < client.width; ++x) {
            const std::uint32_t pixel =
                screen[static_cast<std::size_t>(y) * static_cast<std::size_t>(client.width) +
                       static_cast<std::size_t>(x)];
            if (pixel == 0x00FF00u) {
                ++green;
                EXPECT_TRUE(within(box, x, y, 1))
                    << "green at " << x << "," << y << ": over the picture box's border or beyond";
            }
            if (pixel == 0xFF0000u) {
                ++red;
                EXPECT_TRUE(within(frame, x, y, 0))
                    << "red at " << x << "," << y << ": beyond the frame";
            }
            if (::testing::Test::HasFailure()) return;
        }
    }
    EXPECT_GT(green, 0);
    EXPECT_GT(red, 0);
}

TEST_F(ToolkitContract, APictureBoxWithTheFocusShowsIt) {
    toolkit::Form& f = shown();
    const fake::PixelRect box = inClientArea("pctBox");
    const auto boxPixels = [&] {
        const std::vector<std::uint32_t> screen = ui().clientPixels(f);
        const auto width = static_cast<std::size_t>(ui().clientArea(f).width);
        std::vector<std::uint32_t> inside;
        for (int y = box.top; y < box.top + box.height; ++y)
            for (int x = box.left; x < box.left + box.width; ++x)
                inside.push_back(
                    screen[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)]);
        return inside;
    };
    const std::vector<std::uint32_t> unfocused = boxPixels();
    ui().click(f, "pctBox");
    ASSERT_EQ(ui().focusedControl(f), "pctBox");
    EXPECT_NE(boxPixels(), unfocused) << "no focus mark";
}

// With nothing selected the list has a current row (the first) that is not selected; the first
// key selects the row it names instead of moving on from the current one.
struct FirstKeyRow {
    const char* name;
    std::int16_t key;
    std::int32_t selects;
};

class FirstKeyContract : public ToolkitContract,
                         public ::testing::WithParamInterface<FirstKeyRow> {};

TEST_P(FirstKeyContract, TheFirstKeyInAListWithNothingSelectedSelectsTheRowItNames) {
    toolkit::Form& f = shown();
    toolkit::FileListBox& fil = f.fileListBox("fil");
    int clicks = 0;
    fil.onClick([&] { ++clicks; });
    fil.setPath("C:\\");
    ui().pressKey(f, tabKey);
    ui().pressKey(f, tabKey);
    ASSERT_EQ(ui().focusedControl(f), "fil");
    ui().pressKey(f, GetParam().key);
    EXPECT_EQ(fil.listIndex(), GetParam().selects);
    EXPECT_EQ(clicks, 1);
    ui().pressKey(f, key::up);
    EXPECT_EQ(fil.listIndex(), std::max(0, GetParam().selects - 1)) << "then the keys move on";
}

INSTANTIATE_TEST_SUITE_P(Rows, FirstKeyContract,
                         ::testing::Values(FirstKeyRow{"Down", key::down, 0},
                                           FirstKeyRow{"Up", key::up, 0},
                                           FirstKeyRow{"Home", key::home, 0},
                                           FirstKeyRow{"End", key::end, 2}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(ToolkitContract, AskingForAControlTheLayoutLacksThrows) {
    toolkit::Form& f = shown();
    EXPECT_THROW(f.label("lblMissing"), std::out_of_range);
    EXPECT_THROW(f.label("cmdGo"), std::out_of_range) << "a button is not a label";
}

}  // namespace
