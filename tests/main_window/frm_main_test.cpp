#include "main_window/frm_main.h"

#include <gtest/gtest.h>

#include "main_window/serial_number_text.h"
#include "tests/support/window_test.h"

namespace {

using main_window::FrmMain;

// The main window on the toolkit's real widgets over the fake system.
class MainWindowTest : public fake::WindowTest {
  protected:
    FrmMain& window() {
        if (!frmMain) frmMain = std::make_unique<FrmMain>(toolkit, modVolscope);
        return *frmMain;
    }

    // Builds, loads and shows the window as the program does at start-up.
    FrmMain& started() {
        window().form().show();
        return *frmMain;
    }

    fake::PixelRect geometry(const char* name) { return ui.geometry(window().form(), name); }

    std::unique_ptr<FrmMain> frmMain;
};

struct GeometryRow {
    const char* name;
    fake::PixelRect pixels;
};

TEST_F(MainWindowTest, ControlsStandWhereTheLayoutPutsThemAt96Dpi) {
    const GeometryRow rows[] = {
        {"imgDriveIcon", {128, 8, 57, 57}},
        {"cmdPrev", {96, 64, 33, 33}},
        {"lblDriveName", {128, 64, 57, 33}},
        {"cmdNext", {184, 64, 33, 33}},
        {"lblVolumeName", {8, 112, 305, 17}},
        {"lblSerialNumber", {8, 128, 305, 17}},
        {"lblMaxCompLen", {8, 144, 305, 17}},
        {"lblFileSystemName", {8, 160, 305, 17}},
        {"lblDIskSpaceUsage", {8, 192, 305, 17}},
        {"pctValue", {8, 208, 305, 25}},
        {"shpValue", {2, 2, 121, 25}},
        {"lblUsedTotal", {8, 240, 305, 17}},
        {"lblTotalClusters", {8, 264, 305, 17}},
        {"lblSectorsPerCluster", {8, 280, 305, 17}},
        {"lblBytesPerSector", {8, 296, 305, 17}},
        {"cmdBrowse", {8, 320, 81, 25}},
        {"cmdExit", {232, 320, 81, 25}},
    };
    for (const GeometryRow& row : rows) EXPECT_EQ(geometry(row.name), row.pixels) << row.name;

    EXPECT_EQ(ui.clientArea(window().form()), (fake::PixelRect{0, 0, 320, 353}));
    EXPECT_FALSE(ui.resizable(window().form())) << "the border is fixed";
    EXPECT_FALSE(ui.maximizable(window().form()));
    EXPECT_EQ(window().form().caption(), "Volscope");
    EXPECT_EQ(window().pctValue.width(), 4575);
}

TEST_F(MainWindowTest, LayoutCaptionsAndFontsBeforeAnyHandlerRuns) {
    FrmMain& w = window();
    EXPECT_EQ(w.lblDriveName.caption(), "C");
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name:");
    EXPECT_EQ(w.lblSerialNumber.caption(), "Serial Number:");
    EXPECT_EQ(w.lblMaxCompLen.caption(), "Maximum Component Length:");
    EXPECT_EQ(w.lblFileSystemName.caption(), "File System: ");
    EXPECT_EQ(w.lblDIskSpaceUsage.caption(), "Disk Space Usage:");
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total:");
    EXPECT_EQ(w.lblTotalClusters.caption(), "Total Number of Clusters: ");
    EXPECT_EQ(w.lblSectorsPerCluster.caption(), "Number of Sectors per Cluster: ");
    EXPECT_EQ(w.lblBytesPerSector.caption(), "Number of Bytes per Sector:");
    EXPECT_EQ(w.cmdPrev.caption(), "<");
    EXPECT_EQ(w.cmdNext.caption(), ">");
    EXPECT_EQ(w.cmdBrowse.caption(), "Browse...");
    EXPECT_EQ(w.cmdExit.caption(), "Close");
    EXPECT_EQ(w.shpValue.width(), 1815);
}

TEST_F(MainWindowTest, TabCyclesThroughBarCloseAndBrowseButNeverTheArrows) {
    toolkit::Form& form = started().form();
    ui.activate(form);
    constexpr std::int16_t tabKey = 9;
    for (int i = 0; i < 3 && ui.focusedControl(form) != "pctValue"; ++i) ui.pressKey(form, tabKey);
    ASSERT_EQ(ui.focusedControl(form), "pctValue");
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        ui.pressKey(form, tabKey);
        visited.push_back(ui.focusedControl(form));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"cmdExit", "cmdBrowse", "pctValue", "cmdExit",
                                                 "cmdBrowse", "pctValue"}));
}

TEST_F(MainWindowTest, PictureStoresAreNeverVisible) {
    const char* stores[] = {"imgNonExist", "imgDrive", "imgRemovable", "imgNetwork", "imgCD"};
    toolkit::Form& form = started().form();
    for (const char* store : stores) EXPECT_FALSE(ui.visible(form, store)) << store;
    ui.minimize(form);
    ui.restore(form);
    for (const char* store : stores) {
        EXPECT_FALSE(ui.visible(form, store)) << store;
        EXPECT_GE(geometry(store).left, 320) << store << " lies beyond the client area";
    }
}

