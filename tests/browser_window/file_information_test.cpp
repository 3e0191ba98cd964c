#include <gtest/gtest.h>

#include <algorithm>

#include "main_window/frm_main.h"
#include "tests/support/window_test.h"

namespace {

using platform::FileTime;

constexpr FileTime monday2004{0xA4CC9F80U, 0x01C3D394U};   // 2004-01-05 14:03:07 UTC
constexpr FileTime friday2005{0x45902980U, 0x01C52116U};   // 2005-03-04 23:59:59 UTC
constexpr FileTime moonLanding{0x9A3D0A00U, 0x019D30E0U};  // 1969-07-20 20:17:40 UTC
constexpr FileTime year2100{0x77640000U, 0x022F7163U};     // 2100-01-01 00:00:00 UTC
constexpr const char* zeroTime = "00:00:00;   Monday 01, January 1601";

// The browser over drive C of the fake: notes.txt with known times and a
// text icon, and files to select by name.
class FileInformationTest : public fake::WindowTest {
  protected:
    FileInformationTest() {
        os.setDrive('C', {});
        os.setExtensionIcon("txt", "text-plain");
        os.addFile("C:\\notes.txt", {.size = 1023,
                                     .creationTime = moonLanding,
                                     .lastAccessTime = year2100,
                                     .lastWriteTime = monday2004});
        os.addFile("C:\\Data\\deep.txt", {.size = 5, .lastWriteTime = friday2005});
        main.form().show();
        main.cmdBrowse_Click();
    }

    browser_window::FrmBrowser& b() { return main.frmBrowser(); }
    void select(const std::string& name) {
        for (std::int32_t i = 0; i < b().fil.listCount(); ++i) {
            b().fil.setListIndex(i);
            if (b().fil.fileName() == name) return;
        }
        FAIL() << name << " is not listed";
    }
    bool iconDrawn() { return ui.hasDrawing(b().form(), "pctIcon"); }

