// The program's start-up on this machine's real drives: drive C is the root file system.
#include <gtest/gtest.h>
#include <mntent.h>
#include <sys/statvfs.h>

#include <string>

#include "main_window/frm_main.h"
#include "platform/posix/mount_watch.h"
#include "platform/posix/posix_platform.h"
#include "tests/support/recording_message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"
#include "volume_queries/mod_volscope.h"

namespace {

// The type of the file system mounted last on "/" (the one that is visible).
std::string rootFileSystemType() {
    std::string type;
    FILE* mounts = setmntent("/proc/self/mounts", "r");
    if (mounts == nullptr) return type;
    while (const mntent* entry = getmntent(mounts)) {
        if (std::string(entry->mnt_dir) == "/") type = entry->mnt_type;
    }
    endmntent(mounts);
    return type;
}

TEST(ProgramStartTest, ShowsDriveCAsTheRootFileSystem) {
    fake::RecordingMessageBoxes boxes;
    platform::PosixPlatform os;
    platform::posix::MountWatch volumeChanges;
    toolkit::qt::QtToolkit toolkit(boxes, os, volumeChanges, "Volscope");
    volume_queries::ModVolscope modVolscope(os);
    main_window::FrmMain frmMain(toolkit, modVolscope);
    frmMain.form().show();

    EXPECT_TRUE(frmMain.form().visible());
    EXPECT_EQ(modVolscope.CurrentDrive, "C");
    EXPECT_EQ(frmMain.lblDriveName.caption(), "C");
    EXPECT_EQ(frmMain.imgDriveIcon.picture(), frmMain.imgDrive.picture());
    EXPECT_EQ(frmMain.lblFileSystemName.caption(), "File System: " + rootFileSystemType());

    struct statvfs root {};
    ASSERT_EQ(statvfs("/", &root), 0);
    EXPECT_EQ(frmMain.lblMaxCompLen.caption(),
              "Maximum Filename Length: " + std::to_string(root.f_namemax));
    EXPECT_EQ(frmMain.lblTotalClusters.caption().rfind("Total Number of Clusters: ", 0), 0u);
    EXPECT_NE(frmMain.lblTotalClusters.caption(), "Total Number of Clusters: 0");
    EXPECT_TRUE(boxes.shown.empty()) << "a large root volume is shown without a message";
    EXPECT_FALSE(toolkit.ended());
}

}  // namespace