TEST_F(MainWindowTest, StartsOnDriveCWithTheFixedDiskPictureWhateverCIs) {
    os.setDrive('C', {.type = 5, .label = "CDROM"});
    FrmMain& w = started();
    EXPECT_EQ(modVolscope.CurrentDrive, "C");
    EXPECT_EQ(w.lblDriveName.caption(), "C");
    ASSERT_FALSE(w.imgDrive.picture().empty());
    EXPECT_EQ(w.imgDriveIcon.picture(), w.imgDrive.picture());
    EXPECT_EQ(w.imgDriveIcon.picture().handle(), w.imgDrive.picture().handle());
    EXPECT_EQ(w.imgDriveIcon.width(), 720) << "a 48-pixel icon, not the laid-out 855";
    EXPECT_EQ(w.imgDriveIcon.height(), 720);
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: CDROM");
    EXPECT_TRUE(w.form().visible());
}

TEST_F(MainWindowTest, EveryPictureStoreHoldsADistinctPicture) {
    FrmMain& w = window();
    const toolkit::Image* stores[] = {&w.imgNonExist, &w.imgDrive, &w.imgRemovable, &w.imgNetwork,
                                      &w.imgCD};
    for (const auto* a : stores) {
        ASSERT_FALSE(a->picture().empty());
        EXPECT_EQ(a->width(), 720);
        for (const auto* b : stores) {
            if (a != b) {
                EXPECT_NE(a->picture(), b->picture());
            }
        }
    }
}

TEST_F(MainWindowTest, ShowsEveryDetailOfTheVolume) {
    os.setDrive('C', {.label = " System ",
                      .serialNumber = 0x1A2B3C4D,
                      .maxComponentLength = 255,
                      .fileSystem = "NTFS",
                      .sectorsPerCluster = 1,
                      .bytesPerSector = 1,
                      .freeClusters = 1'000'000,
                      .totalClusters = 3'000'000});
    FrmMain& w = started();
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: System");
    EXPECT_EQ(w.lblSerialNumber.caption(), "Volume Serial Number: 1A2B-3C4D");
    EXPECT_EQ(w.lblMaxCompLen.caption(), "Maximum Filename Length: 255");
    EXPECT_EQ(w.lblFileSystemName.caption(), "File System: NTFS");
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total: 1,953KB / 2,930KB");
    EXPECT_EQ(w.lblBytesPerSector.caption(), "Number of Bytes per Sector: 1");
    EXPECT_EQ(w.lblSectorsPerCluster.caption(), "Number of Sectors per Cluster: 1");
    EXPECT_EQ(w.lblTotalClusters.caption(), "Total Number of Clusters: 3000000");
    EXPECT_FLOAT_EQ(w.shpValue.width(), static_cast<float>(1e6 / 3000001.0 * 4575));
    EXPECT_EQ(w.lblDIskSpaceUsage.caption(), "Disk Space Usage:");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, LabelWithALineBreakAndAByteNoTextCarriesIsShownWhole) {
    os.setDrive('C', {.label = "Caf\uf0e9\nDisk"});
    FrmMain& w = started();
    EXPECT_EQ(ui.text(w.form(), "lblVolumeName"),
              "Volume Name: Caf\u20390xE9\u203a\u2039LF\u203aDisk");
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: Caf\uf0e9\nDisk");
}

TEST_F(MainWindowTest, LetterWithoutVolumeShowsEmptyDetails) {
    FrmMain& w = started();
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: ");
    EXPECT_EQ(w.lblSerialNumber.caption(), "Volume Serial Number: Serial Number Not Retrieveable");
    EXPECT_EQ(w.lblMaxCompLen.caption(), "Maximum Filename Length: 0");
    EXPECT_EQ(w.lblFileSystemName.caption(), "File System: ");
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total: 0KB / 0KB");
    EXPECT_EQ(w.lblBytesPerSector.caption(), "Number of Bytes per Sector: 0");
    EXPECT_EQ(w.lblSectorsPerCluster.caption(), "Number of Sectors per Cluster: 0");
    EXPECT_EQ(w.lblTotalClusters.caption(), "Total Number of Clusters: 0");
    EXPECT_EQ(w.shpValue.width(), 0);
    EXPECT_EQ(geometry("shpValue").width, 0);
}

TEST_F(MainWindowTest, FullVolumeHasNoBarAndUsedEqualsTotal) {
    os.setDrive(
        'C',
        {.sectorsPerCluster = 8, .bytesPerSector = 512, .freeClusters = 0, .totalClusters = 1000});
    FrmMain& w = started();
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total: 4,000KB / 4,000KB");
    EXPECT_EQ(w.shpValue.width(), 0);
}

