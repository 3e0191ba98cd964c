// The main window and the browser over the Linux backend while real volumes come, go and stop
// answering: tmpfs mounts, and a FUSE share whose server goes away (blocking_share), in a
// scratch folder under /mnt. Needs root (and FUSE for the share); elsewhere the tests skip and
// say why.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "main_window/frm_main.h"
#include "platform/posix/mount_watch.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"
#include "tests/support/recording_message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"
#include "volume_queries/mod_volscope.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// Lets the event loop run, as it does between the user's actions, until `done` or three seconds.
bool eventsUntil(const std::function<bool()>& done) {
    const Clock::time_point start = Clock::now();
    while (!done() && since(start) < 3s) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

class RealMountsTest : public scratch::RealVolumeTest {
  protected:
    void SetUp() override {
        RealVolumeTest::SetUp();
        if (IsSkipped()) return;
        main_.form().show();
    }

    // Shows that letter in the main window, as stepping to it would.
    void showLetter(char letter) {
        modVolscope_.CurrentDrive = std::string(1, letter);
        main_.lblDriveName.setCaption(modVolscope_.CurrentDrive);
        main_.UpdateVolscope();
    }

    fake::RecordingMessageBoxes boxes_;
    platform::posix::MountWatch volumeChanges_;
    toolkit::qt::QtToolkit qt_{boxes_, platform_, volumeChanges_, "Volscope"};
    volume_queries::ModVolscope modVolscope_{platform_};
    main_window::FrmMain main_{qt_, modVolscope_};
};

// The kernel marks the mount table; the window's watch of it runs Form_DeviceChange from the
// event loop, with no timer and nothing the user did.
TEST_F(RealMountsTest, ShownLetterFollowsItsVolumeGoingAndAnotherComing) {
    std::optional<scratch::Mount> first(std::in_place, "volscope-first",
                                        folder_->makeFolder("first"), "tmpfs", 0, "size=1m");
    const char letter = scratch::letterIn(platform_, first->target());
    if (letter == '\0') GTEST_SKIP() << "no drive letter is left for the test's volume";
    showLetter(letter);
    ASSERT_EQ(main_.lblFileSystemName.caption(), "File System: tmpfs");
    ASSERT_EQ(main_.lblUsedTotal.caption(), "Used / Total: 0KB / 1,024KB");

    first.reset();
    EXPECT_TRUE(eventsUntil([&] { return main_.lblFileSystemName.caption() == "File System: "; }))
        << main_.lblFileSystemName.caption();
    EXPECT_EQ(main_.imgDriveIcon.picture(), main_.imgNonExist.picture());
    EXPECT_EQ(main_.lblUsedTotal.caption(), "Used / Total: 0KB / 0KB");

    const scratch::Mount second("volscope-second", folder_->makeFolder("second"), "tmpfs", 0,
                                "size=2m");
    EXPECT_TRUE(eventsUntil([&] { return main_.lblFileSystemName.caption() != "File System: "; }));
    EXPECT_EQ(scratch::letterIn(platform_, second.target()), letter) << "the lowest free letter";
    EXPECT_EQ(main_.lblUsedTotal.caption(), "Used / Total: 0KB / 2,048KB");
    EXPECT_EQ(modVolscope_.CurrentDrive, std::string(1, letter));
    EXPECT_TRUE(boxes_.shown.empty());
}

class DeadShareWindowTest : public RealMountsTest {
  protected:
    void SetUp() override {
        const std::string reason = scratch::blockingShareUnavailableReason(VOLSCOPE_BLOCKING_SHARE);
        if (!reason.empty()) GTEST_SKIP() << reason;
        RealMountsTest::SetUp();
        share_.emplace(VOLSCOPE_BLOCKING_SHARE, folder_->makeFolder("share"));
        letter_ = scratch::letterIn(platform_, share_->target());
        if (letter_ == '\0') GTEST_SKIP() << "no drive letter is left for the share";
    }

    std::optional<scratch::BlockingShare> share_;
    char letter_ = '\0';
};

// Stepping onto the letter of a share whose server went away, browsing it and stepping the
// browser's files: each costs at most the two seconds of one call given up, and shows what a
// drive without an answer shows.
TEST_F(DeadShareWindowTest, WindowsAnswerWithinTwoSecondsAndShowNoVolume) {
    showLetter(letter_);
    main_.cmdBrowse_Click();
    ASSERT_TRUE(boxes_.shown.empty());
    browser_window::FrmBrowser& browser = main_.frmBrowser();
    ASSERT_GT(browser.fil.listCount(), 0);

    share_->block();
    Clock::time_point start = Clock::now();
    main_.UpdateVolscope();
    EXPECT_LE(since(start), 2600ms);
    EXPECT_EQ(main_.lblFileSystemName.caption(), "File System: ");
    EXPECT_EQ(main_.lblSerialNumber.caption(),
              "Volume Serial Number: Serial Number Not Retrieveable");

    start = Clock::now();
    browser.cmdNext_Click();
    main_.cmdBrowse_Click();
    EXPECT_LE(since(start), 500ms) << "the share is known not to answer";
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].prompt.rfind("An error has occurred while trying to browse", 0), 0u);

    share_->unblock();
    EXPECT_TRUE(eventsUntil([&] {
        main_.UpdateVolscope();
        return main_.lblFileSystemName.caption() == "File System: fuse.sshfs";
    }));
}

}  // namespace
