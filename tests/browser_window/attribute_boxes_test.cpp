#include <gtest/gtest.h>

#include "main_window/frm_main.h"
#include "tests/support/window_test.h"

namespace {

namespace attribute = platform::file_attribute;

// The browser on drive C of the fake: notes.txt (read-only, archive), plain.txt (archive), and
// system.dat (system, archive), which the list leaves out.
class AttributeBoxesTest : public fake::WindowTest {
  protected:
    AttributeBoxesTest() {
        os.setDrive('C', {});
        os.addFile("C:\\notes.txt", {.attributes = attribute::readOnly | attribute::archive});
        os.addFile("C:\\plain.txt", {.attributes = attribute::archive});
        os.addFile("C:\\system.dat", {.attributes = attribute::system | attribute::archive});
        main.form().show();
        main.cmdBrowse_Click();
        os.clearCalls();
    }

    browser_window::FrmBrowser& b() { return main.frmBrowser(); }
    void click(const char* name) { ui.click(b().form(), name); }
    void select(const char* name) {
        for (std::int32_t i = 0; i < b().fil.listCount(); ++i) {
            b().fil.setListIndex(i);
            if (b().fil.fileName() == name) return;
        }
        FAIL() << name << " is not listed";
    }
    std::uint32_t attributesOf(const char* path) { return os.GetFileAttributesA(path); }
    bool wroteAnything() const {
        for (const std::string& call : os.calls())
            if (call.rfind("SetFileAttributesA", 0) == 0) return true;
        return false;
    }
    std::vector<int> boxValues() {
        return {b().chkReadOnly.value(), b().chkHidden.value(), b().chkArchive.value()};
    }

