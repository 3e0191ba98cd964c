#include "browser_window/frm_browser.h"

#include <gtest/gtest.h>

#include "main_window/frm_main.h"
#include "tests/support/window_test.h"

namespace {

namespace type = platform::drive_type;
namespace attribute = platform::file_attribute;
using browser_window::FrmBrowser;

constexpr const char* noDriveMessage = "This drive does not exist or is unavailable.";
constexpr const char* cannotBrowseMessage =
    "An error has occurred while trying to browse this drive.  Make sure the disk is properly "
    "insterted, or properly connected physically.";

// The main window and its browser on the toolkit's real widgets over a scripted system:
// C: a few files, a hidden and a system one, and folders; D: a CD-ROM drive without a disc;
// E: one file; F: nothing but an empty folder; G: unreadable root; nothing elsewhere.
class BrowserTest : public fake::WindowTest {
  protected:
    BrowserTest() {
        os.setDrive('C', {.type = type::fixed});
        os.addFile("C:\\b.txt");
        os.addFile("C:\\a.txt");
        os.addFile("C:\\c.txt");
        os.addFile("C:\\secret.txt", {.attributes = attribute::hidden | attribute::archive});
        os.addFile("C:\\boot.sys", {.attributes = attribute::system});
        os.addFile("C:\\Data\\Notes.txt");
        os.addFolder("C:\\Data\\Sub");
        os.addFolder("C:\\Empty");
        os.addFile("C:\\Empty\\.hidden", {.attributes = attribute::hidden});
        os.setDrive('D', {.type = type::cdrom, .hasVolume = false});
        os.setDrive('E', {.type = type::removable});
        os.addFile("E:\\only.doc");
        os.setDrive('F', {.type = type::fixed});
        os.addFolder("F:\\Nothing");
        os.setDrive('G', {.type = type::remote});
        os.setUnreadable("G:\\");
        main.form().show();
    }

    // Moves the main window to a letter the way the user would, by typing it.
    void goTo(char letter) {
        ui.pressKey(main.form(), letter);
        ASSERT_EQ(modVolscope.CurrentDrive, std::string(1, letter));
    }
    void browse() { ui.click(main.form(), "cmdBrowse"); }
    FrmBrowser& browser() { return main.frmBrowser(); }
    bool browserShown() { return browser().form().visible(); }
    void click(const char* name) { ui.click(browser().form(), name); }
    // The folder list's lines without their indentation.
    std::vector<std::string> folderLines() {
        std::vector<std::string> lines = ui.rows(browser().form(), "Dir");
        for (std::string& line : lines) line.erase(0, line.find_first_not_of(' '));
        return lines;
    }
    std::vector<std::string> shownPrompts() const {
        std::vector<std::string> prompts;
        for (const auto& box : boxes.shown) prompts.push_back(box.prompt);
        return prompts;
    }

    main_window::FrmMain main{toolkit, modVolscope};
};

TEST_F(BrowserTest, BrowseOpensTheBrowserOnTheCurrentDrivesRootWithoutSelection) {
    browse();
    EXPECT_TRUE(browserShown());
    EXPECT_EQ(browser().Dir.path(), "C:\\");
    EXPECT_EQ(browser().fil.path(), "C:\\");
    EXPECT_EQ(browser().fil.listCount(), 3) << "hidden and system files are not listed";
    EXPECT_EQ(browser().fil.listIndex(), -1);
    EXPECT_EQ(browser().fil.fileName(), "");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(browser().form().caption(), "Browser");
}

TEST_F(BrowserTest, FilesAreSortedAndFoldersListedBelowThePath) {
    browse();
    browser().fil.setListIndex(0);
    EXPECT_EQ(browser().fil.fileName(), "a.txt");
    browser().fil.setListIndex(2);
    EXPECT_EQ(browser().fil.fileName(), "c.txt");

    EXPECT_EQ(folderLines(), (std::vector<std::string>{"C:\\", "Data", "Empty"}))
        << "the root, then its folders Data and Empty";
}

TEST_F(BrowserTest, FilesSortAsTheDesktopsFileDialogsSortThem) {
    for (const char* name :
         {"file10.txt", "b.txt", "File2.txt", "A.txt", "file1.txt", "file02b.txt"})
        os.addFile(std::string("F:\\Nothing\\") + name);
    goTo('F');
    browse();
    browser().Dir.setPath("F:\\Nothing");
    std::vector<std::string> order;
    for (std::int32_t i = 0; i < browser().fil.listCount(); ++i) {
        browser().fil.setListIndex(i);
        order.push_back(browser().fil.fileName());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"A.txt", "b.txt", "file1.txt", "File2.txt",
                                               "file02b.txt", "file10.txt"}));
}

