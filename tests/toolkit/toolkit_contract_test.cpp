// The toolkit contract on the windows' layout, input, events, lists, message boxes and failures
// (the window and fixture are in toolkit_contract.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "tests/toolkit/toolkit_contract.h"
#include "toolkit/twips.h"

namespace {

using namespace contract;

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

struct FirstKeyRow {
    const char* name;
    std::int16_t key;
    std::int32_t selects;
};

class ToolkitContractFirstKey : public ToolkitContract,
                                public ::testing::WithParamInterface<FirstKeyRow> {};

TEST_P(ToolkitContractFirstKey, TheFirstKeyInAListWithNothingSelectedSelectsTheRowItNames) {
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

INSTANTIATE_TEST_SUITE_P(Rows, ToolkitContractFirstKey,
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