    main_window::FrmMain main{toolkit, modVolscope};
};

TEST_F(AttributeBoxesTest, SelectingAFileLoadsTheBoxesWithoutWritingAnything) {
    select("notes.txt");
    EXPECT_EQ(boxValues(), (std::vector<int>{1, 0, 1}));
    select("plain.txt");
    EXPECT_EQ(boxValues(), (std::vector<int>{0, 0, 1}));
    EXPECT_FALSE(wroteAnything());
    EXPECT_TRUE(b().chkHidden.enabled());
}

// A listed file never shows System; plain.txt gets it from elsewhere once it is selected.
TEST_F(AttributeBoxesTest, EachBoxChangesOnlyItsOwnAttributeAndSystemSurvives) {
    select("plain.txt");
    ASSERT_TRUE(os.SetFileAttributesA("C:\\plain.txt", attribute::system | attribute::archive));
    click("chkHidden");
    EXPECT_EQ(attributesOf("C:\\plain.txt"),
              attribute::system | attribute::archive | attribute::hidden);
    click("chkArchive");
    EXPECT_EQ(attributesOf("C:\\plain.txt"), attribute::system | attribute::hidden);
    click("chkReadOnly");
    EXPECT_EQ(attributesOf("C:\\plain.txt"),
              attribute::system | attribute::hidden | attribute::readOnly);
    click("chkReadOnly");
    click("chkHidden");
    EXPECT_EQ(attributesOf("C:\\plain.txt"), attribute::system);
    EXPECT_EQ(boxValues(), (std::vector<int>{0, 0, 0}));

    select("notes.txt");
    select("plain.txt");
    EXPECT_EQ(boxValues(), (std::vector<int>{0, 0, 0})) << "a fresh selection reads the same";
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AttributeBoxesTest, WithNoFileSelectedTheBoxesAreDisabledAndWriteNothing) {
    EXPECT_FALSE(b().chkReadOnly.enabled());
    EXPECT_FALSE(b().chkHidden.enabled());
    EXPECT_FALSE(b().chkArchive.enabled());
    b().chkHidden.setValue(1);
    b().chkHidden_Click();
    b().chkReadOnly_Click();
    b().chkArchive_Click();
    EXPECT_FALSE(wroteAnything()) << "never to the folder either";
    EXPECT_EQ(attributesOf("C:\\"), attribute::directory);
}

TEST_F(AttributeBoxesTest, ARefusedWriteIsReportedAndTheBoxesShowTheTruth) {
    select("plain.txt");
    os.setLocked("C:\\plain.txt");
    click("chkHidden");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_NE(boxes.shown[0].prompt.find("C:\\plain.txt"), std::string::npos);
    EXPECT_EQ(b().chkHidden.value(), 0) << "the file is not hidden, and the box says so";
    EXPECT_EQ(attributesOf("C:\\plain.txt"), attribute::archive);
}

TEST_F(AttributeBoxesTest, AnAttributeTheVolumeCannotKeepIsNamedAndTheBoxShowsTheFile) {
    os.drive('C').keptAttributes = attribute::readOnly;
    select("plain.txt");
    click("chkHidden");
    const toolkit::MessageBoxRequest message{
        "The attributes of C:\\plain.txt could not be changed: its volume cannot keep the Hidden "
        "attribute.",
        toolkit::msgbox_style::critical, "Error"};
    EXPECT_EQ(boxes.shown, (std::vector<toolkit::MessageBoxRequest>{message}));
    EXPECT_EQ(b().chkHidden.value(), 0);
    click("chkReadOnly");
    EXPECT_EQ(boxes.shown.size(), 1u) << "the volume keeps Read Only";
    EXPECT_EQ(attributesOf("C:\\plain.txt"), attribute::readOnly | attribute::archive);
}

TEST_F(AttributeBoxesTest, AFileThatVanishedIsReportedAndItsBoxesDisabled) {
    select("plain.txt");
    os.remove("C:\\plain.txt");
    click("chkArchive");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_FALSE(b().chkArchive.enabled());
}

// The file selected ("" for none), and whether it has the System attribute (set after the list
// was filled, which leaves system files out).
struct SystemRow {
    const char* name;
    const char* file;
    bool system;
};

class SystemBoxTest : public AttributeBoxesTest, public ::testing::WithParamInterface<SystemRow> {};

TEST_P(SystemBoxTest, ShowsTheFilesStateAndAnswersEachClickWithItsMessageChangingNothing) {
    const SystemRow& row = GetParam();
    const std::string path = std::string("C:\\") + row.file;
    if (row.system) {
        ASSERT_TRUE(os.SetFileAttributesA(path.c_str(), attribute::system | attribute::archive));
    }
    if (*row.file != '\0') select(row.file);
    const std::uint32_t before = attributesOf(path.c_str());
    const int shown = row.system ? 1 : 0;
    EXPECT_EQ(b().chkSystem.value(), shown);
    os.clearCalls();
    for (int i = 1; i <= 2; ++i) {
        click("chkSystem");
        ASSERT_EQ(boxes.shown.size(), static_cast<std::size_t>(i));
        EXPECT_EQ(boxes.shown.back(),
                  (toolkit::MessageBoxRequest{
                      "This attribute of this particular file is unchangeable.", 0, "Error"}));
        EXPECT_EQ(b().chkSystem.value(), shown) << "click " << i;
    }
    EXPECT_FALSE(wroteAnything());
    EXPECT_EQ(attributesOf(path.c_str()), before);
    select("notes.txt");
    EXPECT_EQ(b().chkSystem.value(), 0) << "the next file shows its own state";
}

INSTANTIATE_TEST_SUITE_P(Rows, SystemBoxTest,
                         ::testing::Values(SystemRow{"NoSelection", "", false},
                                           SystemRow{"FileWithoutSystem", "plain.txt", false},
                                           SystemRow{"FileWithSystem", "plain.txt", true}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(AttributeBoxesTest, OpenHandsTheFileToTheDesktopInANormalWindow) {
    select("notes.txt");
    click("cmdExecute");
    ASSERT_EQ(os.shellExecutions().size(), 1u);
    const fake::ShellExecution& run = os.shellExecutions()[0];
    EXPECT_EQ(run.operation, "open");
    EXPECT_EQ(run.file, "C:\\notes.txt");
    EXPECT_EQ(run.parameters, "");
    EXPECT_EQ(run.directory, "C:\\");
    EXPECT_EQ(run.showCommand, 1) << "shown normally, never hidden";
    EXPECT_NE(static_cast<std::uintptr_t>(run.owner), 0u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AttributeBoxesTest, OpenThatFailsIsReported) {
    select("notes.txt");
    os.setShellExecuteResult(platform::Platform::shellNoAssociation);
    click("cmdExecute");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_NE(boxes.shown[0].prompt.find("No program"), std::string::npos);
}

// Another volume behind the letter, or another file under the name: the program acts on the file
// it listed and selected, or on nothing.

// A drive like C's, files and all, as another volume mounted in its place.
fake::Drive sameFilesOnAnotherVolume(fake::Platform& os) {
    return os.drive('C');
}

TEST_F(AttributeBoxesTest, AnotherVolumeBehindTheLetterIsNeitherWrittenNorOpened) {
    select("plain.txt");
    os.setDrive('C', sameFilesOnAnotherVolume(os));
    os.clearCalls();
    click("chkHidden");
    click("cmdExecute");
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const toolkit::MessageBoxRequest& shown : boxes.shown) {
        EXPECT_EQ(shown.title, "Error");
        EXPECT_NE(shown.prompt.find("C:\\plain.txt is no longer the one"), std::string::npos)
            << shown.prompt;
    }
    EXPECT_NE(boxes.shown[0].prompt.find("Nothing was changed."), std::string::npos);
    EXPECT_NE(boxes.shown[1].prompt.find("Nothing was opened."), std::string::npos);
    EXPECT_FALSE(wroteAnything());
    EXPECT_TRUE(os.shellExecutions().empty());
    EXPECT_EQ(attributesOf("C:\\plain.txt"), attribute::archive);
    EXPECT_EQ(b().chkHidden.value(), 0) << "the box goes back to the file's state";
    EXPECT_FALSE(b().chkReadOnly.enabled());

    select("notes.txt");
    click("chkHidden");
    EXPECT_FALSE(wroteAnything()) << "any file of the list read from the volume that went";
    b().Dir_Change();  // the file list is read again, from the volume there now
    select("notes.txt");
    click("chkHidden");
    EXPECT_TRUE(wroteAnything());
    EXPECT_EQ(attributesOf("C:\\notes.txt"),
              attribute::readOnly | attribute::hidden | attribute::archive);
}

TEST_F(AttributeBoxesTest, AnotherFileUnderTheSelectedNameIsNotWrittenButStillOpens) {
    select("plain.txt");
    os.remove("C:\\plain.txt");
    os.addFile("C:\\plain.txt", {.attributes = attribute::archive});
    click("chkReadOnly");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].prompt.find("another file has taken its name"), std::string::npos);
    EXPECT_FALSE(wroteAnything());
    click("cmdExecute");
    EXPECT_EQ(os.shellExecutions().size(), 1u) << "the same volume: its file of that name opens";
}

TEST_F(AttributeBoxesTest, FileThatCouldNotBeOpenedIsWrittenOnlyOnTheVolumeListed) {
    os.setHeldForWriting("C:\\plain.txt");
    select("plain.txt");
    ASSERT_EQ(boxes.shown.size(), 1u) << "File Read Error.";
    click("chkHidden");
    EXPECT_EQ(attributesOf("C:\\plain.txt"), attribute::archive | attribute::hidden);
    EXPECT_EQ(boxes.shown.size(), 1u);

    os.setDrive('C', sameFilesOnAnotherVolume(os));
    os.clearCalls();
    click("chkHidden");
    EXPECT_FALSE(wroteAnything());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].title, "Error");
}

}  // namespace