TEST_F(BrowserTest, OpeningAFolderMovesTheFileListThere) {
    browse();
    ui.clickRow(browser().form(), "Dir", 1);
    constexpr std::int16_t enterKey = 13;
    ui.pressKey(browser().form(), enterKey);
    EXPECT_EQ(browser().Dir.path(), "C:\\Data");
    EXPECT_EQ(browser().fil.path(), "C:\\Data");
    EXPECT_EQ(browser().fil.listCount(), 1);
    EXPECT_EQ(folderLines(), (std::vector<std::string>{"C:\\", "Data", "Sub"}))
        << "the root, Data, and its folder Sub";

    browser().fil.setListIndex(0);
    EXPECT_EQ(browser().SelectedFilePath(), "C:\\Data\\Notes.txt");
}

TEST_F(BrowserTest, FolderHoldingOnlyHiddenFilesShowsAnEmptyList) {
    browse();
    browser().Dir.setPath("C:\\Empty");
    EXPECT_EQ(browser().fil.listCount(), 0);
}

TEST_F(BrowserTest, SelectedFilePathHasExactlyOneSeparatorBetweenParts) {
    browse();
    EXPECT_EQ(browser().SelectedFilePath(), "C:\\") << "no selection: the bare root";
    browser().fil.setListIndex(1);
    EXPECT_EQ(browser().SelectedFilePath(), "C:\\b.txt");
    browser().Dir.setPath("C:\\Data");
    EXPECT_EQ(browser().SelectedFilePath(), "C:\\Data\\");
    browser().fil.setListIndex(0);
    EXPECT_EQ(browser().SelectedFilePath(), "C:\\Data\\Notes.txt");
}

TEST_F(BrowserTest, LetterWithoutDriveGivesOnlyTheFirstMessageAndLeavesAnOpenBrowserAlone) {
    browse();
    browser().Dir.setPath("C:\\Data");
    browser().fil.setListIndex(0);
    goTo('Q');
    browse();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (toolkit::MessageBoxRequest{noDriveMessage, 0, "Error"}));
    EXPECT_TRUE(browserShown());
    EXPECT_EQ(browser().Dir.path(), "C:\\Data");
    EXPECT_EQ(browser().fil.fileName(), "Notes.txt");
}

TEST_F(BrowserTest, LetterWithoutDriveShowsNoBrowser) {
    goTo('Q');
    browse();
    EXPECT_EQ(shownPrompts(), std::vector<std::string>{noDriveMessage});
    EXPECT_FALSE(browserShown());
}

TEST_F(BrowserTest, EmptyVolumeOpensWithEmptyListsAndNoMessage) {
    os.setDrive('H', {.type = type::removable});
    goTo('H');
    browse();
    EXPECT_TRUE(browserShown());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(folderLines(), std::vector<std::string>{"H:\\"});
    EXPECT_EQ(browser().fil.listCount(), 0);
}

struct UnreadableRow {
    const char* name;
    char letter;
};

class UnreadableRootTest : public BrowserTest,
                           public ::testing::WithParamInterface<UnreadableRow> {};

// The browser is shown first, then the message, then it is hidden.
TEST_P(UnreadableRootTest, ShowsTheBrowserThenTheMessageAndHidesIt) {
    goTo(GetParam().letter);
    bool visibleDuringMessage = false;
    boxes.onShow = [&] { visibleDuringMessage = browserShown(); };
    browse();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown.at(0), (toolkit::MessageBoxRequest{cannotBrowseMessage, 0, "Error"}));
    EXPECT_TRUE(visibleDuringMessage);
    EXPECT_FALSE(browserShown());
    EXPECT_FALSE(browser().form().unloaded()) << "it stays loaded, hidden";
}

