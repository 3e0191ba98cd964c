// What "Open" tells the user for each way that handing a file to the desktop can fail, clicked
// through the toolkit backend's real button.
#include <gtest/gtest.h>

#include "main_window/frm_main.h"
#include "tests/support/fake_platform.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/ui_driver.h"

namespace {

using platform::Platform;

struct FailureRow {
    std::intptr_t result;
    const char* why;
};

TEST(OpenFailure, EachResultOfTheDesktopIsNamedInTheErrorMessage) {
    const FailureRow rows[] = {
        {Platform::shellFileNotFound, "It cannot be found."},
        {Platform::shellNoAssociation, "No program is associated with its type."},
        {Platform::shellDllNotFound, "The program that opens files is not installed."},
        {Platform::shellDdeFailed, "The program that opens files reported a failure."},
        {Platform::shellOutOfMemory, "It could not be opened."},
        {0, "It could not be opened."},
    };
    for (const FailureRow& row : rows) {
        fake::Platform os;
        os.setDrive('C', {});
        os.addFile("C:\\notes.txt");
        os.setShellExecuteResult(row.result);
        volume_queries::ModVolscope modVolscope{os};
        fake::RecordingMessageBoxes boxes;
        fake::TestBackend backend = fake::makeTestBackend(boxes, os);
        main_window::FrmMain main{*backend.toolkit, modVolscope};
        main.form().show();
        main.cmdBrowse_Click();
        browser_window::FrmBrowser& browser = main.frmBrowser();
        browser.fil.setListIndex(0);
        backend.driver->click(browser.form(), "cmdExecute");
        ASSERT_EQ(boxes.shown.size(), 1u) << row.result;
        EXPECT_EQ(boxes.shown[0],
                  (toolkit::MessageBoxRequest{"Cannot open C:\\notes.txt.  " + std::string(row.why),
                                              toolkit::msgbox_style::critical, "Error"}));
    }
}

}  // namespace