    main_window::FrmMain main{toolkit, modVolscope};
};

TEST_F(FileInformationTest, SelectingAFileFillsEveryLabelAndDrawsItsIcon) {
    select("notes.txt");
    EXPECT_EQ(b().lblFullName.caption(), "Full Filename: C:\\notes.txt");
    EXPECT_EQ(b().lblDOSFilename.caption(), "DOS Filename: C:\\notes.txt");
    EXPECT_EQ(b().lblSize.caption(), "Size: 1023 bytes, 0 KB.");
    EXPECT_EQ(b().lblCreated.caption(), "Created: 20:17:40;   Sunday 20, July 1969");
    EXPECT_EQ(b().lblLastAccessed.caption(), "Last Accessed: 00:00:00;   Friday 01, January 2100");
    EXPECT_EQ(b().lblLastModified.caption(), "Last Modified: 14:03:07;   Monday 05, January 2004");
    EXPECT_TRUE(iconDrawn());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(os.openFiles(), 0u) << "the handle is closed within the refresh";
}

struct SizeRow {
    const char* name;
    std::uint64_t bytes;
    const char* caption;
};

class SizeTest : public FileInformationTest, public ::testing::WithParamInterface<SizeRow> {};

TEST_P(SizeTest, ShowsBytesAndWholeKilobytes) {
    os.addFile("C:\\sized.bin", {.size = GetParam().bytes});
    b().Dir.setPath("C:\\Data");
    b().Dir.setPath("C:\\");
    select("sized.bin");
    EXPECT_EQ(b().lblSize.caption(), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SizeTest,
    ::testing::Values(SizeRow{"Empty", 0, "Size: 0 bytes, 0 KB."},
                      SizeRow{"OneByteShortOfAKilobyte", 1023, "Size: 1023 bytes, 0 KB."},
                      SizeRow{"OneKilobyte", 1024, "Size: 1024 bytes, 1 KB."},
                      SizeRow{"OneByteShortOfAMegabyte", 1048575, "Size: 1048575 bytes, 1023 KB."},
                      SizeRow{"BeyondTwoGibibytes", 5000000000,
                              "Size: 5000000000 bytes, 4882812 KB."}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(FileInformationTest, FileOpenForWritingElsewhereGivesTheReadErrorAndTheZeroTime) {
    os.setHeldForWriting("C:\\notes.txt");
    select("notes.txt");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (toolkit::MessageBoxRequest{"File Read Error.", 16, "Error"}));
    EXPECT_EQ(b().lblCreated.caption(), std::string("Created: ") + zeroTime);
    EXPECT_EQ(b().lblLastAccessed.caption(), std::string("Last Accessed: ") + zeroTime);
    EXPECT_EQ(b().lblLastModified.caption(), std::string("Last Modified: ") + zeroTime);
    EXPECT_EQ(b().lblSize.caption(), "Size: 1023 bytes, 0 KB.");
    select("notes.txt");
    EXPECT_EQ(boxes.shown.size(), 2u) << "once per selection";
}

TEST_F(FileInformationTest, FileThatVanishedIsReportedOnceWithNothingStale) {
    os.addFile("C:\\gone.txt", {.size = 77});
    b().Dir.setPath("C:\\Data");
    b().Dir.setPath("C:\\");
    select("notes.txt");
    os.remove("C:\\gone.txt");
    select("gone.txt");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_NE(boxes.shown[0].prompt.find("C:\\gone.txt"), std::string::npos);
    EXPECT_EQ(b().lblFullName.caption(), "Full Filename: C:\\gone.txt");
    EXPECT_EQ(b().lblSize.caption(), "Size: ");
    EXPECT_EQ(b().lblLastModified.caption(), "Last Modified: ");
    EXPECT_FALSE(toolkit.ended());
}

// The shell has no icon for a file it cannot find.
TEST_F(FileInformationTest, FileWithoutIconLeavesTheIconBoxCleared) {
    os.addFile("C:\\noicon.zzz", {.size = 1});
    b().Dir.setPath("C:\\Data");
    b().Dir.setPath("C:\\");
    select("notes.txt");
    ASSERT_TRUE(iconDrawn());
    os.remove("C:\\noicon.zzz");
    select("noicon.zzz");
    EXPECT_FALSE(iconDrawn()) << "not the previous file's icon";
}

TEST_F(FileInformationTest, OpeningAnotherFolderLeavesThePanelOnTheSelectedFile) {
    select("notes.txt");
    b().Dir.setPath("C:\\Data");
    EXPECT_EQ(b().lblFullName.caption(), "Full Filename: C:\\notes.txt");
    EXPECT_EQ(b().lblSize.caption(), "Size: 1023 bytes, 0 KB.");
    EXPECT_TRUE(iconDrawn());
    select("deep.txt");
    EXPECT_EQ(b().lblFullName.caption(), "Full Filename: C:\\Data\\deep.txt");
    EXPECT_EQ(b().lblLastModified.caption(), "Last Modified: 23:59:59;   Friday 04, March 2005");
}

// Line breaks and bytes no text carries (U+F0E9 is the Linux backend's byte E9) are shown, not
// obeyed; the system is given the real names.
TEST_F(FileInformationTest, OddNamesAreShownVisiblyAndReachTheirOwnFiles) {
    os.addFile("C:\\line\nbreak.txt", {.size = 7});
    os.addFile("C:\\caf\uf0e9.txt");
    os.addFolder("C:\\tab\tfolder");
    b().Dir.setPath("C:\\Data");
    b().Dir.setPath("C:\\");
    EXPECT_EQ(ui.rows(b().form(), "fil"),
              (std::vector<std::string>{"caf\u20390xE9\u203a.txt", "line\u2039LF\u203abreak.txt",
                                        "notes.txt"}));
    select("line\nbreak.txt");
    EXPECT_EQ(ui.text(b().form(), "lblFullName"), "Full Filename: C:\\line\u2039LF\u203abreak.txt");
    EXPECT_EQ(b().lblFullName.caption(), "Full Filename: C:\\line\nbreak.txt");
    EXPECT_EQ(b().lblSize.caption(), "Size: 7 bytes, 0 KB.");
    const std::vector<std::string>& calls = os.calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "GetShortPathNameA(C:\\line\nbreak.txt)"),
              calls.end());

    os.remove("C:\\line\nbreak.txt");
    select("line\nbreak.txt");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt,
              "The file C:\\line\u2039LF\u203abreak.txt cannot be found any more.");

    const std::vector<std::string> folders = ui.rows(b().form(), "Dir");
    const auto row = std::find(folders.begin(), folders.end(), "  tab\u2039HT\u203afolder");
    ASSERT_NE(row, folders.end());
    ui.doubleClickRow(b().form(), "Dir", static_cast<std::int32_t>(row - folders.begin()));
    EXPECT_EQ(b().Dir.path(), "C:\\tab\tfolder");
}

TEST_F(FileInformationTest, TimeTheSystemCannotConvertShowsAFixedText) {
    os.addFile("C:\\odd.txt", {.lastWriteTime = FileTime{0, 0x80000000U}});
    b().Dir.setPath("C:\\Data");
    b().Dir.setPath("C:\\");
    select("odd.txt");
    EXPECT_EQ(b().lblLastModified.caption(),
              std::string("Last Modified: ") + volume_queries::ModVolscope::timeOutOfRange);
}

}  // namespace