INSTANTIATE_TEST_SUITE_P(Rows, UnreadableRootTest,
                         ::testing::Values(UnreadableRow{"EmptyCdromDrive", 'D'},
                                           UnreadableRow{"UnreadableNetworkRoot", 'G'}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(BrowserTest, BrowseAfterSteppingBringsTheOpenBrowserToTheNewRootWithoutSelection) {
    browse();
    browser().fil.setListIndex(2);
    goTo('E');
    browse();
    EXPECT_TRUE(browserShown());
    EXPECT_EQ(browser().Dir.path(), "E:\\");
    EXPECT_EQ(browser().fil.path(), "E:\\");
    EXPECT_EQ(browser().fil.listCount(), 1);
    EXPECT_EQ(browser().fil.listIndex(), -1);
}

// "Close", and the close box (the title bar's, Alt+F4).
TEST_F(BrowserTest, CloseUnloadsAndTheNextBrowseBuildsItAfresh) {
    for (const bool closeBox : {false, true}) {
        browse();
        browser().chkHidden.setValue(1);
        browser().lblSize.setCaption("Size: 12 bytes, 0 KB.");
        FrmBrowser* first = &browser();
        if (closeBox)
            ui.requestClose(first->form());
        else
            click("cmdClose");
        EXPECT_TRUE(first->form().unloaded()) << closeBox;
        EXPECT_FALSE(first->form().visible());
        EXPECT_TRUE(main.form().visible()) << "the program goes on with its main window";
        EXPECT_FALSE(toolkit.ended());

        browse();
        EXPECT_NE(&browser(), first);
        EXPECT_TRUE(browserShown());
        EXPECT_EQ(browser().lblSize.caption(), "Size:");
        EXPECT_EQ(browser().chkHidden.value(), 0);
    }
}

TEST_F(BrowserTest, FreshBrowserShowsTheLayoutCaptionsAndFourClearBoxes) {
    browse();
    FrmBrowser& b = browser();
    EXPECT_EQ(b.lblFullName.caption(), "Full Filename:");
    EXPECT_EQ(b.lblDOSFilename.caption(), "DOS Filename:");
    EXPECT_EQ(b.lblSize.caption(), "Size:");
    EXPECT_EQ(b.lblCreated.caption(), "Created: ");
    EXPECT_EQ(b.lblLastModified.caption(), "Last Modified: ");
    EXPECT_EQ(b.lblLastAccessed.caption(), "Last Accessed:");
    for (const toolkit::CheckBox* box : {&b.chkReadOnly, &b.chkHidden, &b.chkArchive, &b.chkSystem})
        EXPECT_EQ(box->value(), 0);
    EXPECT_EQ(b.chkReadOnly.caption(), "Read Only");
    EXPECT_EQ(b.chkHidden.caption(), "Hidden");
    EXPECT_EQ(b.chkArchive.caption(), "Archive");
    EXPECT_EQ(b.chkSystem.caption(), "System");
    EXPECT_EQ(b.cmdExecute.caption(), "Open");
    EXPECT_EQ(b.cmdClose.caption(), "Close");
    EXPECT_EQ(ui.text(b.form(), "fmeFileInfo"), "File Information:");
}

struct StepRow {
    const char* name;
    const char* button;
    std::int32_t from;
    std::int32_t expected;
};

class FileSteppingTest : public BrowserTest, public ::testing::WithParamInterface<StepRow> {};

TEST_P(FileSteppingTest, StepsWithWrapAround) {
    const StepRow& row = GetParam();
    browse();
    browser().fil.setListIndex(row.from);
    click(row.button);
    EXPECT_EQ(browser().fil.listIndex(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileSteppingTest,
    ::testing::Values(StepRow{"NextFromNoneSelectsTheFirst", "cmdNext", -1, 0},
                      StepRow{"NextMovesOn", "cmdNext", 0, 1},
                      StepRow{"NextWrapsFromTheLastToTheFirst", "cmdNext", 2, 0},
                      StepRow{"PrevMovesBack", "cmdPrev", 2, 1},
                      StepRow{"PrevWrapsFromTheFirstToTheLast", "cmdPrev", 0, 2},
                      StepRow{"PrevFromNoneSelectsTheLast", "cmdPrev", -1, 2}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(BrowserTest, OneFileListKeepsItsFileSelectedEitherWay) {
    goTo('E');
    browse();
    int clicks = 0;
    browser().fil.onClick([&] { ++clicks; });
    click("cmdNext");
    EXPECT_EQ(browser().fil.listIndex(), 0);
    click("cmdNext");
    click("cmdPrev");
    EXPECT_EQ(browser().fil.listIndex(), 0);
    EXPECT_EQ(clicks, 3) << "every step selects, and each selection is one Click";
}

TEST_F(BrowserTest, StepsInAnEmptyListChangeNothing) {
    goTo('F');
    browse();
    click("cmdNext");
    click("cmdPrev");
    EXPECT_EQ(browser().fil.listIndex(), -1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(toolkit.ended());
}

TEST_F(BrowserTest, UnreadableFolderIsReportedAndBothListsStayUsable) {
    os.setUnreadable("C:\\Data");
    browse();
    browser().fil.setListIndex(0);
    browser().Dir.setPath("C:\\Data");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_NE(boxes.shown[0].prompt.find("C:\\Data"), std::string::npos);
    EXPECT_EQ(browser().fil.path(), "C:\\") << "the file list stays where it was";
    browser().Dir.setPath("C:\\");
    EXPECT_EQ(browser().fil.listCount(), 3);
    EXPECT_FALSE(toolkit.ended());
}

TEST_F(BrowserTest, ListHoldsEveryFileBeyondSixteenBitPositions) {
    for (int i = 0; i < 33'000; ++i) os.addFile("F:\\Nothing\\f" + std::to_string(i));
    goTo('F');
    browse();
    browser().Dir.setPath("F:\\Nothing");
    ASSERT_EQ(browser().fil.listCount(), 33'000);
    browser().fil.setListIndex(32'999);
    EXPECT_EQ(browser().fil.fileName(), "f32999") << "numbers sort as numbers";
    click("cmdNext");
    EXPECT_EQ(browser().fil.listIndex(), 0);
}

struct GeometryRow {
    const char* name;
    fake::PixelRect pixels;
};

TEST_F(BrowserTest, ControlsStandWhereTheLayoutPutsThemAt96Dpi) {
    browse();
    const GeometryRow rows[] = {
        {"Dir", {8, 8, 113, 141}},
        {"fil", {128, 8, 249, 84}},
        {"cmdPrev", {184, 104, 33, 33}},
        {"pctIcon", {232, 104, 41, 41}},
        {"cmdNext", {288, 104, 33, 33}},
        {"fmeFileInfo", {8, 152, 369, 257}},
        {"lblFullName", {8, 16, 353, 33}},
        {"lblDOSFilename", {8, 56, 353, 41}},
        {"lblSize", {8, 104, 353, 17}},
        {"lblCreated", {8, 128, 353, 17}},
        {"lblLastModified", {8, 144, 353, 17}},
        {"lblLastAccessed", {8, 160, 353, 17}},
        {"chkReadOnly", {8, 192, 169, 17}},
        {"chkHidden", {192, 192, 169, 17}},
        {"chkArchive", {8, 224, 169, 17}},
        {"chkSystem", {192, 224, 169, 17}},
        {"cmdExecute", {8, 416, 81, 25}},
        {"cmdClose", {296, 416, 81, 25}},
    };
    toolkit::Form& form = browser().form();
    for (const GeometryRow& row : rows)
        EXPECT_EQ(ui.geometry(form, row.name), row.pixels) << row.name;
    EXPECT_EQ(ui.clientArea(form), (fake::PixelRect{0, 0, 386, 449}));
    EXPECT_FALSE(ui.minimizable(form));
    EXPECT_FALSE(ui.maximizable(form));
}

TEST_F(BrowserTest, FocusStartsOnTheFileListAndTabVisitsTheBoxesLast) {
    browse();
    toolkit::Form& form = browser().form();
    ui.activate(form);
    EXPECT_EQ(ui.focusedControl(form), "fil");
    browser().fil.setListIndex(0);  // the attribute boxes take the focus only with a file
    std::vector<std::string> visited;
    for (int i = 0; i < 10; ++i) {
        constexpr std::int16_t tabKey = 9;
        ui.pressKey(form, tabKey);
        visited.push_back(ui.focusedControl(form));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Dir", "cmdPrev", "cmdNext", "cmdExecute",
                                                 "cmdClose", "chkReadOnly", "chkArchive",
                                                 "chkHidden", "chkSystem", "fil"}));
}

TEST_F(BrowserTest, LongFullNameWrapsAndIsCutAtTheLabelsHeight) {
    browse();
    const std::string longName(400, 'x');
    browser().lblFullName.setCaption("Full Filename: C:\\" + longName + " " + longName);
    EXPECT_EQ(ui.geometry(browser().form(), "lblFullName").height, 33)
        << "the label keeps its size";
}

}  // namespace