TEST_F(MainWindowTest, EmptyVolumeFillsAlmostTheWholeBar) {
    os.setDrive('C', {.sectorsPerCluster = 8,
                      .bytesPerSector = 512,
                      .freeClusters = 1000,
                      .totalClusters = 1000});
    FrmMain& w = started();
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total: 0KB / 4,000KB");
    EXPECT_GT(w.shpValue.width(), 4574);
    EXPECT_LT(w.shpValue.width(), 4575);
    EXPECT_EQ(geometry("shpValue").width, 305);
}

TEST_F(MainWindowTest, VolumeWithoutSpaceShowsZerosWithoutDivisionError) {
    os.setDrive('C', {.freeClusters = 0, .totalClusters = 0});
    FrmMain& w = started();
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total: 0KB / 0KB");
    EXPECT_EQ(w.shpValue.width(), 0);
}

// A typical 1 TB disk: far more than the 32-bit record can hold.
TEST_F(MainWindowTest, VolumeTooLargeForTheRecordIsShownInFullWithoutAMessage) {
    os.setDrive('C', {.label = "Big",
                      .serialNumber = 0xDEADBEEF,
                      .fileSystem = "ext4",
                      .sectorsPerCluster = 8,
                      .bytesPerSector = 512,
                      .freeClusters = 100'000'000,
                      .totalClusters = 244'190'646});
    FrmMain& w = started();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(toolkit.ended());
    EXPECT_EQ(w.lblVolumeName.caption(), "Volume Name: Big");
    EXPECT_EQ(w.lblSerialNumber.caption(), "Volume Serial Number: DEAD-BEEF");
    EXPECT_EQ(w.lblFileSystemName.caption(), "File System: ext4");
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total: 576,762,584KB / 976,762,584KB");
    EXPECT_EQ(w.lblTotalClusters.caption(), "Total Number of Clusters: 244190646");
    EXPECT_EQ(w.lblSectorsPerCluster.caption(), "Number of Sectors per Cluster: 8");
    EXPECT_EQ(w.lblBytesPerSector.caption(), "Number of Bytes per Sector: 512");
    EXPECT_FLOAT_EQ(w.shpValue.width(),
                    static_cast<float>(409'600'000'000.0 / (125'025'610'752.0 * 8 + 1) * 4575));
}

TEST_F(MainWindowTest, CountsBeyondTheSignedRangeAreNeverNegative) {
    os.setDrive('C', {.sectorsPerCluster = 1,
                      .bytesPerSector = 4096,
                      .freeClusters = 3'000'000'000u,
                      .totalClusters = 4'294'967'295u});
    FrmMain& w = started();
    EXPECT_EQ(w.lblTotalClusters.caption(), "Total Number of Clusters: 4294967295");
    EXPECT_EQ(w.lblUsedTotal.caption(), "Used / Total: 5,179,869,180KB / 17,179,869,180KB");
    EXPECT_TRUE(boxes.shown.empty());
}

// "Close", and the close box (the title bar's, Alt+F4), with the browser open.
struct CloseRow {
    const char* name;
    bool closeBox;
};

class CloseTest : public MainWindowTest, public ::testing::WithParamInterface<CloseRow> {};

TEST_P(CloseTest, EndsTheProgramAtOnceWithEveryWindow) {
    os.setDrive('C', {});
    FrmMain& w = started();
    w.cmdBrowse_Click();
    ASSERT_TRUE(w.frmBrowser().form().visible());
    if (GetParam().closeBox)
        ui.requestClose(w.form());
    else
        ui.click(w.form(), "cmdExit");
    EXPECT_TRUE(toolkit.ended());
    EXPECT_FALSE(w.form().visible());
    EXPECT_FALSE(w.frmBrowser().form().visible());
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, CloseTest,
                         ::testing::Values(CloseRow{"CloseButton", false},
                                           CloseRow{"CloseBox", true}),
                         [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

struct SerialRow {
    std::uint32_t serial;
    const char* text;
};

TEST(SerialNumberTextTest, ShowsFirstAndLastFourHexDigits) {
    const SerialRow rows[] = {
        {0x1A2B3C4D, "1A2B-3C4D"},
        {0xABC, "ABC-ABC"},
        {0x1234, "1234-1234"},
        {0xFFFFFFFF, "FFFF-FFFF"},
        {0x12345, "1234-2345"},
        {0x80000000, "8000-0000"},
        {0xF, "F-F"},
        {0, "Serial Number Not Retrieveable"},
    };
    for (const SerialRow& row : rows)
        EXPECT_EQ(main_window::serialNumberText(row.serial), row.text) << std::hex << row.serial;
}

TEST_F(MainWindowTest, SerialNumberLabelInEveryForm) {
    const SerialRow rows[] = {{0xABC, "ABC-ABC"}, {0, "Serial Number Not Retrieveable"}};
    for (const SerialRow& row : rows) {
        os.setDrive('C', {.serialNumber = row.serial});
        started().UpdateVolscope();
        EXPECT_EQ(frmMain->lblSerialNumber.caption(),
                  std::string("Volume Serial Number: ") + row.text);
    }
}

}  // namespace
